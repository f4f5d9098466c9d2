#include "usb/KeyReader.h"

#include "rules/Checks.h"
#include "rules/Messages.h"

namespace zorel8z::usb {

namespace {
// A key arrives as one burst of at least 16 bytes; fewer wait for the rest.
constexpr qint64 kBurstMin = 16;

// What a reader sends, without the line ends and blanks some readers add, letters upper-cased.
QString cleanBurst(const QByteArray& bytes) {
    QString text = QString::fromLatin1(bytes);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char(' '));
    return text.toUpper();
}

} // namespace

KeyReader::KeyReader(model::PanelConfig& cfg, rules::EditorState& state, SerialPort& readerPort,
                     SerialPort& panelPort, Ui& ui, QObject* parent)
    : QObject(parent), m_cfg(cfg), m_state(state), m_reader(readerPort), m_panel(panelPort), m_ui(ui) {
    connect(&m_reader, &SerialPort::received, this, &KeyReader::onReceived);
}

void KeyReader::setReading(bool down) {
    m_reading = down;
    if (down) {
        // One serial port may serve the panel and the reader in turn.
        m_panel.close();
        m_reader.open(); // a failure shows as no key arriving; releasing the toggle restores
        m_state.commandsEnabled = false;
    } else {
        m_reader.close();
        m_state.commandsEnabled = true;
    }
    emit stateChanged();
}

void KeyReader::pageLeft() {
    if (m_reading)
        setReading(false);
}

void KeyReader::portPicked(const QString& name) {
    if (name.isEmpty())
        return;
    m_reader.setPortName(name); // reopens under the new name while reading
    m_portChosen = true;
}

QStringList KeyReader::refreshPorts() {
    m_reader.close();
    return chooseFirst(m_reader.availablePorts());
}

QStringList KeyReader::devicesChanged() {
    const QStringList ports = m_reader.availablePorts();
    if (m_portChosen && ports.contains(m_reader.portName()))
        return ports;
    return chooseFirst(ports);
}

QStringList KeyReader::chooseFirst(const QStringList& ports) {
    m_reader.close();
    m_portChosen = !ports.isEmpty();
    if (!ports.isEmpty())
        m_reader.setPortName(ports.first());
    return ports;
}

void KeyReader::choosePort(const QString& name) {
    if (name.isEmpty())
        return;
    m_reader.setPortName(name);
    m_portChosen = true;
}

void KeyReader::onReceived(qint64 count) {
    if (count < kBurstMin)
        return;
    const QString code = cleanBurst(m_reader.read(count));
    if (!rules::isKeyCode(code)) {
        m_ui.showMessage(MsgIcon::Error, rules::msg::kBadKeyCode);
        return;
    }
    const int user = m_state.readerUser;
    if (user < 1 || user > model::kUserCount)
        return;
    m_cfg.UVICode[size_t(user - 1)] = code;
    m_state.markEdited(rules::Page::Keys);
    emit keyCodeChanged(user);
    emit stateChanged();
}

} // namespace zorel8z::usb

// The texts declared in KeyReader.h: defined once here, not in every file that includes it.
namespace zorel8z::usb::msg {

const QString kStartReading = QStringLiteral("Почати зчитування");
const QString kStopReading = QStringLiteral("Закінчити зчитування");

} // namespace zorel8z::usb::msg
