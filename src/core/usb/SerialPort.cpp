#include "usb/SerialPort.h"

#include <algorithm>

namespace zorel8z::usb {

bool isComPortName(const QString& name) {
    if (name.size() < 4 || !name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return false;
    for (qsizetype i = 3; i < name.size(); ++i)
        if (name[i] < QLatin1Char('0') || name[i] > QLatin1Char('9'))
            return false;
    return true;
}

namespace {

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// The four hex digits right after `tag` in `text`, searched from `at`, which then points past them.
std::optional<quint16> hexAfter(const QString& text, QLatin1String tag, qsizetype& at) {
    const qsizetype start = text.indexOf(tag, at, Qt::CaseInsensitive);
    if (start < 0)
        return std::nullopt;
    const QString digits = text.mid(start + tag.size(), 4);
    if (digits.size() != 4 || !std::all_of(digits.cbegin(), digits.cend(), isHexDigit))
        return std::nullopt;
    at = start + tag.size() + 4;
    return quint16(digits.toUShort(nullptr, 16));
}

} // namespace

void readInstanceId(const QString& instanceId, PortDevice& device) {
    const QStringList parts = instanceId.split(QLatin1Char('\\'));
    const QString ids = parts.value(1);
    qsizetype at = 0;
    const std::optional<quint16> vendor = hexAfter(ids, QLatin1String("VID_"), at);
    if (!vendor)
        return;
    const std::optional<quint16> product = hexAfter(ids, QLatin1String("PID_"), at);
    if (!product)
        return;
    device.vendorId = vendor;
    device.productId = product;
    if (parts.size() > 2 && !parts[2].contains(QLatin1Char('&')))
        device.serialNumber = parts[2];
}

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

// The texts declared in SerialPort.h: defined once here, not in every file that includes it.
namespace zorel8z::usb::msg {

const QString kPortMaker = QStringLiteral("Виробник: %1");
const QString kPortSerial = QStringLiteral("Серійний номер: %1");
const QString kPortUsbId = QStringLiteral("Ідентифікатор USB: %1:%2");

} // namespace zorel8z::usb::msg
