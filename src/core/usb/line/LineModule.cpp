#include "usb/line/LineModule.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSignalBlocker>

namespace zorel8z::usb::line {

namespace {

class QtLine final : public Line {
  public:
    explicit QtLine(LineEvents events) : m_events(std::move(events)) {
        QObject::connect(&m_port, &QSerialPort::readyRead, &m_port, [this] {
            if (m_events.readyRead)
                m_events.readyRead();
        });
        QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                         [this](QSerialPort::SerialPortError error) { report(error); });
    }

    bool open(const QString& path) override {
        m_port.setPortName(path);
        m_port.setBaudRate(QSerialPort::Baud9600);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        m_port.setReadBufferSize(0);
        if (!m_port.open(QIODevice::ReadWrite))
            return false; // reported through the fault event
        // Pseudo-terminals and some adapters have no modem lines; that is no reason to refuse the port.
        const QSignalBlocker quiet(&m_port);
        m_port.setDataTerminalReady(false);
        m_port.setRequestToSend(false);
        m_port.clearError();
        return true;
    }

    void close() override {
        // Closing a closed QSerialPort reports NotOpenError; don't.
        if (m_port.isOpen())
            m_port.close();
    }

    bool isOpen() const override { return m_port.isOpen(); }
    qint64 write(const QByteArray& bytes) override { return m_port.write(bytes); }
    qint64 bytesAvailable() const override { return m_port.bytesAvailable(); }
    QByteArray read(qint64 count) override { return m_port.read(count); }
    QByteArray peek(qint64 count) override { return m_port.peek(count); }
    bool waitForReadyRead(int ms) override { return m_port.waitForReadyRead(ms); }

    void clearInput() override {
        m_port.clear(QSerialPort::Input);
        m_port.readAll();
    }

    void clearError() override { m_port.clearError(); }
    QString errorString() const override { return m_port.errorString(); }

  private:
    void report(QSerialPort::SerialPortError error) {
        if (!m_events.fault)
            return;
        switch (error) {
        case QSerialPort::NoError:
        case QSerialPort::NotOpenError:
            return;
        case QSerialPort::TimeoutError:
            m_events.fault(Fault::Timeout);
            return;
        case QSerialPort::ResourceError:
        case QSerialPort::ReadError:
            m_events.fault(Fault::Gone);
            return;
        default:
            m_events.fault(Fault::Other);
            return;
        }
    }

    LineEvents m_events;
    QSerialPort m_port;
};

std::vector<ListedPort> listPorts() {
    std::vector<ListedPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ListedPort port{info.portName(), {}};
        port.device.description = info.description();
        port.device.manufacturer = info.manufacturer();
        port.device.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            port.device.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.device.productId = info.productIdentifier();
        ports.push_back(std::move(port));
    }
    return ports;
}

Line* makeLine(LineEvents events) {
    return new QtLine(std::move(events));
}

const LineModule kModule{kLineModuleVersion, &listPorts, &makeLine};

} // namespace

} // namespace zorel8z::usb::line

const zorel8z::usb::line::LineModule* zorel8z_line_module() {
    return &zorel8z::usb::line::kModule;
}
