#pragma once

#include <QObject>
#include <QStringList>
#include <QThread>

class QTimer;

#include <functional>

namespace zorel8z::usb {

// Notices serial devices being plugged in or pulled out. Listing them can take milliseconds (the
// system walks its devices), so a thread of the watcher's own lists them every `intervalMs` and the
// owner hears only of a change of the list. On Windows the list comes from the registry and the DOS
// device names, which takes well under a millisecond, and is made on the owner's thread: a thread of
// our own there kept the program from ending after its window closed.
class PortWatcher : public QObject {
    Q_OBJECT
  public:
    // Runs on the watcher's thread: it must not touch objects that belong to another thread.
    using Lister = std::function<QStringList()>;

    explicit PortWatcher(Lister list, int intervalMs = 1000, QObject* parent = nullptr);
    ~PortWatcher() override;

    // Starts watching; `known` is the list the owner shows now, so that only later changes count.
    void start(const QStringList& known);
    bool watching() const;

  signals:
    // The devices present now, listed as the lister lists them; on the owner's thread.
    void changed(const QStringList& ports);

  private:
    const Lister m_list;
    const int m_intervalMs;
    QThread m_thread;
    // Windows: the lister runs on the owner's thread, from this timer.
    QTimer* m_here = nullptr;
};

} // namespace zorel8z::usb
