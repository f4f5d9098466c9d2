#pragma once

#include "usb/SerialPort.h"

#include <QHash>
#include <QTimer>

#include <memory>

namespace zorel8z::usb {

namespace line {
class Line;
enum class Fault;
} // namespace line

namespace msg {
// Said when the module that carries Qt's serial port (usb/line) cannot be loaded; %1 is why.
extern const QString kNoLineModule;
} // namespace msg

// SerialPort over Qt's QSerialPort, which lives in a module loaded on the first listing or opening.
//
// Receive notifications are coalesced: over a real line a frame arrives in pieces, and reporting each
// piece would let the dispatcher take a frame before its end or eat the start of one. The bytes waiting
// are reported once the line has been quiet for `quietMs`, or at once when a whole frame (at least
// 999 bytes ending in CR LF) is waiting. The trailer holds binary bytes, so a shorter run that ends in
// CR LF (a serial number of 2573 is 0x0D 0x0A at 951..952) waits for the quiet like any other.
//
// The extra device paths are listed while they are there: a pseudo-terminal or an adapter's link comes
// and goes like a plugged device.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QStringList extraPorts = {}, int quietMs = 50, QObject* parent = nullptr);
    ~QtSerialPort() override;

    QStringList availablePorts() const override;
    QString portDescription(const QString& name) const override;
    void setPortName(const QString& name) override;
    QString portName() const override;
    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray& bytes) override;
    qint64 bytesWaiting() const override;
    QByteArray read(qint64 count) override;
    void discardInput() override;

    // The system's ports sorted as text without regard to case.
    static QStringList systemPorts();
    // Sorted as text without regard to case: COM1, COM10, COM3.
    static QStringList sortedPortNames(QStringList names);

private:
    void onReadyRead();
    void onFault(line::Fault fault);
    void reportWaiting();
    // The system's ports, noting what the system tells of each.
    QStringList listSystem() const;

    QStringList m_extraPorts;
    // From the last listing, so the list's tooltips ask the system once, not once per port.
    mutable QHash<QString, QString> m_descriptions;
    QTimer m_quiet;
    QString m_name = QStringLiteral("COM1");
    // Made on the first open, on the owner's thread; none until then. Last, so it goes first.
    std::unique_ptr<line::Line> m_line;
};

} // namespace zorel8z::usb
