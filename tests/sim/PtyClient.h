#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <unistd.h>

namespace zorel8z::test {

// The simulators need an event loop; gtest_main does not make an application object.
inline QCoreApplication& ensureApp() {
    static int argc = 1;
    static char name[] = "sim_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return app ? *app : *QCoreApplication::instance();
}

// Generous limits: they only bound how long a broken case may hang, they never judge speed.
constexpr int kWaitMs = 5000;
// How long "nothing arrives" is watched for.
constexpr int kQuietMs = 400;

inline void spin(int ms = 5) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, ms);
}

// Runs the event loop until `done` holds or the deadline passes; returns `done()`.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = kWaitMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        spin(10);
    return done();
}

// The program side of a pty: what the configurator does with its serial port, in plain POSIX.
// Every wait keeps the calling thread's event loop turning, so an in-process simulator can answer.
class PtyClient {
public:
    PtyClient() = default;
    explicit PtyClient(const QString& path) { open(path); }
    ~PtyClient() { close(); }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool open(const QString& path) {
        close();
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        m_ended = false;
        m_error = m_fd < 0 ? errno : 0;
        return m_fd >= 0;
    }
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    bool isOpen() const { return m_fd >= 0; }
    // The line went away: a read gave end of file or an error.
    bool ended() const { return m_ended; }
    int lastError() const { return m_error; }

    bool write(const QByteArray& bytes) {
        qsizetype done = 0;
        QDeadlineTimer deadline(kWaitMs);
        while (done < bytes.size() && !deadline.hasExpired()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            else
                spin();
        }
        return done == bytes.size();
    }

    // Writes in pieces of `piece` bytes, letting the event loop run between them.
    bool writeInPieces(const QByteArray& bytes, int piece) {
        for (qsizetype k = 0; k < bytes.size(); k += piece) {
            if (!write(bytes.mid(k, piece)))
                return false;
            spin(1);
        }
        return true;
    }

    // Reads until `count` bytes have come, the line ends, or the time is up.
    QByteArray readAtLeast(qsizetype count, int timeoutMs = kWaitMs, bool runEvents = true) {
        QByteArray got;
        QDeadlineTimer deadline(timeoutMs);
        while (got.size() < count && !m_ended && !deadline.hasExpired()) {
            if (runEvents)
                spin(1);
            got += readSome(runEvents ? 10 : 50);
        }
        return got;
    }

    // Everything that arrives within `ms`, stopping early only if the line ends.
    QByteArray readFor(int ms, bool runEvents = true) {
        QByteArray got;
        QDeadlineTimer deadline(ms);
        while (!m_ended && !deadline.hasExpired()) {
            if (runEvents)
                spin(1);
            got += readSome(10);
        }
        return got;
    }

private:
    QByteArray readSome(int pollMs) {
        QByteArray got;
        if (m_fd < 0)
            return got;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, pollMs) <= 0)
            return got;
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0) {
                got.append(buf, int(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                m_ended = true;
                m_error = n == 0 ? 0 : errno;
            }
            break;
        }
        return got;
    }

    int m_fd = -1;
    bool m_ended = false;
    int m_error = 0;
};

} // namespace zorel8z::test
