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
