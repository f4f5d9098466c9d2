#pragma once

#include "sim/Pty.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>

namespace zorel8z::sim {

// How one key goes out.
struct KeyOptions {
    bool split = false;   // two parts (the first half, then the rest) instead of one burst
    int splitGapMs = 300; // pause between the two parts
    bool crlf = false;    // CR LF after the key, as some readers add
};

// A simulated key reader on a pseudo-terminal: it only ever sends, each key as a burst of bytes.
// Work is queued and carried out on the thread's event loop; a QCoreApplication must exist.
class ReaderSim : public QObject {
    Q_OBJECT
public:
    explicit ReaderSim(QObject* parent = nullptr);

    // Creates the pty (and the symlink when given). With `waitForClient` nothing is sent until a
    // client has opened the port. False: see errorString().
    bool open(const QString& linkPath = QString(), bool waitForClient = false);
    QString devicePath() const { return m_pty.devicePath(); }
    QString errorString() const { return m_error; }
    Pty& pty() { return m_pty; }

    // The bytes a key turns into under `options` (the text, one byte per character, CR LF if asked).
    static QByteArray keyBytes(const QString& text, const KeyOptions& options);

    // Queues one key.
    void sendKey(const QString& text, const KeyOptions& options = KeyOptions());
    // Queues a pause before whatever is queued next.
    void pause(int ms);

    bool isIdle() const { return m_steps.empty() && !m_timer.isActive(); }
    bool clientSeen() const { return m_clientSeen; }

signals:
    void clientAttached();
    // One write to the line, as it went out.
    void burstSent(const QByteArray& bytes);
    // Everything queued has been done.
    void idle();

private:
    struct Step {
        int delayMs;
        QByteArray bytes;
    };
    void schedule();
    void step();

    Pty m_pty;
    QString m_error;
    std::deque<Step> m_steps;
    QTimer m_timer;
    QTimer m_attachPoll;
    bool m_clientSeen = true;
};

} // namespace zorel8z::sim
