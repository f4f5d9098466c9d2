#include "usb/WriteVerifier.h"

#include "common/Errors.h"
#include "controller/TController.h"
#include "model/FrameCodec.h"

#include <QTimer>

namespace zorel8z::usb {

using model::PageMark;

namespace {

// Nothing of what decoding the written frame might say is news to the user: it is what was sent.
class QuietUi : public Ui {
  public:
    void showMessage(MsgIcon, const QString&) override {}
};

} // namespace

QString readProblem(const PanelRead& read) {
    switch (read.outcome) {
    case PanelRead::Outcome::NoAnswer:
        return msg::kReadBackNoAnswer;
    case PanelRead::Outcome::NotAFrame:
        return msg::kReadBackShort.arg(read.bytes.size());
    case PanelRead::Outcome::BadFrame:
        return read.message;
    case PanelRead::Outcome::PortError:
        return msg::kUsbErrorPrefix + read.message;
    case PanelRead::Outcome::Read:
        break;
    }
    return QString();
}

WriteVerifier::WriteVerifier(UsbCommands& commands, rules::EditorState& state, Ui& ui, int answerMs,
                             QObject* parent)
    : QObject(parent), m_commands(commands), m_state(state), m_ui(ui),
      m_reader(commands.port(), &commands, answerMs) {
    connect(&m_commands, &UsbCommands::writeAcknowledged, this, &WriteVerifier::onAcknowledged);
    connect(&m_reader, &PanelReader::finished, this, &WriteVerifier::onReadBack);
    // A write the watchdog has ended is over: a late acknowledgement gets the plain success message.
    connect(&m_commands, &UsbCommands::watchdogExpired, this, &WriteVerifier::release);
    // A frame where the acknowledgement was due ends the write unacknowledged: nothing to verify.
    connect(&m_commands, &UsbCommands::configReplaced, this, [this] {
        if (m_pending)
            release();
    });
}

void WriteVerifier::release() {
    m_pending = false;
    m_commands.setWriteMessageDeferred(false);
}

void WriteVerifier::writeCommand() {
    if (m_reader.running())
        return;
    if (!m_enabled || m_state.mode != rules::Mode::Local) {
        release();
        m_commands.writeCommand();
        return;
    }
    m_pending = true;
    m_commands.setWriteMessageDeferred(true);
    m_commands.writeCommand();
    // Refused by a check (its message shown): nothing was sent, nothing to verify.
    if (m_state.commandsEnabled)
        release();
}

void WriteVerifier::onAcknowledged() {
    if (!m_pending)
        return;
    // The success message stays deferred until the read-back has been judged.
    m_pending = false;
    // What the panel was sent, read back from the frame itself.
    m_written = model::PanelConfig();
    try {
        QuietUi quiet;
        const QString frame = QString::fromLatin1(m_commands.lastWriteFrame());
        model::decodeFileText(controller::TController(), frame.mid(2), m_written, quiet);
    } catch (const Error&) {
        // A frame of ours that does not decode cannot be compared; say so instead of guessing.
        m_last = Verification();
        m_last.read.outcome = PanelRead::Outcome::BadFrame;
        m_last.read.message = texts::kBadConfigFormat;
        m_ui.showMessage(MsgIcon::Information, msg::kWritten);
        m_ui.showMessage(MsgIcon::Warning, msg::kVerifyFailed + texts::kBadConfigFormat);
        // Once the acknowledgement has been handled (its message is the one shown above).
        QTimer::singleShot(0, this, [this] { m_commands.setWriteMessageDeferred(false); });
        emit finished(m_last);
        return;
    }
    m_state.commandsEnabled = false;
    m_state.progressVisible = true;
    emit stateChanged();
    m_reader.start();
}

void WriteVerifier::onReadBack(const PanelRead& read) {
    m_commands.setWriteMessageDeferred(false);
    m_state.commandsEnabled = true;
    m_state.progressVisible = false;
    m_last = Verification();
    m_last.read = read;
    if (read.outcome != PanelRead::Outcome::Read) {
        emit stateChanged();
        m_ui.showMessage(MsgIcon::Information, msg::kWritten);
        m_ui.showMessage(MsgIcon::Warning, msg::kVerifyFailed + readProblem(read));
        emit finished(m_last);
        return;
    }
    m_last.diffs = compare::compareConfigs(m_written, read.config);
    if (m_last.diffs.empty()) {
        m_last.outcome = Verification::Outcome::Verified;
        emit stateChanged();
        m_ui.showMessage(MsgIcon::Information, msg::kWritten);
        m_ui.showMessage(MsgIcon::Information, msg::kVerified);
        emit finished(m_last);
        return;
    }
    m_last.outcome = Verification::Outcome::Differs;
    // The pages that the panel does not hold as written are not in step with it.
    for (const compare::PageDiff& d : m_last.diffs)
        m_state.setMark(d.page, PageMark::None);
    emit stateChanged();
    QString text = msg::kVerifyDiffers + QStringLiteral("\r\n") + compare::diffText(m_last.diffs).trimmed();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    text.replace(QStringLiteral("\r\r\n"), QStringLiteral("\r\n"));
    m_ui.showMessage(MsgIcon::Error, text);
    emit finished(m_last);
}

} // namespace zorel8z::usb

// The texts declared in WriteVerifier.h: defined once here, not in every file that includes it.
namespace zorel8z::usb::msg {

const QString kVerified = QStringLiteral("Записане перевірено.");
const QString kVerifyDiffers =
    QStringLiteral("Записане відрізняється від зчитаного з ППК (записано → у ППК):");
const QString kVerifyFailed = QStringLiteral("Записане не перевірено: ");
const QString kReadBackNoAnswer = QStringLiteral("ППК не відповів на запит зчитування.");
const QString kReadBackShort = QStringLiteral("ППК надіслав %1 байт замість конфігурації.");

} // namespace zorel8z::usb::msg
