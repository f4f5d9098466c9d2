#include "usb/QtSerialPort.h"

#include "common/Modules.h"
#include "platform/Platform.h"
#include "usb/line/LineModule.h"

#include <QFileInfo>
#include <QLibrary>
#include <QtGlobal>

#include <mutex>

namespace zorel8z::usb {

namespace msg {
const QString kNoLineModule = QStringLiteral(
    "Не вдалося завантажити модуль послідовних портів програми (%1). Перевстановіть програму.");
} // namespace msg

namespace {

struct LoadedModule {
    const line::LineModule* module = nullptr;
    QString error;
};

// Loaded once, by whichever thread first needs it, and never unloaded: lines made by it live until
// the program ends. The window keeps it beside itself; the installed tool finds it in the window's
// folder.
const LoadedModule& lineModule() {
    static const LoadedModule loaded = [] {
        LoadedModule result;
        static QLibrary library;
        result.module = loadModuleTable<line::LineModule>(
            library, QStringLiteral(ZOREL_LINE_MODULE), QStringLiteral(ZOREL_MODULE_RELDIR),
            "zorel8z_line_module", line::kLineModuleVersion, result.error);
        return result;
    }();
    return loaded;
}

std::vector<line::ListedPort> listedPorts() {
    const LoadedModule& loaded = lineModule();
    if (!loaded.module) {
        // Opening a port says so to the user; a listing has nobody to tell but the log.
        static std::once_flag told;
        std::call_once(told, [&] { qWarning("%s", qPrintable(msg::kNoLineModule.arg(loaded.error))); });
        return {};
    }
    return loaded.module->listPorts();
}

} // namespace

QtSerialPort::QtSerialPort(QStringList extraPorts, int quietMs, QObject* parent)
    : SerialPort(parent), m_extraPorts(std::move(extraPorts)) {
    m_quiet.setTimerType(Qt::PreciseTimer);
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &QtSerialPort::reportWaiting);
}

QtSerialPort::~QtSerialPort() {
    close();
}

QStringList QtSerialPort::sortedPortNames(QStringList names) {
    return usb::sortedPortNames(std::move(names));
}

QStringList QtSerialPort::systemPorts() {
    QStringList names;
    for (const line::ListedPort& port : listedPorts())
        names << port.name;
    return sortedPortNames(names);
}

QStringList QtSerialPort::listSystem() const {
    m_descriptions.clear();
    QStringList names;
    for (const line::ListedPort& port : listedPorts()) {
        names << port.name;
        m_descriptions.insert(port.name, describePort(port.device));
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
    if (isOpen())
        return true;
    if (!m_line) {
        const LoadedModule& loaded = lineModule();
        if (!loaded.module) {
            emit errorOccurred(msg::kNoLineModule.arg(loaded.error));
            return false;
        }
        line::LineEvents events;
        events.readyRead = [this] { onReadyRead(); };
        events.fault = [this](line::Fault fault) { onFault(fault); };
        m_line.reset(loaded.module->makeLine(std::move(events)));
    }
    // Qt reads a bare name as a device under /dev; a relative path given by the user means a file here.
    const bool relativePath = m_name.contains(QLatin1Char('/')) && !m_name.startsWith(QLatin1Char('/'));
    // A failure is reported through onFault.
    return m_line->open(relativePath ? QFileInfo(m_name).absoluteFilePath() : m_name);
}

void QtSerialPort::close() {
    m_quiet.stop();
    if (m_line)
        m_line->close();
}

bool QtSerialPort::isOpen() const {
    return m_line && m_line->isOpen();
}

bool QtSerialPort::write(const QByteArray& bytes) {
    if (!isOpen()) {
        emit errorOccurred(QStringLiteral("Порт %1 не відкритий").arg(m_name));
        return false;
    }
    return m_line->write(bytes) == bytes.size();
}

qint64 QtSerialPort::bytesWaiting() const {
    return isOpen() ? m_line->bytesAvailable() : 0;
}

QByteArray QtSerialPort::read(qint64 count) {
    return isOpen() ? m_line->read(count) : QByteArray();
}

void QtSerialPort::discardInput() {
    if (!isOpen())
        return;
    m_quiet.stop();
    m_line->clearInput();
}

void QtSerialPort::onReadyRead() {
    const qint64 waiting = m_line->bytesAvailable();
    if (waiting >= kWholeFrameBytes && looksLikeWholeFrame(m_line->peek(waiting))) {
        m_quiet.stop();
        emit received(waiting);
        return;
    }
    m_quiet.start();
}

void QtSerialPort::reportWaiting() {
    // The timer measures the quiet between notifications; bytes the system already holds mean the
    // line was not quiet after all (the notification is only late). Taking them in restarts the wait.
    if (isOpen() && m_line->waitForReadyRead(0))
        return;
    const qint64 waiting = bytesWaiting();
    if (waiting > 0)
        emit received(waiting);
}

void QtSerialPort::onFault(line::Fault fault) {
    switch (fault) {
    case line::Fault::Timeout:
        // Only the look for bytes already there (a wait of 0 ms) finds none.
        m_line->clearError();
        return;
    case line::Fault::Gone:
        // A vanished device: Qt repeats the error until the port is closed; report it once.
        if (m_line->isOpen()) {
            m_quiet.stop();
            m_line->close();
            emit lineBreak();
        }
        m_line->clearError();
        return;
    case line::Fault::Other:
        emit errorOccurred(m_line->errorString());
        m_line->clearError();
        return;
    }
}

} // namespace zorel8z::usb
