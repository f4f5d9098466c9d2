#pragma once

#include <QObject>
#include <QStringList>
#include <QThread>

#include <functional>

namespace zorel8z::usb {

// Notices serial devices being plugged in or pulled out. Listing them can take milliseconds (the
// system walks its devices), so a thread of the watcher's own lists them every `intervalMs` and the
// owner hears only of a change of the list.
class PortWatcher : public QObject {
    Q_OBJECT
  public:
    // Runs on the watcher's thread: it must not touch objects that belong to another thread.
    using Lister = std::function<QStringList()>;

    explicit PortWatcher(Lister list, int intervalMs = 1000, QObject* parent = nullptr);
    ~PortWatcher() override;

    // Starts watching; `known` is the list the owner shows now, so that only later changes count.
    void start(const QStringList& known);
    bool watching() const { return m_thread.isRunning(); }

  signals:
    // The devices present now, listed as the lister lists them; on the owner's thread.
    void changed(const QStringList& ports);

  private:
    const Lister m_list;
    const int m_intervalMs;
    QThread m_thread;
};

} // namespace zorel8z::usb
