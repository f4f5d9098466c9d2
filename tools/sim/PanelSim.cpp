#include "sim/PanelSim.h"

#include "common/Errors.h"
#include "common/Ui.h"
#include "model/FrameCodec.h"
#include "sim/SimConfigIo.h"

#include <QSocketNotifier>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace zorel8z::sim {

namespace {

const QByteArray kReadRequest = QByteArrayLiteral("@");
const QByteArray kWritePrefix = QByteArrayLiteral("->");
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
const QByteArray kAck = QByteArrayLiteral("-<\r\n");

// A client that never ends a line must not make the buffer grow without bound.
constexpr int kMaxPendingInput = 64 * 1024;

// 9600 baud with start and stop bits: 960 bytes a second.
constexpr qint64 kBytesPerSecond = 960;
constexpr int kPaceTickMs = 5;

// Unread bytes vanish when a pty hangs up, so the hang-up waits for the client to read them,
// but not for ever.
constexpr int kDrainPollMs = 10;
constexpr int kDrainSettleMs = 50;
constexpr int kDrainTimeoutMs = 5000;

// Block areas in the frame as the panel sends it (0-based start, width).
struct Area {
    int start;
    int width;
};
constexpr Area kBlockAreas[] = {{0, 150}, {150, 150}, {300, 50}, {350, 150}, {500, 400}};

class CollectingUi : public Ui {
public:
    void showMessage(MsgIcon, const QString& text) override { texts << text; }
    QStringList texts;
};

} // namespace

PanelSim::PanelSim(QObject* parent) : QObject(parent), m_rng(QRandomGenerator::securelySeeded()) {
    m_pumpTimer.setSingleShot(true);
    connect(&m_pumpTimer, &QTimer::timeout, this, &PanelSim::pump);
    m_drainTimer.setInterval(kDrainPollMs);
    connect(&m_drainTimer, &QTimer::timeout, this, &PanelSim::checkDrainedForHangUp);
}

PanelSim::~PanelSim() {
    // Before the pty member closes the descriptor they watch.
    delete m_readNotifier;
    delete m_writeNotifier;
}

bool PanelSim::open(const QString& linkPath) {
    if (!m_pty.open(linkPath, true)) {
        m_error = m_pty.errorString();
        return false;
    }
    m_readNotifier = new QSocketNotifier(m_pty.masterFd(), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PanelSim::onReadable);
    m_writeNotifier = new QSocketNotifier(m_pty.masterFd(), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PanelSim::pump);
    return true;
}

bool PanelSim::loadConfig(const QString& path) {
    QString error;
    if (!loadPanelConfig(path, m_config, error)) {
        m_error = error;
        return false;
    }
    return true;
}

void PanelSim::setFaults(const PanelFaults& faults) {
    m_faults = faults;
    std::sort(m_faults.splitAt.begin(), m_faults.splitAt.end());
    if (faults.garbageSeed != 0)
        m_rng.seed(faults.garbageSeed);
}

QByteArray PanelSim::toWire(const QString& text) {
    QByteArray bytes(text.size(), '\0');
    for (int k = 0; k < text.size(); ++k)
        bytes[k] = char(text[k].unicode() & 0xFF);
    return bytes;
}

QByteArray PanelSim::frameFor(const model::PanelConfig& cfg, quint16 serial, quint8 firmware) {
    const controller::TController ctl;
    QByteArray frame = toWire(model::buildWriteFrame(ctl, cfg).mid(kWritePrefix.size()));
    if (frame.size() >= kSerialHighPos) {
        frame[kFirmwarePos - 1] = char(firmware);
        frame[kSerialLowPos - 1] = char(serial & 0xFF);
        frame[kSerialHighPos - 1] = char(serial >> 8);
    }
    return frame;
}

