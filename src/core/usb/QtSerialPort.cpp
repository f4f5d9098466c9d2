#include "usb/QtSerialPort.h"

#include "platform/Platform.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace zorel8z::usb {

namespace {

PortDevice deviceOf(const QSerialPortInfo& info) {
    PortDevice device;
    device.description = info.description();
    device.manufacturer = info.manufacturer();
    device.serialNumber = info.serialNumber();
    if (info.hasVendorIdentifier())
        device.vendorId = info.vendorIdentifier();
    if (info.hasProductIdentifier())
        device.productId = info.productIdentifier();
    return device;
}

} // namespace

QtSerialPort::QtSerialPort(QStringList extraPorts, int quietMs, QObject* parent)
    : SerialPort(parent), m_extraPorts(std::move(extraPorts)) {
    m_quiet.setTimerType(Qt::PreciseTimer);
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &QtSerialPort::reportWaiting);
    connect(&m_port, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QtSerialPort::~QtSerialPort() {
    close();
}

QStringList QtSerialPort::sortedPortNames(QStringList names) {
    return usb::sortedPortNames(std::move(names));
}

QStringList QtSerialPort::systemPorts() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.portName();
    return sortedPortNames(names);
}

QStringList QtSerialPort::listSystem() const {
    m_descriptions.clear();
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        names << info.portName();
        m_descriptions.insert(info.portName(), describePort(deviceOf(info)));
    }
    return sortedPortNames(names);
}

QStringList QtSerialPort::availablePorts() const {
    QStringList present = listSystem();
    for (const QString& path : m_extraPorts) {
        if (QFileInfo::exists(platform::deviceFile(path)))
            present << path;
    }
    return present;
}

QString QtSerialPort::portDescription(const QString& name) const {
    // An extra path is a device the system does not list: it has nothing to tell of it.
    if (!m_descriptions.contains(name) && !m_extraPorts.contains(name))
        listSystem();
    return m_descriptions.value(name);
}

void QtSerialPort::setPortName(const QString& name) {
    rename(m_name, name);
}

QString QtSerialPort::portName() const {
    return m_name;
}

bool QtSerialPort::open() {
    if (m_port.isOpen())
        return true;
    // Qt reads a bare name as a device under /dev; a relative path given by the user means a file here.
    const bool relativePath = m_name.contains(QLatin1Char('/')) && !m_name.startsWith(QLatin1Char('/'));
    m_port.setPortName(relativePath ? QFileInfo(m_name).absoluteFilePath() : m_name);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.setReadBufferSize(0);
    if (!m_port.open(QIODevice::ReadWrite))
        return false; // reported through onError
    // Pseudo-terminals and some adapters have no modem lines; that is no reason to refuse the port.
    {
        const QSignalBlocker quiet(&m_port);
        m_port.setDataTerminalReady(false);
        m_port.setRequestToSend(false);
        m_port.clearError();
    }
    return true;
}

void QtSerialPort::close() {
    m_quiet.stop();
    // Closing a closed QSerialPort reports NotOpenError; don't.
    if (m_port.isOpen())
        m_port.close();
}

bool QtSerialPort::isOpen() const {
    return m_port.isOpen();
}

bool QtSerialPort::write(const QByteArray& bytes) {
    if (!m_port.isOpen()) {
        emit errorOccurred(QStringLiteral("Порт %1 не відкритий").arg(m_name));
        return false;
    }
    return m_port.write(bytes) == bytes.size();
}

qint64 QtSerialPort::bytesWaiting() const {
    return m_port.isOpen() ? m_port.bytesAvailable() : 0;
}

QByteArray QtSerialPort::read(qint64 count) {
    return m_port.isOpen() ? m_port.read(count) : QByteArray();
}

void QtSerialPort::discardInput() {
    if (!m_port.isOpen())
        return;
    m_quiet.stop();
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
}

void QtSerialPort::onReadyRead() {
    const qint64 waiting = m_port.bytesAvailable();
    if (waiting >= kWholeFrameBytes && looksLikeWholeFrame(m_port.peek(waiting))) {
        m_quiet.stop();
        emit received(waiting);
        return;
    }
    m_quiet.start();
}

void QtSerialPort::reportWaiting() {
    // The timer measures the quiet between notifications; bytes the system already holds mean the
    // line was not quiet after all (the notification is only late). Taking them in restarts the wait.
    if (m_port.isOpen() && m_port.waitForReadyRead(0))
        return;
    const qint64 waiting = bytesWaiting();
    if (waiting > 0)
        emit received(waiting);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::NotOpenError:
        return;
    case QSerialPort::TimeoutError:
        // Only the look for bytes already there (a wait of 0 ms) finds none.
        m_port.clearError();
        return;
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        // A vanished device: Qt repeats the error until the port is closed; report it once.
        if (m_port.isOpen()) {
            m_quiet.stop();
            m_port.close();
            emit lineBreak();
        }
        m_port.clearError();
        return;
    default:
        emit errorOccurred(m_port.errorString());
        m_port.clearError();
        return;
    }
}

} // namespace zorel8z::usb
