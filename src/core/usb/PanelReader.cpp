#include "usb/PanelReader.h"

#include "common/Errors.h"
#include "controller/TController.h"
#include "model/FrameCodec.h"
#include "model/Packing.h"
#include "usb/UsbCommands.h"

namespace zorel8z::usb {

namespace {

constexpr qint64 kFrameMin = 900;
constexpr qint64 kWithRedundant = 996;
const QByteArray kReadRequest("@\r\n", 3);

int byteAt(const QString& text, int position) {
    return position <= text.size() ? text[position - 1].unicode() & 0xFF : 0;
}

class NoteUi : public Ui {
  public:
    explicit NoteUi(QStringList& notes) : m_notes(notes) {}
    void showMessage(MsgIcon, const QString& text) override { m_notes << text; }

  private:
    QStringList& m_notes;
};

} // namespace

void decodeReceivedFrame(const QString& received, model::PanelConfig& cfg, QStringList& notes) {
    const controller::TController ctl;
    NoteUi ui(notes);
    cfg.passwordsHidden = false;
    const int serial = byteAt(received, 952) * 256 + byteAt(received, 951);
    cfg.serialNumber = QStringLiteral("000") + QString::number(serial);
    model::decodeFrameBlocks(ctl, received, cfg, ui);
    if (received.size() >= kWithRedundant) {
        QString ip;
        QString port;
        if (ctl.FindRedundantIP(received, ip, port))
            model::unpackRedundant(cfg, ip, port);
    }
    cfg.firmwareVersion = QString::number(byteAt(received, 902) + 1);
}

PanelReader::PanelReader(SerialPort& port, UsbCommands* commands, int answerMs, QObject* parent)
    : QObject(parent), m_port(port), m_commands(commands) {
    m_answer.setSingleShot(true);
    m_answer.setInterval(answerMs);
    connect(&m_answer, &QTimer::timeout, this, &PanelReader::onTimeout);
    connect(&m_port, &SerialPort::errorOccurred, this, [this](const QString& text) { m_lastError = text; });
    // A line that breaks ends the read at once with what came so far.
    connect(&m_port, &SerialPort::lineBreak, this, [this] {
        if (m_running)
            onTimeout();
    });
}

PanelReader::~PanelReader() {
    if (!m_running)
        return;
    // Ended under way (its dialog closed): the port is left as it was found, its bytes to the commands.
    disconnect(m_receiving);
    if (m_openedHere)
        m_port.close();
    if (m_commands)
        m_commands->suspendDispatch(false);
}

void PanelReader::start() {
    if (m_running)
        return;
    m_running = true;
    m_lastError.clear();
    if (m_commands)
        m_commands->suspendDispatch(true);
    m_openedHere = !m_port.isOpen();
    if (!m_port.open()) {
        PanelRead r;
        r.outcome = PanelRead::Outcome::PortError;
        r.message = m_lastError;
        finish(std::move(r));
        return;
    }
    // A stale tail of an earlier reply must not join this one.
    m_port.discardInput();
    m_receiving = connect(&m_port, &SerialPort::received, this, &PanelReader::onReceived);
    if (!m_port.write(kReadRequest)) {
        PanelRead r;
        r.outcome = PanelRead::Outcome::PortError;
        r.message = m_lastError;
        finish(std::move(r));
        return;
    }
    m_answer.start();
}

void PanelReader::onReceived(qint64 count) {
    if (!m_running)
        return;
    if (count >= 2 && count <= 10) {
        // A short reply (a late acknowledgement) is no part of a frame.
        m_port.read(count);
        return;
    }
    if (count < kFrameMin)
        return; // the rest of the frame is still on its way
    PanelRead r;
    r.bytes = m_port.read(count);
    const QString received = QString::fromLatin1(r.bytes);
    model::PanelConfig next;
    try {
        decodeReceivedFrame(received, next, r.notes);
        r.outcome = PanelRead::Outcome::Read;
        r.config = next;
    } catch (const Error& e) {
        r.outcome = PanelRead::Outcome::BadFrame;
        r.message = e.text();
    }
    finish(std::move(r));
}

void PanelReader::onTimeout() {
    if (!m_running)
        return;
    PanelRead r;
    if (m_port.isOpen() && m_port.bytesWaiting() > 0)
        r.bytes = m_port.read(m_port.bytesWaiting());
    r.outcome = r.bytes.isEmpty() ? PanelRead::Outcome::NoAnswer : PanelRead::Outcome::NotAFrame;
    finish(std::move(r));
}

void PanelReader::finish(PanelRead result) {
    m_answer.stop();
    disconnect(m_receiving);
    if (m_openedHere)
        m_port.close();
    m_running = false;
    if (m_commands)
        m_commands->suspendDispatch(false);
    emit finished(result);
}

} // namespace zorel8z::usb