QByteArray PanelSim::breakBlock(QByteArray frame, int block) {
    if (block < 1 || block > 5)
        return frame;
    const Area area = kBlockAreas[block - 1];
    // An object without its closing brace is the least a corruption can do and still be invalid JSON.
    const int end = std::min(int(frame.size()), area.start + area.width);
    for (int k = end - 1; k >= area.start; --k) {
        if (frame[k] == '}') {
            frame[k] = ' ';
            return frame;
        }
    }
    for (int k = area.start; k < end; ++k)
        frame[k] = '#';
    return frame;
}

QByteArray PanelSim::readReply() {
    QByteArray bytes = frameFor(m_config, m_serial, m_firmware);
    bytes = breakBlock(bytes, m_faults.brokenBlock);
    if (m_faults.tail > 0)
        bytes += QByteArray(m_faults.tail, '#');
    if (m_faults.shortReply > 0)
        bytes.truncate(m_faults.shortReply);
    if (m_faults.garbage > 0) {
        bytes.resize(m_faults.garbage);
        for (char& c : bytes)
            c = char(m_rng.bounded(256));
        // Noise that happened to hold "-<" would pass for an acknowledgement.
        for (int k = 1; k < bytes.size(); ++k) {
            if (bytes[k - 1] == '-' && bytes[k] == '<')
                bytes[k] = '>';
        }
    }
    return bytes;
}

void PanelSim::onReadable() {
    if (m_hungUp)
        return;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_pty.masterFd(), buf, sizeof buf);
        if (n > 0) {
            m_in.append(buf, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // The slave is held open here, so this only happens when the pty itself is gone.
        m_readNotifier->setEnabled(false);
        break;
    }
    for (;;) {
        const int eol = m_in.indexOf(kLineEnd);
        if (eol < 0)
            break;
        const QByteArray line = m_in.left(eol + kLineEnd.size());
        m_in.remove(0, line.size());
        handleLine(line);
        if (m_hungUp)
            return;
    }
    if (m_in.size() > kMaxPendingInput)
        m_in.clear();
}

void PanelSim::handleLine(const QByteArray& line) {
    const QByteArray body = line.left(line.size() - kLineEnd.size());
    if (body == kReadRequest) {
        ++m_readRequests;
        emit readRequested();
        if (!m_faults.silent)
            reply(readReply());
    } else if (body.startsWith(kWritePrefix)) {
        ++m_writeFrames;
        m_lastWriteFrame = line;
        emit writeReceived(line);
        if (!m_faults.silent)
            handleWrite(line);
    }
}

void PanelSim::handleWrite(const QByteArray& frame) {
    model::PanelConfig next = m_config;
    CollectingUi ui;
    try {
        model::decodeFileText(m_ctl, QString::fromLatin1(frame.mid(kWritePrefix.size())), next, ui);
    } catch (const Error& e) {
        // A panel keeps its old configuration and stays quiet about a frame it cannot read.
        emit writeRejected(e.text());
        return;
    }
    for (const QString& text : ui.texts)
        emit notice(text);
    if (m_faults.alterWrites)
        next = alteredWrite(next);
    m_config = next;
    ++m_acceptedWrites;
    if (!m_savePath.isEmpty()) {
        QString error;
        if (!savePanelConfig(m_savePath, m_config, error))
            emit notice(error);
    }
    emit writeAccepted();
    if (m_faults.frameForAck)
        reply(readReply());
    else if (!m_faults.noAck)
        reply(kAck);
}

void PanelSim::reply(QByteArray bytes) {
    if (m_hungUp || m_hangUpCountdown >= 0)
        return; // the line is about to go; nothing more is sent
    if (m_faults.hangUpAfter >= 0) {
        bytes.truncate(m_faults.hangUpAfter);
        m_hangUpCountdown = m_out.size() + bytes.size();
    }
    m_out += bytes;
    pump();
}

