#pragma once

#include "usb/SerialPort.h"

#include <QByteArrayList>
#include <QHash>

namespace zorel8z::test {

// An in-memory serial port: tests feed bytes and notifications, and see what was written.
class FakeSerialPort : public usb::SerialPort {
public:
    QStringList ports;
    // What the system would tell of each port's device.
    QHash<QString, QString> descriptions;
    QString name = QStringLiteral("COM1");
    bool opened = false;
    bool failOpen = false;
    int openCount = 0;
    int closeCount = 0;
    QByteArrayList writes;
    QByteArray waiting;

    QStringList availablePorts() const override { return ports; }
    QString portDescription(const QString& n) const override { return descriptions.value(n); }
    void setPortName(const QString& n) override {
        if (n == name)
            return;
        const bool wasOpen = opened;
        close();
        name = n;
        if (wasOpen)
            open();
    }
    QString portName() const override { return name; }
    bool open() override {
        if (opened)
            return true;
        if (failOpen) {
            emit errorOccurred(QStringLiteral("cannot open %1").arg(name));
            return false;
        }
        opened = true;
        ++openCount;
        return true;
    }
    void close() override {
        if (opened) {
            opened = false;
            ++closeCount;
        }
    }
    bool isOpen() const override { return opened; }
    bool write(const QByteArray& bytes) override {
        if (!opened)
            return false;
        writes << bytes;
        return true;
    }
    qint64 bytesWaiting() const override { return waiting.size(); }
    QByteArray read(qint64 count) override {
        const QByteArray out = waiting.left(count);
        waiting.remove(0, out.size());
        return out;
    }
    void discardInput() override { waiting.clear(); }

    // Bytes arrive and the layer reports how many are waiting.
    void arrive(const QByteArray& bytes) {
        waiting += bytes;
        emit received(waiting.size());
    }
    void breakLine() {
        close();
        emit lineBreak();
    }
};

} // namespace zorel8z::test
