#include "usb/SerialPort.h"

namespace zorel8z::usb {

QString describePort(const PortDevice& device) {
    QStringList lines;
    if (!device.description.trimmed().isEmpty())
        lines << device.description.trimmed();
    if (!device.manufacturer.trimmed().isEmpty())
        lines << msg::kPortMaker.arg(device.manufacturer.trimmed());
    if (!device.serialNumber.trimmed().isEmpty())
        lines << msg::kPortSerial.arg(device.serialNumber.trimmed());
    if (device.vendorId && device.productId) {
        const auto hex = [](quint16 id) { return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')); };
        lines << msg::kPortUsbId.arg(hex(*device.vendorId), hex(*device.productId));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace zorel8z::usb
