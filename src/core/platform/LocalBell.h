#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;
class QLocalServer;

namespace zorel8z::platform {

// A doorbell between copies of the program run by one user: the first copy listens, a later one
// rings and the first hears it. A Unix-domain socket on Linux (a file in the user's private folder),
// a local pipe on Windows. Nothing is said over it; ringing is the whole message.
class LocalBell : public QObject {
    Q_OBJECT
  public:
    explicit LocalBell(QObject* parent = nullptr);
    ~LocalBell() override;
    LocalBell(const LocalBell&) = delete;
    LocalBell& operator=(const LocalBell&) = delete;

    // Listens at `name` (Linux: the socket's path), taking over one left by a copy that was killed;
    // only this user can ring. False when it cannot listen.
    bool listen(const QString& name);
    // Stops listening (and removes the socket file the bell made).
    void close();

    // Rings the bell at `name`, waiting at most `timeoutMs` for the line; false when nobody listens.
    static bool ring(const QString& name, int timeoutMs);

  signals:
    void rung();

  private:
    QString m_name;
#ifdef _WIN32
    QLocalServer* m_server = nullptr;
#else
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
#endif
};

} // namespace zorel8z::platform
