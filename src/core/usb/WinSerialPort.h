#pragma once

#include "usb/SerialPort.h"

#include <QTimer>

#include <memory>

class QWinEventNotifier;

namespace zorel8z::usb {

// SerialPort over the Win32 communications API, for the Windows build.
//
// The line settings are the panel's: 9600 8N1, DTR and RTS off, no handshake, driver queues of 1024
// bytes, a read returning at once with what is waiting, a write timing out after 100 ms a byte plus
// 1000 ms. Arrival is watched by an overlapped WaitCommEvent whose event the owner's event loop waits on,
// so no thread of our own is needed. A driver that cannot wait for events (some virtual ports, Wine's
// link to a pseudo-terminal, which has no modem lines) is polled every few milliseconds instead. Received bytes are coalesced like QtSerialPort does: reported after
// `quietMs` of quiet, or at once when a whole frame is waiting.
class WinSerialPort : public SerialPort {
    Q_OBJECT
  public:
    explicit WinSerialPort(QStringList extraPorts = {}, int quietMs = 50, QObject* parent = nullptr);
    ~WinSerialPort() override;

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

    // The system's COM ports (the registry's device map and the DOS device names), sorted as text
    // without regard to case.
    static QStringList systemPorts();
    // The path CreateFile needs: \\.\COM10 for a port name, an absolute path for a relative one.
    static QString devicePath(const QString& name);

  private:
    struct Line;
    void armWait();
    void onCommEvent();
    // Falls back to polling when the driver refuses to wait; breaks the line when it is gone.
    void waitFailed();
    // Moves whatever the driver holds into m_buffer; false when the line failed.
    bool pullInput();
    void reportWaiting();
    void breakLine();

    std::unique_ptr<Line> m_line;
    QStringList m_extraPorts;
    QTimer m_quiet;
    QTimer m_poll;
    QByteArray m_buffer;
    QString m_name = QStringLiteral("COM1");
};

} // namespace zorel8z::usb
