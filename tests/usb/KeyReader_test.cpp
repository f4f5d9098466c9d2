#include "support/FakeSerialPort.h"
#include "support/Printers.h"
#include "support/RecordingUi.h"
#include "usb/KeyReader.h"

#include <gtest/gtest.h>

using namespace zorel8z;

namespace {
struct Fixture {
    model::PanelConfig cfg;
    rules::EditorState state;
    test::FakeSerialPort reader;
    test::FakeSerialPort panel;
    test::RecordingUi ui;
    usb::KeyReader keys{cfg, state, reader, panel, ui};
};
} // namespace

TEST(KeyReader, ToggleTakesThePortFromThePanel) {
    Fixture f;
    f.panel.open();
    EXPECT_EQ(f.keys.toggleCaption(), QStringLiteral("Почати зчитування"));
    f.keys.setReading(true);
    EXPECT_FALSE(f.panel.isOpen());
    EXPECT_TRUE(f.reader.isOpen());
    EXPECT_FALSE(f.state.commandsEnabled);
    EXPECT_EQ(f.keys.toggleCaption(), QStringLiteral("Закінчити зчитування"));
    f.keys.pageLeft();
    EXPECT_FALSE(f.keys.reading());
    EXPECT_FALSE(f.reader.isOpen());
    EXPECT_TRUE(f.state.commandsEnabled);
    EXPECT_TRUE(f.reader.writes.isEmpty()); // the reader is only listened to
}

TEST(KeyReader, BurstsBecomeCodesOfTheChosenUser) {
    const struct {
        const char* name;
        QList<QByteArray> bursts;
        const char* code; // nullptr: refused
    } cases[] = {
        {"one burst", {"01A2B3C4D5E6F701"}, "01A2B3C4D5E6F701"},
        {"two halves", {"01A2B3C4", "D5E6F701"}, "01A2B3C4D5E6F701"},
        {"with CR LF", {"01a2b3c4d5e6f701\r\n"}, "01A2B3C4D5E6F701"},
        {"too long", {"01A2B3C4D5E6F7010"}, nullptr},
        {"not hexadecimal", {"01A2B3C4D5E6F7ZZ"}, nullptr},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.state.readerUser = 7;
        f.state.setAllMarks(model::PageMark::Synced);
        f.keys.setReading(true);
        for (const QByteArray& b : c.bursts)
            f.reader.arrive(b);
        if (c.code) {
            EXPECT_EQ(f.cfg.UVICode[6], QString::fromLatin1(c.code)) << c.name;
            EXPECT_EQ(f.state.mark(rules::Page::Keys), model::PageMark::Edited) << c.name;
            EXPECT_TRUE(f.ui.texts().isEmpty()) << c.name;
        } else {
            EXPECT_EQ(f.cfg.UVICode[6], model::kEmptyKeyCode) << c.name;
            EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("Невірний формат коду!")}) << c.name;
        }
    }
}

// Devices come and go under the reader list: a chosen reader port still there stays chosen, open while
// reading; otherwise the list is made as the refresh button makes it.
TEST(KeyReader, DevicesChangedKeepsTheChosenPortElseActsAsTheRefreshButton) {
    const struct {
        const char* name;
        const char* present; // names separated by blanks
        bool kept;
    } cases[] = {
        {"chosen port still there", "COM1 COM5", true},
        {"chosen port gone", "COM1 COM4", false},
        {"every port gone", "", false},
    };
    for (const auto& c : cases) {
        const QStringList present =
            QString::fromLatin1(c.present).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        Fixture f;
        Fixture button;
        for (Fixture* x : {&f, &button}) {
            x->keys.choosePort(QStringLiteral("COM5"));
            x->keys.setReading(true);
            x->reader.ports = present;
        }
        EXPECT_EQ(f.keys.devicesChanged(), present) << c.name;
        if (c.kept) {
            EXPECT_EQ(f.reader.portName(), QStringLiteral("COM5")) << c.name;
            EXPECT_TRUE(f.reader.isOpen()) << c.name;
            EXPECT_TRUE(f.keys.portChosen()) << c.name;
            continue;
        }
        EXPECT_EQ(button.keys.refreshPorts(), present) << c.name;
        EXPECT_EQ(f.reader.portName(), button.reader.portName()) << c.name;
        EXPECT_EQ(f.keys.portChosen(), !present.isEmpty()) << c.name;
        EXPECT_FALSE(f.reader.isOpen()) << c.name;
        EXPECT_TRUE(f.keys.reading()) << c.name; // the toggle stays down, as after the button
    }
    // Nothing was ever chosen: a port that appears under the old name is not taken as chosen.
    Fixture f;
    f.reader.ports = {QStringLiteral("COM0"), QStringLiteral("COM1")};
    EXPECT_EQ(f.keys.devicesChanged(), f.reader.ports);
    EXPECT_EQ(f.reader.portName(), QStringLiteral("COM0"));
}
