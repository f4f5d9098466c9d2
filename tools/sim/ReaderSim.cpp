#include "sim/ReaderSim.h"

#include <cerrno>
#include <unistd.h>

namespace zorel8z::sim {

namespace {
constexpr int kAttachPollMs = 20;
}

ReaderSim::ReaderSim(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ReaderSim::step);
    m_attachPoll.setInterval(kAttachPollMs);
    connect(&m_attachPoll, &QTimer::timeout, this, [this] {
        if (!m_pty.clientAttached())
            return;
        m_attachPoll.stop();
        m_clientSeen = true;
        // From now on a client closing and reopening the port must not lose what is sent.
        m_pty.holdSlave();
        emit clientAttached();
        schedule();
    });
}

bool ReaderSim::open(const QString& linkPath, bool waitForClient) {
    if (!m_pty.open(linkPath, !waitForClient)) {
        m_error = m_pty.errorString();
        return false;
    }
    m_clientSeen = !waitForClient;
    if (waitForClient)
        m_attachPoll.start();
    return true;
}

QByteArray ReaderSim::keyBytes(const QString& text, const KeyOptions& options) {
    QByteArray bytes(text.size(), '\0');
    for (int k = 0; k < text.size(); ++k)
        bytes[k] = char(text[k].unicode() & 0xFF);
    if (options.crlf)
        bytes += "\r\n";
    return bytes;
}

void ReaderSim::sendKey(const QString& text, const KeyOptions& options) {
    const QByteArray bytes = keyBytes(text, options);
    if (options.split && bytes.size() > 1) {
        const int half = bytes.size() / 2;
        m_steps.push_back({0, bytes.left(half)});
        m_steps.push_back({options.splitGapMs, bytes.mid(half)});
    } else {
        m_steps.push_back({0, bytes});
    }
    schedule();
}

void ReaderSim::pause(int ms) {
    m_steps.push_back({ms, QByteArray()});
    schedule();
}

void ReaderSim::schedule() {
    if (!m_clientSeen || m_timer.isActive())
        return;
    if (m_steps.empty()) {
        emit idle();
        return;
    }
    // Always through the event loop, so a caller can connect to the signals after queueing.
    m_timer.start(m_steps.front().delayMs);
}

void ReaderSim::step() {
    if (m_steps.empty())
        return;
    const Step s = m_steps.front();
    m_steps.pop_front();
    if (!s.bytes.isEmpty() && m_pty.isOpen()) {
        // One write call per burst: the reader's text reaches the client in one piece.
        qsizetype done = 0;
        while (done < s.bytes.size()) {
            const ssize_t n =
                ::write(m_pty.masterFd(), s.bytes.constData() + done, size_t(s.bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += n;
        }
        emit burstSent(s.bytes.left(done));
    }
    schedule();
}

} // namespace zorel8z::sim
