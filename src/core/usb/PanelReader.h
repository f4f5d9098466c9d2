#pragma once

#include "model/PanelConfig.h"
#include "usb/SerialPort.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace zorel8z::usb {

class UsbCommands;

// How a read into a copy ended.
struct PanelRead {
    enum class Outcome {
        Read,      // a frame came and every block decoded: `config` holds it
        NoAnswer,  // nothing came within the answer time
        NotAFrame, // bytes came, but fewer than a frame
        BadFrame,  // a frame came and a block did not decode (`message` says why)
        PortError, // the port could not be opened or written (`message` holds the system's text)
    };
    Outcome outcome = Outcome::NoAnswer;
    model::PanelConfig config; // what the panel holds, identity values included (Read only)
    QByteArray bytes;          // everything received
    QString message;
    QStringList notes; // what decoding the parameters said on the way ("Помилковий формат конфігурації!")
};

// Reads the panel's configuration over `port` into a copy, leaving the window's record alone: sends
// "@" CR LF, takes the frame as the read command does, and decodes it all or nothing. Used by the
// compare with the panel, the check after a write and the connection check.
//
// While it reads, the window's USB commands (when given) leave the port's bytes to it. The port is
// opened when needed and left as it was found: closed again if it was closed.
class PanelReader : public QObject {
    Q_OBJECT
public:
    explicit PanelReader(SerialPort& port, UsbCommands* commands = nullptr, int answerMs = 4000,
                         QObject* parent = nullptr);
    ~PanelReader() override;

    // Starts a read; does nothing while one is under way.
    void start();
    bool running() const { return m_running; }
    int answerMs() const { return m_answer.interval(); }

signals:
    void finished(const zorel8z::usb::PanelRead& result);

private:
    void onReceived(qint64 count);
    void onTimeout();
    void finish(PanelRead result);

    SerialPort& m_port;
    UsbCommands* m_commands;
    QTimer m_answer;
    QMetaObject::Connection m_receiving;
    bool m_running = false;
    bool m_openedHere = false;
    QString m_lastError;
};

// The panel's frame as received (one character per byte) decoded into `cfg`: blocks 1..5, the
// redundant server when the frame carries it, the serial number and the firmware version. Throws
// on the first block that does not decode; callers decode into a copy.
void decodeReceivedFrame(const QString& received, model::PanelConfig& cfg, QStringList& notes);

} // namespace zorel8z::usb
