#include "usb/UsbCommands.h"

#include "check/ConnectionCheck.h"
#include "common/Errors.h"
#include "model/FrameCodec.h"
#include "model/Packing.h"
#include "rules/Messages.h"
#include "rules/Sequences.h"
#include "usb/CommandWatchdog.h"

namespace zorel8z::usb {

using model::PageMark;

namespace {
constexpr qint64 kFrameMin = 900;
constexpr qint64 kWithRedundant = 996;
const QByteArray kReadRequest("@\r\n", 3);

int byteAt(const QString& text, int position) {
    return position <= text.size() ? text[position - 1].unicode() & 0xFF : 0;
}
} // namespace

UsbCommands::UsbCommands(model::PanelConfig& cfg, rules::EditorState& state, SerialPort& port, Ui& ui,
                         CommandWatchdog& watchdog, UsbTimings timings, QObject* parent)
    : QObject(parent), m_cfg(cfg), m_state(state), m_port(port), m_ui(ui), m_watchdog(watchdog),
      m_delayCheck(this) {
    m_delayCheck.setObjectName(QStringLiteral("tiDelayReadConf"));
    // A coarse timer may tick 5 % early or late; the panel is given its 4 s to the millisecond.
    m_delayCheck.setTimerType(Qt::PreciseTimer);
    m_delayCheck.setInterval(timings.delayCheckMs);
    connect(&m_delayCheck, &QTimer::timeout, this, &UsbCommands::onDelayCheckTick);
    // Whichever command the watchdog ends, a write waiting here has ended too.
    connect(&m_watchdog, &CommandWatchdog::expiring, this, [this] { m_writing = false; });
    connect(&m_watchdog, &CommandWatchdog::stateChanged, this, &UsbCommands::stateChanged);
    connect(&m_watchdog, &CommandWatchdog::expired, this, &UsbCommands::watchdogExpired);
    // A remote command that ended while a write waits here for its acknowledgement.
    connect(&m_watchdog, &CommandWatchdog::stopped, this, [this] {
        if (m_writing)
            m_watchdog.start();
    });
    connect(&m_port, &SerialPort::received, this, &UsbCommands::onReceived);
    connect(&m_port, &SerialPort::lineBreak, this, &UsbCommands::onLineBreak);
    connect(&m_port, &SerialPort::errorOccurred, this, [this](const QString& text) { m_lastError = text; });
}

void UsbCommands::showUsbError(const QString& text) {
    m_ui.showMessage(MsgIcon::Error, msg::kUsbErrorPrefix + text);
}

void UsbCommands::showOpenError() {
    const QString advice = check::accessAdvice(m_port.portName());
    showUsbError(advice.isEmpty() ? m_lastError : m_lastError + QStringLiteral("\r\n") + advice);
}

void UsbCommands::readCommand() {
    // The hidden passwords are dropped only once a frame has been applied: a failed read must not
    // lose them from the next write.
    if (!m_state.portSelected) {
        m_ui.showMessage(MsgIcon::Error, rules::msg::kNoComPort);
        return;
    }
    m_receivedText.clear();
    m_lastError.clear();
    // A frame that comes now answers this request, not an earlier write.
    m_writing = false;
    if (!m_port.open()) {
        showOpenError();
    } else {
        // A stale tail of an earlier reply must not join this one.
        m_port.discardInput();
        if (!m_port.write(kReadRequest))
            showUsbError(m_lastError);
    }
    m_state.portListEnabled = false;
    if (!m_delayCheck.isActive())
        m_delayCheck.start();
    m_state.commandsEnabled = false;
    m_watchdog.start();
    emit stateChanged();
}

void UsbCommands::writeCommand() {
    if (rules::writeStart(m_cfg, m_state, m_ui) == rules::Verdict::Stop)
        return;
    if (m_state.mode != rules::Mode::Local)
        return; // the remote write takes over
    if (rules::localWriteChecks(m_cfg, m_state, m_ui) == rules::Verdict::Stop)
        return;

    m_watchdog.start();
    m_state.commandsEnabled = false;
    m_writing = true;
    m_cfg.passwordsHidden = false;
    m_lastError.clear();
    const bool opened = m_port.open();
    m_state.progressVisible = true;
    emit stateChanged();
    if (!opened) {
        // The watchdog gives the buttons back with its own report.
        showOpenError();
        return;
    }
    QByteArray frame;
    try {
        frame = model::buildWriteFrame(m_ctl, m_cfg, true).toLatin1();
    } catch (const Error& e) {
        showUsbError(e.text());
        return;
    }
    m_port.discardInput();
    m_lastWriteFrame = frame;
    if (!m_port.write(frame))
        showUsbError(m_lastError);
}

void UsbCommands::onReceived(qint64 count) {
    if (m_dispatchSuspended)
        return;
    if (count >= 2 && count <= 10) {
        const QByteArray reply = m_port.read(count);
        if (reply.contains("-<"))
            acknowledged();
        return;
    }
    if (count < kFrameMin)
        return;
    decodeFrame(count);
}

void UsbCommands::acknowledged() {
    m_writing = false;
    m_state.progressVisible = false;
    m_watchdog.stop();
    m_state.setAllMarks(PageMark::Synced);
    m_state.commandsEnabled = true;
    // A check of the panel after the write may take the commands again before the window looks.
    emit writeAcknowledged();
    emit stateChanged();
    if (!m_writeMessageDeferred)
        m_ui.showMessage(MsgIcon::Information, msg::kWritten);
}

void UsbCommands::decodeFrame(qint64 count) {
    // A frame where the write's acknowledgement was due ends the write: the panel may or may not
    // have taken what was sent, and the user must be told so after the read's own handling.
    const bool answersWrite = m_writing;
    m_writing = false;
    if (answersWrite)
        m_state.progressVisible = false;
    m_watchdog.stop();
    m_state.portListEnabled = true;
    m_delayCheck.stop();
    m_receivedText = QString::fromLatin1(m_port.read(count));

    // Decode into a copy: either every block decoded and the whole copy applies, or nothing changes.
    model::PanelConfig next = m_cfg;
    next.passwordsHidden = false;
    try {
        const int serial = byteAt(m_receivedText, 952) * 256 + byteAt(m_receivedText, 951);
        next.serialNumber = QStringLiteral("000") + QString::number(serial);
        model::decodeFrameBlocks(m_ctl, m_receivedText, next, m_ui);
        if (count >= kWithRedundant) {
            QString ip;
            QString port;
            if (m_ctl.FindRedundantIP(m_receivedText, ip, port))
                model::unpackRedundant(next, ip, port);
        }
        next.firmwareVersion = QString::number(byteAt(m_receivedText, 902) + 1);
    } catch (const Error& e) {
        m_state.commandsEnabled = true;
        emit stateChanged();
        m_ui.showMessage(MsgIcon::Error, e.text());
        if (answersWrite)
            m_ui.showMessage(MsgIcon::Warning, msg::kFrameInsteadOfAck);
        return;
    }
    m_cfg = next;
    m_state.retakeFrom(m_cfg);
    m_state.commandsEnabled = true;
    m_state.setAllMarks(PageMark::Synced);
    emit configReplaced();
    emit stateChanged();
    if (answersWrite)
        m_ui.showMessage(MsgIcon::Warning, msg::kFrameInsteadOfAck);
}

void UsbCommands::endCommand(bool closePort) {
    if (closePort)
        m_port.close();
    m_delayCheck.stop();
    // The read has ended; its watchdog left running could only end a later command.
    m_watchdog.stop();
    m_state.commandsEnabled = true;
    m_state.portListEnabled = true;
    emit stateChanged();
}

void UsbCommands::onDelayCheckTick() {
    // A reply that stopped short is still waiting in the port: count it, so the report says so.
    if (m_receivedText.isEmpty() && m_port.bytesWaiting() > 0)
        m_receivedText = QString::fromLatin1(m_port.read(m_port.bytesWaiting()));
    if (m_receivedText.isEmpty()) {
        endCommand(true);
        m_ui.showMessage(MsgIcon::Error, msg::kNoAccessPrefix + m_port.portName() + QStringLiteral(".\r\n") +
                                             msg::kNoAccessAdvice);
        return;
    }
    if (m_receivedText.size() < kFrameMin || !m_state.commandsEnabled) {
        const int length = int(m_receivedText.size());
        endCommand(true);
        m_ui.showMessage(MsgIcon::Warning, msg::kRepeatRead + QString::number(length));
    }
}

bool UsbCommands::watchdogRunning() const {
    return m_watchdog.isActive();
}

void UsbCommands::onLineBreak() {
    m_ui.showMessage(MsgIcon::Information, msg::kLineBroken);
    m_port.close();
}

void UsbCommands::portPicked(const QString& name) {
    m_port.close();
    if (!name.isEmpty())
        m_port.setPortName(name);
    m_state.portSelected = !name.isEmpty();
    m_port.close();
    emit stateChanged();
}

QStringList UsbCommands::refreshPorts() {
    m_port.close();
    return chooseFirst(m_port.availablePorts());
}

std::optional<QStringList> UsbCommands::devicesChanged() {
    if (!m_state.portListEnabled || m_writing || m_dispatchSuspended)
        return std::nullopt;
    const QStringList ports = m_port.availablePorts();
    if (m_state.portSelected && ports.contains(m_port.portName()))
        return ports;
    return chooseFirst(ports);
}

QStringList UsbCommands::chooseFirst(const QStringList& ports) {
    m_port.close();
    m_state.portSelected = !ports.isEmpty();
    if (!ports.isEmpty())
        m_port.setPortName(ports.first());
    emit stateChanged();
    return ports;
}

void UsbCommands::choosePort(const QString& name) {
    m_state.portSelected = !name.isEmpty();
    if (!name.isEmpty())
        m_port.setPortName(name);
}

} // namespace zorel8z::usb

// The texts declared in UsbCommands.h: defined once here, not in every file that includes it.
namespace zorel8z::usb::msg {

const QString kUsbErrorPrefix = QStringLiteral("Перевірте підключення по USB! Код помилки : ");
const QString kNoAccessPrefix = QStringLiteral("Не має доступу до ППК через порт: ");
const QString kNoAccessAdvice = QStringLiteral(
    "Перевірте, будь-ласка, з\"єднання з компьютером і переконайтесь що всі групи ППК зняті з охорони !");
const QString kRepeatRead = QStringLiteral("Повторіть спробу зчитування! Код помилки : ");
const QString kNoAnswer = QStringLiteral("ППК не відповідає! Повторіть спробу!");
const QString kWritten = QStringLiteral("Конфігурація записана успішно");
const QString kLineBroken = QStringLiteral("Розірвано підключення по USB");
const QString kFrameInsteadOfAck =
    QStringLiteral("Замість підтвердження запису ППК надіслав конфігурацію. Перевірте, що записано!");

} // namespace zorel8z::usb::msg
