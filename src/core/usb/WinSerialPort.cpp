#include "usb/WinSerialPort.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QWinEventNotifier>

#include <windows.h>
// After windows.h, which it needs.
#include <setupapi.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace zorel8z::usb {

namespace {

QString systemError(DWORD code) {
    return qt_error_string(int(code));
}

// The device setup class of serial and parallel ports (GUID_DEVCLASS_PORTS), spelt out so that no
// GUID library has to be linked for it.
const GUID kPortsClass = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

QString deviceProperty(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD property) {
    wchar_t text[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &info, property, &type, reinterpret_cast<BYTE*>(text),
                                           sizeof text - sizeof(wchar_t), nullptr) ||
        type != REG_SZ)
        return QString();
    return QString::fromWCharArray(text);
}

// What the system's device manager knows of the device behind a COM port: its name, its maker, and
// from its instance id (USB\VID_0403&PID_6001\A50285BI) the USB ids and serial number.
PortDevice deviceBehind(const QString& portName) {
    PortDevice device;
    const HDEVINFO set = SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return device;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        const HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        wchar_t port[64] = {};
        DWORD size = sizeof port - sizeof(wchar_t);
        DWORD type = 0;
        const bool named = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(port),
                                            &size) == ERROR_SUCCESS &&
                           type == REG_SZ;
        RegCloseKey(key);
        if (!named || QString::fromWCharArray(port).compare(portName, Qt::CaseInsensitive) != 0)
            continue;
        device.description = deviceProperty(set, info, SPDRP_FRIENDLYNAME);
        if (device.description.isEmpty())
            device.description = deviceProperty(set, info, SPDRP_DEVICEDESC);
        device.manufacturer = deviceProperty(set, info, SPDRP_MFG);
        wchar_t id[512] = {};
        if (SetupDiGetDeviceInstanceIdW(set, &info, id, DWORD(std::size(id)) - 1, nullptr))
            readInstanceId(QString::fromWCharArray(id), device);
        break;
    }
    SetupDiDestroyDeviceInfoList(set);
    return device;
}

} // namespace

struct WinSerialPort::Line {
    HANDLE handle = INVALID_HANDLE_VALUE;
    OVERLAPPED wait{};
    DWORD events = 0;
    bool waiting = false;
    std::unique_ptr<QWinEventNotifier> notifier;

    ~Line() {
        if (wait.hEvent)
            ::CloseHandle(wait.hEvent);
    }
};

WinSerialPort::WinSerialPort(QStringList extraPorts, int quietMs, QObject* parent)
    : SerialPort(parent), m_extraPorts(std::move(extraPorts)) {
    m_quiet.setTimerType(Qt::PreciseTimer);
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &WinSerialPort::reportWaiting);
    // A tenth of the quiet, so polling does not stretch the quiet a frame is judged by.
    m_poll.setTimerType(Qt::PreciseTimer);
    m_poll.setInterval(std::max(1, quietMs / 10));
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (m_line)
            pullInput();
    });
}

WinSerialPort::~WinSerialPort() {
    close();
}

QStringList WinSerialPort::systemPorts() {
    QStringList names;
    // Ports with a driver list themselves here.
    const QSettings map(QStringLiteral("HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM"),
                        QSettings::NativeFormat);
    for (const QString& key : map.allKeys()) {
        const QString name = map.value(key).toString();
        if (isComPortName(name) && !names.contains(name, Qt::CaseInsensitive))
            names << name;
    }
    // Ports that are only DOS device names (virtual adapters, Wine's links) appear only here.
    std::vector<wchar_t> all(1 << 16);
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (::QueryDosDeviceW(nullptr, all.data(), DWORD(all.size())) != 0)
            break;
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            all.assign(1, L'\0');
            break;
        }
        all.resize(all.size() * 4);
    }
    for (const wchar_t* entry = all.data(); *entry; entry += wcslen(entry) + 1) {
        const QString name = QString::fromWCharArray(entry);
        if (isComPortName(name) && !names.contains(name, Qt::CaseInsensitive))
            names << name;
    }
    return sortedPortNames(names);
}

QString WinSerialPort::devicePath(const QString& name) {
    if (isComPortName(name))
        return QStringLiteral("\\\\.\\") + name.toUpper();
    if (name.startsWith(QLatin1String("\\\\")))
        return name;
    return QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath());
}

QStringList WinSerialPort::availablePorts() const {
    return systemPorts() + m_extraPorts;
}

QString WinSerialPort::portDescription(const QString& name) const {
    // An extra path is a device the system does not list: it has nothing to tell of it.
    if (m_extraPorts.contains(name))
        return QString();
    return describePort(deviceBehind(name));
}

void WinSerialPort::setPortName(const QString& name) {
    rename(m_name, name);
}

QString WinSerialPort::portName() const {
    return m_name;
}

bool WinSerialPort::open() {
    if (m_line)
        return true;
    auto line = std::make_unique<Line>();
    line->handle =
        ::CreateFileW(reinterpret_cast<const wchar_t*>(devicePath(m_name).utf16()),
                      GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (line->handle == INVALID_HANDLE_VALUE) {
        emit errorOccurred(systemError(::GetLastError()));
        return false;
    }
    const auto refuse = [&] {
        const DWORD code = ::GetLastError();
        ::CloseHandle(line->handle);
        emit errorOccurred(systemError(code));
        return false;
    };
    ::SetupComm(line->handle, 1024, 1024);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(line->handle, &dcb))
        return refuse();
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = FALSE;
    if (!::SetCommState(line->handle, &dcb))
        return refuse();
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD; // a read returns at once with what is waiting
    timeouts.WriteTotalTimeoutMultiplier = 100;
    timeouts.WriteTotalTimeoutConstant = 1000;
    if (!::SetCommTimeouts(line->handle, &timeouts) || !::SetCommMask(line->handle, EV_RXCHAR | EV_ERR))
        return refuse();
    ::PurgeComm(line->handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    line->wait.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!line->wait.hEvent)
        return refuse();
    line->notifier = std::make_unique<QWinEventNotifier>(line->wait.hEvent);
    connect(line->notifier.get(), &QWinEventNotifier::activated, this, &WinSerialPort::onCommEvent);
    m_line = std::move(line);
    m_buffer.clear();
    armWait();
    return m_line != nullptr;
}

