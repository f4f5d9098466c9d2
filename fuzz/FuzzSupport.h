#pragma once

#include "common/Ui.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace zorel8z::fuzz {

// Messages are part of normal operation; the targets that judge them record them.
class SilentUi : public Ui {
public:
    void showMessage(MsgIcon, const QString&) override {}
};

class RecordingUi : public Ui {
  public:
    void showMessage(MsgIcon, const QString& text) override { shown << text; }
    QStringList shown;
};

// Received bytes become characters one to one, as on the serial line.
inline QString bytesToText(const uint8_t* data, size_t size) {
    return QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
}

// One application for the whole run, for the targets that need timers and queued events.
inline void ensureApp() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
}

// Runs the event loop until `done`; false when it did not happen in a generous time.
inline bool runUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// A property that failed: says which and stops the run, so the input is kept as a crash.
[[noreturn]] inline void violated(const char* property) {
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
}
inline void require(bool holds, const char* property) {
    if (!holds)
        violated(property);
}

// Takes bytes off the front of a fuzzer's input: small decisions first, the bulk at the end.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t word() { return uint16_t(byte() | (byte() << 8)); }
    // Bytes up to (not including) the next zero byte, or to the end.
    QByteArray untilZero() {
        const size_t start = m_pos;
        while (m_pos < m_size && m_data[m_pos] != 0)
            ++m_pos;
        const QByteArray out(reinterpret_cast<const char*>(m_data + start), qsizetype(m_pos - start));
        if (m_pos < m_size)
            ++m_pos;
        return out;
    }
    QByteArray take(size_t n) {
        n = std::min(n, m_size - m_pos);
        const QByteArray out(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(n));
        m_pos += n;
        return out;
    }
    QByteArray rest() { return take(m_size - m_pos); }
    bool empty() const { return m_pos >= m_size; }

  private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace zorel8z::fuzz
