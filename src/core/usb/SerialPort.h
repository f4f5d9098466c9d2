#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace zorel8z::usb {

namespace msg {
extern const QString kPortMaker;
extern const QString kPortSerial;
extern const QString kPortUsbId;
} // namespace msg

// The shortest whole frame a panel sends: the body up to its redundant block, then CR LF. Implementations
// report bytes at once only when this much, ending in CR LF, is waiting; shorter runs wait for quiet.
constexpr qint64 kWholeFrameBytes = 999;

inline bool looksLikeWholeFrame(const QByteArray& waiting) {
    return waiting.size() >= kWholeFrameBytes && waiting.endsWith("\r\n");
}

// Sorted as text without regard to case: COM1, COM10, COM3.
inline QStringList sortedPortNames(QStringList names) {
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

// What the system tells of the device behind a port; any part may be unknown.
struct PortDevice {
    QString description; // the adapter, as its driver names it
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
};

// Windows' names of serial ports: COM and a number, in any case.
bool isComPortName(const QString& name);

// The USB ids and serial number in a Windows device instance id (USB\VID_0403&PID_6001\A50285BI)
// go into `device`; an id of another form leaves it as it is. Windows makes up a last part with '&'
// in it for a device that has no serial number of its own: that is no serial number.
// Plain text scanning, no regular expression: port listing runs off the window's thread.
void readInstanceId(const QString& instanceId, PortDevice& device);

// The device in the installer's words, one fact a line, for telling ports apart; empty when nothing
// is known.
QString describePort(const PortDevice& device);

// A serial port as the commands use it: one byte per character both ways, 9600 8N1, no handshake.
// Implementations report by signals on the owner's thread; errors never throw.
class SerialPort : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The ports present, sorted as text without regard to case, then the extra device paths.
    virtual QStringList availablePorts() const = 0;
    // What the system tells of the device behind port `name` of the list (adapter, maker, serial
    // number), as describePort() words it; empty when it tells nothing.
    virtual QString portDescription(const QString& name) const = 0;
    // A different name while open closes the port and opens it again under the new name.
    virtual void setPortName(const QString& name) = 0;
    virtual QString portName() const = 0;
    // Nothing happens when already open. False when it cannot be opened (also reported by errorOccurred).
    virtual bool open() = 0;
    // Nothing happens when already closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool write(const QByteArray& bytes) = 0;
    virtual qint64 bytesWaiting() const = 0;
    // Up to `count` of the bytes already waiting.
    virtual QByteArray read(qint64 count) = 0;
    // Drops whatever is waiting, so a stale tail cannot join the next reply.
    virtual void discardInput() = 0;

  protected:
    // For setPortName: a different name while open closes the port and opens it again under it.
    void rename(QString& current, const QString& name) {
        if (name == current)
            return;
        const bool wasOpen = isOpen();
        close();
        current = name;
        if (wasOpen)
            open();
    }

  signals:
    // Bytes are waiting; `count` is how many.
    void received(qint64 count);
    // The line broke or the device went away; the port has been closed.
    void lineBreak();
    // An error of the serial layer, with its text.
    void errorOccurred(const QString& text);
};

} // namespace zorel8z::usb