void WinSerialPort::armWait() {
    // A wait that completes at once means bytes came meanwhile; take them and wait again. The bound
    // only keeps a line that never stops signalling from holding the event loop.
    for (int round = 0; m_line && round < 64; ++round) {
        ::ResetEvent(m_line->wait.hEvent);
        m_line->events = 0;
        if (::WaitCommEvent(m_line->handle, &m_line->events, &m_line->wait)) {
            if (!pullInput())
                return;
            continue;
        }
        if (::GetLastError() == ERROR_IO_PENDING) {
            m_line->waiting = true;
            m_line->notifier->setEnabled(true);
            return;
        }
        waitFailed();
        return;
    }
    if (m_line) // signalled 64 times in a row: look again from the event loop
        QTimer::singleShot(0, this, [this] {
            if (m_line && !m_line->waiting)
                armWait();
        });
}

void WinSerialPort::onCommEvent() {
    if (!m_line || !m_line->waiting)
        return;
    m_line->waiting = false;
    m_line->notifier->setEnabled(false);
    DWORD ignored = 0;
    if (!::GetOverlappedResult(m_line->handle, &m_line->wait, &ignored, FALSE)) {
        waitFailed();
        return;
    }
    if (pullInput())
        armWait();
}

void WinSerialPort::waitFailed() {
    // Whether the port itself still answers tells a driver without event waits from a vanished one.
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(m_line->handle, &errors, &status)) {
        breakLine();
        return;
    }
    if (pullInput())
        m_poll.start();
}

bool WinSerialPort::pullInput() {
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(m_line->handle, &errors, &status)) {
        breakLine();
        return false;
    }
    const qint64 before = m_buffer.size();
    while (status.cbInQue > 0) {
        QByteArray chunk(qsizetype(status.cbInQue), Qt::Uninitialized);
        OVERLAPPED io{};
        io.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD got = 0;
        const bool ok =
            ::ReadFile(m_line->handle, chunk.data(), DWORD(chunk.size()), &got, &io) ||
            (::GetLastError() == ERROR_IO_PENDING && ::GetOverlappedResult(m_line->handle, &io, &got, TRUE));
        ::CloseHandle(io.hEvent);
        if (!ok) {
            breakLine();
            return false;
        }
        m_buffer.append(chunk.constData(), qsizetype(got));
        if (got == 0 || !::ClearCommError(m_line->handle, &errors, &status))
            break;
    }
    if (m_buffer.size() == before)
        return true;
    if (looksLikeWholeFrame(m_buffer)) {
        m_quiet.stop();
        emit received(m_buffer.size());
    } else {
        m_quiet.start();
    }
    return true;
}

void WinSerialPort::reportWaiting() {
    // Bytes the driver already holds mean the line was not quiet after all: taking them in restarts
    // the wait.
    const qint64 before = m_buffer.size();
    if (m_line && !pullInput())
        return;
    if (m_buffer.size() != before)
        return;
    if (!m_buffer.isEmpty())
        emit received(m_buffer.size());
}

void WinSerialPort::breakLine() {
    if (!m_line)
        return;
    close();
    emit lineBreak();
}

void WinSerialPort::close() {
    m_quiet.stop();
    m_poll.stop();
    if (!m_line)
        return;
    std::unique_ptr<Line> line = std::move(m_line);
    line->notifier->setEnabled(false);
    if (line->waiting) {
        // The system still holds the OVERLAPPED: cancel and let the wait end before it goes.
        ::SetCommMask(line->handle, 0);
        ::CancelIoEx(line->handle, &line->wait);
        DWORD ignored = 0;
        ::GetOverlappedResult(line->handle, &line->wait, &ignored, TRUE);
    }
    ::CloseHandle(line->handle);
}

bool WinSerialPort::isOpen() const {
    return m_line != nullptr;
}

bool WinSerialPort::write(const QByteArray& bytes) {
    if (!m_line) {
        emit errorOccurred(QStringLiteral("Порт %1 не відкритий").arg(m_name));
        return false;
    }
    OVERLAPPED io{};
    io.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD written = 0;
    // The driver ends the write after its own timeout (100 ms a byte plus 1000 ms).
    const bool ok =
        ::WriteFile(m_line->handle, bytes.constData(), DWORD(bytes.size()), &written, &io) ||
        (::GetLastError() == ERROR_IO_PENDING && ::GetOverlappedResult(m_line->handle, &io, &written, TRUE));
    const DWORD code = ::GetLastError();
    ::CloseHandle(io.hEvent);
    if (!ok) {
        emit errorOccurred(systemError(code));
        return false;
    }
    return written == DWORD(bytes.size());
}

qint64 WinSerialPort::bytesWaiting() const {
    return m_buffer.size();
}

QByteArray WinSerialPort::read(qint64 count) {
    const QByteArray taken = m_buffer.left(qsizetype(count));
    m_buffer.remove(0, taken.size());
    return taken;
}

void WinSerialPort::discardInput() {
    m_quiet.stop();
    m_buffer.clear();
    if (m_line)
        ::PurgeComm(m_line->handle, PURGE_RXCLEAR);
}

} // namespace zorel8z::usb
