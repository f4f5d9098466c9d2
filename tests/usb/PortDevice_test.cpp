// What a port list's tooltip says of the device behind a port.
#include "support/Printers.h"
#include "usb/SerialPort.h"

#include <gtest/gtest.h>

using namespace zorel8z;

TEST(PortDevice, SaysWhatIsKnownOneFactALine) {
    const struct {
        const char* name;
        usb::PortDevice device;
        QString text;
    } cases[] = {
        {"nothing known", {}, QString()},
        {"blanks only",
         {QStringLiteral("  "), QStringLiteral(" "), QString(), std::nullopt, std::nullopt},
         QString()},
        {"an adapter in full",
         {QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"), QStringLiteral("A50285BI"), 0x0403,
          0x6001},
         QStringLiteral(
             "FT232R USB UART\nВиробник: FTDI\nСерійний номер: A50285BI\nІдентифікатор USB: 0403:6001")},
        {"maker and small ids",
         {QString(), QStringLiteral(" Prolific Technology Inc. "), QString(), 0x067b, 0x0023},
         QStringLiteral("Виробник: Prolific Technology Inc.\nІдентифікатор USB: 067b:0023")},
        {"vendor without product",
         {QStringLiteral("ttyACM"), QString(), QString(), 0x1a86, std::nullopt},
         QStringLiteral("ttyACM")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(usb::describePort(c.device), c.text) << c.name;
}

TEST(PortDevice, WindowsPortNamesAndInstanceIds) {
    for (const char* name : {"COM1", "com5", "COM256"})
        EXPECT_TRUE(usb::isComPortName(QString::fromLatin1(name))) << name;
    for (const char* name : {"", "COM", "COMX", "COM1a", " COM1", "LPT1", "\\\\.\\COM3", "COM-1"})
        EXPECT_FALSE(usb::isComPortName(QString::fromLatin1(name))) << name;

    const struct {
        const char* id;
        std::optional<quint16> vendor;
        std::optional<quint16> product;
        QString serial;
    } cases[] = {
        {"USB\\VID_0403&PID_6001\\A50285BI", 0x0403, 0x6001, QStringLiteral("A50285BI")},
        {"usb\\vid_067b&pid_2303\\5&2C1A3F7&0&2", 0x067b, 0x2303, QString()},
        {"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000", 0x0403, 0x6001, QStringLiteral("0000")},
        {"USB\\VID_1A86&PID_7523&MI_00\\6&1B2C3D4&0&0000", 0x1a86, 0x7523, QString()},
        {"ACPI\\PNP0501\\1", std::nullopt, std::nullopt, QString()},
        {"USB\\VID_04G3&PID_6001\\X", std::nullopt, std::nullopt, QString()},
        {"USB\\VID_0403&PID_60\\X", std::nullopt, std::nullopt, QString()},
        {"USB\\PID_6001&VID_0403\\X", std::nullopt, std::nullopt, QString()},
        {"", std::nullopt, std::nullopt, QString()},
    };
    for (const auto& c : cases) {
        usb::PortDevice device;
        usb::readInstanceId(QString::fromLatin1(c.id), device);
        EXPECT_EQ(device.vendorId, c.vendor) << c.id;
        EXPECT_EQ(device.productId, c.product) << c.id;
        EXPECT_EQ(device.serialNumber, c.serial) << c.id;
    }
}
