#include "usb/CommandWatchdog.h"

#include "usb/UsbCommands.h"

namespace zorel8z::usb {

CommandWatchdog::CommandWatchdog(rules::EditorState& state, Ui& ui, int intervalMs, QObject* parent)
    : QObject(parent), m_state(state), m_ui(ui), m_timer(this) {
    m_timer.setObjectName(QStringLiteral("tiControlBtn"));
    // A coarse timer may fire 5 % early or late; the commands' limits are meant to the millisecond.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CommandWatchdog::onTick);
}

void CommandWatchdog::start() {
    m_timer.start();
}

void CommandWatchdog::stop() {
    m_timer.stop();
    emit stopped();
}

void CommandWatchdog::onTick() {
    m_timer.stop();
    emit expiring();
    if (m_state.commandsEnabled) {
        // The command has already ended.
        emit expired();
        return;
    }
    m_state.commandsEnabled = true;
    m_state.progressVisible = false;
    m_state.setAllMarks(model::PageMark::None);
    emit stateChanged();
    m_ui.showMessage(MsgIcon::Error, msg::kNoAnswer);
    emit expired();
}

} // namespace zorel8z::usb
