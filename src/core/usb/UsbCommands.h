#pragma once

#include "common/Ui.h"
#include "controller/TController.h"
#include "model/PanelConfig.h"
#include "rules/EditorState.h"
#include "usb/SerialPort.h"

#include <QObject>
#include <QTimer>

#include <optional>

namespace zorel8z::usb {

namespace msg {
extern const QString kUsbErrorPrefix;
extern const QString kNoAccessPrefix;
extern const QString kNoAccessAdvice;
extern const QString kRepeatRead;
extern const QString kNoAnswer;
extern const QString kWritten;
extern const QString kLineBroken;
extern const QString kFrameInsteadOfAck;
} // namespace msg

class CommandWatchdog;

struct UsbTimings {
    int delayCheckMs = 4000;
    // The interval of the command watchdog, for whoever makes the one the commands share.
    int watchdogMs = 20000;
};

// The read and write commands over the panel's USB serial port, the receive dispatcher, the delay
// check, the port choice and the line break. Works on the record and the editor state; tells the
// window through `Ui` and the signals. The command watchdog is shared with the remote commands.
class UsbCommands : public QObject {
    Q_OBJECT
  public:
    UsbCommands(model::PanelConfig& cfg, rules::EditorState& state, SerialPort& port, Ui& ui,
                CommandWatchdog& watchdog, UsbTimings timings = {}, QObject* parent = nullptr);

    // The read command: "@" CR LF, then the delay check and the watchdog.
    void readCommand();
    // The write command in local mode: checks, then the whole frame, then wait for "-<".
    void writeCommand();

    // The user picked a port in the list (an empty name: nothing selected).
    void portPicked(const QString& name);
    // The refresh button: the list anew; the first entry is chosen. Returns the new list.
    QStringList refreshPorts();
    // Devices came or went: the list anew as the refresh button makes it, except that a chosen port
    // still present stays chosen and is left as it is, open or not. While a read, a write or another
    // sequence runs on the port nothing changes (nullopt): its messages must name the port it ran on; ask
    // again later.
    std::optional<QStringList> devicesChanged();
    // Chooses a port without the user (start-up); nothing is closed.
    void choosePort(const QString& name);

    // Receive notification of the panel port.
    void onReceived(qint64 count);
    void onDelayCheckTick();
    void onLineBreak();

    const QString& receivedText() const { return m_receivedText; }
    void setReceivedText(const QString& text) { m_receivedText = text; }
    bool delayCheckRunning() const { return m_delayCheck.isActive(); }
    bool watchdogRunning() const;
    // A write frame has gone out and neither its acknowledgement nor the watchdog has ended it.
    bool writing() const { return m_writing; }
    SerialPort& port() { return m_port; }

    // While another sequence reads the panel over the same port into a copy, the bytes are its own:
    // the receive dispatcher leaves them alone.
    void suspendDispatch(bool suspended) { m_dispatchSuspended = suspended; }
    bool dispatchSuspended() const { return m_dispatchSuspended; }
    // While set, an acknowledged write announces itself by writeAcknowledged() only; whoever checks
    // the panel afterwards shows the success message.
    void setWriteMessageDeferred(bool deferred) { m_writeMessageDeferred = deferred; }
    // The last write frame sent, as it went on the line.
    const QByteArray& lastWriteFrame() const { return m_lastWriteFrame; }

  signals:
    // The record was replaced by what the panel sent; the window refills its pages.
    void configReplaced();
    // Command buttons, port list, progress bar or page marks changed (the watchdog's changes too).
    void stateChanged();
    // The command watchdog ended a command that got no answer.
    void watchdogExpired();
    // The panel acknowledged a write (before the success message, if any, is shown).
    void writeAcknowledged();

  private:
    void decodeFrame(qint64 count);
    void acknowledged();
    void endCommand(bool closePort);
    void showUsbError(const QString& text);
    // The port would not open: the system's words, and what to do when it is a matter of permission.
    void showOpenError();
    // The refresh's choice: the port closed, the first of `ports` chosen (none when empty).
    QStringList chooseFirst(const QStringList& ports);

    model::PanelConfig& m_cfg;
    rules::EditorState& m_state;
    SerialPort& m_port;
    Ui& m_ui;
    CommandWatchdog& m_watchdog;
    controller::TController m_ctl;
    QTimer m_delayCheck;
    QString m_receivedText;
    QString m_lastError;
    bool m_writing = false;
    QByteArray m_lastWriteFrame;
    bool m_dispatchSuspended = false;
    bool m_writeMessageDeferred = false;
};

} // namespace zorel8z::usb