void PanelSim::pump() {
    m_pumpTimer.stop();
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
    while (!m_out.isEmpty() && !m_hungUp && m_pty.isOpen()) {
        if (m_splitClock.isValid()) {
            if (m_splitClock.elapsed() < m_faults.splitGapMs) {
                m_pumpTimer.start(int(m_faults.splitGapMs - m_splitClock.elapsed()));
                return;
            }
            m_splitClock.invalidate();
        }
        qint64 allowed = m_out.size();
        for (int at : m_faults.splitAt) {
            if (at > m_runSent) {
                allowed = std::min<qint64>(allowed, at - m_runSent);
                break;
            }
        }
        if (m_faults.pieceSize > 0) {
            if (m_pieceLeft == 0) {
                if (m_gapClock.isValid() && m_gapClock.elapsed() < m_faults.pieceGapMs) {
                    m_pumpTimer.start(int(m_faults.pieceGapMs - m_gapClock.elapsed()));
                    return;
                }
                m_pieceLeft = m_faults.pieceSize;
            }
            allowed = std::min<qint64>(allowed, m_pieceLeft);
        }
        if (m_faults.paced) {
            if (!m_paceClock.isValid()) {
                m_paceClock.start();
                m_pacedSent = 0;
            }
            const qint64 due = 1 + m_paceClock.nsecsElapsed() * kBytesPerSecond / 1000000000 - m_pacedSent;
            if (due <= 0) {
                m_pumpTimer.start(kPaceTickMs);
                return;
            }
            allowed = std::min<qint64>({allowed, due, kMaxPacedChunk});
        }
        if (m_hangUpCountdown >= 0)
            allowed = std::min(allowed, m_hangUpCountdown);
        if (allowed <= 0)
            break;

        const ssize_t n = ::write(m_pty.masterFd(), m_out.constData(), size_t(allowed));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                m_writeNotifier->setEnabled(true);
            return;
        }
        const QByteArray sent = m_out.left(int(n));
        m_out.remove(0, int(n));
        m_pacedSent += n;
        m_runSent += n;
        if (!m_out.isEmpty() &&
            std::binary_search(m_faults.splitAt.begin(), m_faults.splitAt.end(), int(m_runSent)))
            m_splitClock.start();
        if (m_faults.pieceSize > 0) {
            m_pieceLeft -= int(n);
            if (m_pieceLeft == 0)
                m_gapClock.start();
        }
        if (m_hangUpCountdown > 0)
            m_hangUpCountdown -= n;
        emit chunkSent(sent);
        if (m_faults.paced && !m_out.isEmpty()) {
            m_pumpTimer.start(kPaceTickMs);
            return;
        }
    }
    if (m_out.isEmpty()) {
        // The next reply starts afresh: no leftover piece, no pacing debt, splits counted anew.
        m_pieceLeft = 0;
        m_runSent = 0;
        m_splitClock.invalidate();
        m_gapClock.invalidate();
        m_paceClock.invalidate();
        emit outputDrained();
    }
    if (m_hangUpCountdown == 0 && !m_hungUp && !m_drainTimer.isActive()) {
        m_drainClock.start();
        m_drainTimer.start();
    }
}

void PanelSim::checkDrainedForHangUp() {
    if (m_drainClock.elapsed() < kDrainSettleMs)
        return;
    if (m_pty.pendingInput() > 0 && m_drainClock.elapsed() < kDrainTimeoutMs)
        return;
    hangUp();
}

model::PanelConfig PanelSim::alteredWrite(model::PanelConfig cfg) {
    cfg.timeDelay = cfg.timeDelay >= model::ranges::timeDelay.max ? cfg.timeDelay - 1 : cfg.timeDelay + 1;
    return cfg;
}

void PanelSim::hangUp() {
    if (m_hungUp)
        return;
    m_hungUp = true;
    m_drainTimer.stop();
    m_pumpTimer.stop();
    // The notifiers must go before their descriptor is closed; this may run inside one of them.
    if (m_readNotifier) {
        m_readNotifier->setEnabled(false);
        m_readNotifier->deleteLater();
        m_readNotifier = nullptr;
    }
    if (m_writeNotifier) {
        m_writeNotifier->setEnabled(false);
        m_writeNotifier->deleteLater();
        m_writeNotifier = nullptr;
    }
    m_out.clear();
    m_pty.hangUp();
    emit hungUp();
}

} // namespace zorel8z::sim
