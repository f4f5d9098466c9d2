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
