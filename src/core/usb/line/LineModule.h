#pragma once

#include "usb/SerialPort.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// Qt's serial port behind a narrow seam, in a module of its own that QtSerialPort loads when a port is
// first listed or opened. The serial library and libudev would otherwise be loaded by every start of
// the tool and the window, most of which never touch a port. The module holds no class of the core,
// so no QObject is defined twice.
namespace zorel8z::usb::line {

constexpr int kLineModuleVersion = 1;

// What went wrong on a line; "no error" and "not open" are never reported.
enum class Fault {
    Timeout, // a wait for bytes found none
    Gone,    // the device vanished or the line broke; repeated until the line is closed
    Other,   // anything else: errorString() says what
};

struct LineEvents {
    std::function<void()> readyRead;
    std::function<void(Fault)> fault;
};

// One port, on the thread that made it. Notifications are delivered through the events it was made
// with, from inside the calls that cause them too (a failed open reports its fault before it returns).
class Line {
  public:
    virtual ~Line() = default;
    // 9600 8N1, no handshake, the modem lines low where the device has them.
    virtual bool open(const QString& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual qint64 write(const QByteArray& bytes) = 0;
    virtual qint64 bytesAvailable() const = 0;
    virtual QByteArray read(qint64 count) = 0;
    virtual QByteArray peek(qint64 count) = 0;
    virtual bool waitForReadyRead(int ms) = 0;
    // Drops what the system and the line hold.
    virtual void clearInput() = 0;
    virtual void clearError() = 0;
    virtual QString errorString() const = 0;
};

struct ListedPort {
    QString name;
    PortDevice device;
};

struct LineModule {
    int version;
    // The system's ports, in its own order, with what it tells of the device behind each.
    std::vector<ListedPort> (*listPorts)();
    // A closed line; the caller owns it.
    Line* (*makeLine)(LineEvents events);
};

} // namespace zorel8z::usb::line

extern "C" {
__attribute__((visibility("default"))) const zorel8z::usb::line::LineModule* zorel8z_line_module();
}
