// Reading the panel into a copy, and the check after a write, over an in-memory serial port.
#include "model/FrameCodec.h"
#include "rules/RulesSupport.h"
#include "sim/PanelSim.h"
#include "sim/PtyClient.h"
#include "support/FakeSerialPort.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"
#include "usb/CommandWatchdog.h"
#include "usb/PanelReader.h"
#include "usb/WriteVerifier.h"

#include <gtest/gtest.h>
#include <optional>

using namespace zorel8z;
using model::PageMark;
using model::PanelConfig;
using usb::PanelRead;

namespace {

const QByteArray kRequest("@\r\n");
const QByteArray kAck("-<\r\n");

struct Fixture {
    explicit Fixture(usb::UsbTimings timings = {})
        : watchdog(state, ui, timings.watchdogMs), commands(cfg, state, port, ui, watchdog, timings) {
        test::ensureApp();
        commands.choosePort(QStringLiteral("COM3"));
        state.setAllMarks(PageMark::Synced);
    }
    PanelConfig cfg;
    rules::EditorState state;
    test::FakeSerialPort port;
    test::RecordingUi ui;
    usb::CommandWatchdog watchdog;
    usb::UsbCommands commands;
};

// Collects the one result of a reader.
struct Result {
    explicit Result(usb::PanelReader& reader) {
        QObject::connect(&reader, &usb::PanelReader::finished, [this](const PanelRead& r) { got = r; });
    }
    bool wait() {
        return test::waitUntil([this] { return got.has_value(); });
    }
    std::optional<PanelRead> got;
};

} // namespace

TEST(PanelReader, ReadsIntoACopyAndLeavesTheWindowAlone) {
    Fixture f;
    const PanelConfig before = f.cfg;
    const PanelConfig panel = test::RandomConfig(9).next();
    usb::PanelReader reader(f.port, &f.commands, 5000);
    Result result(reader);
    reader.start();
    EXPECT_EQ(f.port.writes, QByteArrayList{kRequest});
    EXPECT_TRUE(f.commands.dispatchSuspended());
    // A late acknowledgement first: no part of the frame.
    f.port.arrive(kAck);
    EXPECT_FALSE(result.got);
    f.port.arrive(sim::PanelSim::frameFor(panel, 4321, 6));
    ASSERT_TRUE(result.got);
    EXPECT_EQ(result.got->outcome, PanelRead::Outcome::Read);
    EXPECT_TRUE(result.got->config.sameSettings(panel));
    EXPECT_EQ(result.got->config.serialNumber, QStringLiteral("0004321"));
    EXPECT_EQ(result.got->config.firmwareVersion, QStringLiteral("7"));
    EXPECT_EQ(result.got->bytes.size(), 999);
    // The window's record, marks and messages are untouched; the port was closed and is again.
    EXPECT_EQ(f.cfg, before);
    for (PageMark m : f.state.marks)
        EXPECT_EQ(m, PageMark::Synced);
    EXPECT_TRUE(f.ui.texts().isEmpty());
    EXPECT_FALSE(f.port.isOpen());
    EXPECT_FALSE(f.commands.dispatchSuspended());
    // Afterwards a frame is the window's again.
    f.port.open();
    f.port.arrive(sim::PanelSim::frameFor(panel, 1, 0));
    EXPECT_TRUE(f.cfg.sameSettings(panel));
}

TEST(PanelReader, SaysHowAReadFailed) {
    const PanelConfig panel = test::rules::validConfig();
    const QByteArray frame = sim::PanelSim::frameFor(panel, 0, 0);
    const struct {
        const char* name;
        QByteArray reply;
        bool failOpen;
        PanelRead::Outcome outcome;
        int bytes;
        QString message;
    } cases[] = {
        {"nothing", {}, false, PanelRead::Outcome::NoAnswer, 0, {}},
        {"short", frame.left(500), false, PanelRead::Outcome::NotAFrame, 500, {}},
        {"broken block", sim::PanelSim::breakBlock(frame, 2), false, PanelRead::Outcome::BadFrame, 999,
         QStringLiteral("Помилковий формат конфігурації!")},
        {"cannot open", {}, true, PanelRead::Outcome::PortError, 0, QStringLiteral("cannot open COM3")},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.port.failOpen = c.failOpen;
        usb::PanelReader reader(f.port, &f.commands, 100);
        Result result(reader);
        reader.start();
        if (!c.reply.isEmpty())
            f.port.arrive(c.reply);
        ASSERT_TRUE(result.wait()) << c.name;
        EXPECT_EQ(result.got->outcome, c.outcome) << c.name;
        EXPECT_EQ(result.got->bytes.size(), c.bytes) << c.name;
        EXPECT_EQ(result.got->message, c.message) << c.name;
        EXPECT_FALSE(f.commands.dispatchSuspended()) << c.name;
        EXPECT_FALSE(f.port.isOpen()) << c.name;
        EXPECT_EQ(f.cfg, PanelConfig()) << c.name;
    }
}

TEST(PanelReader, AnOpenPortStaysOpen) {
    Fixture f;
    f.port.open();
    usb::PanelReader reader(f.port, nullptr, 5000);
    Result result(reader);
    reader.start();
    f.port.arrive(sim::PanelSim::frameFor(PanelConfig(), 0, 0));
    ASSERT_TRUE(result.got);
    EXPECT_TRUE(f.port.isOpen());
}

TEST(WriteVerifier, ReadsBackAndConfirms) {
    Fixture f;
    f.cfg = test::rules::validConfig();
    f.state.portSelected = true;
    usb::WriteVerifier verifier(f.commands, f.state, f.ui, 5000);
    verifier.writeCommand();
    ASSERT_EQ(f.port.writes.size(), 1);
    const QByteArray written = f.port.writes[0];
    f.port.arrive(kAck);
    // Acknowledged: the panel is asked for what it now holds, the commands stay taken meanwhile.
    ASSERT_EQ(f.port.writes.size(), 2);
    EXPECT_EQ(f.port.writes[1], kRequest);
    EXPECT_FALSE(f.state.commandsEnabled);
    EXPECT_TRUE(verifier.verifying());
    EXPECT_TRUE(f.ui.texts().isEmpty());
    f.port.arrive(written.mid(2));
    EXPECT_EQ(f.ui.texts(), (QStringList{QStringLiteral("Конфігурація записана успішно"),
                                         QStringLiteral("Записане перевірено.")}));
    EXPECT_TRUE(f.state.commandsEnabled);
    EXPECT_FALSE(f.state.progressVisible);
    EXPECT_EQ(verifier.last().outcome, usb::Verification::Outcome::Verified);
    for (PageMark m : f.state.marks)
        EXPECT_EQ(m, PageMark::Synced);
    // The window keeps its own record.
    EXPECT_TRUE(f.cfg.serialNumber.isEmpty());
}

TEST(WriteVerifier, ListsWhatThePanelHoldsOtherwise) {
    Fixture f;
    f.cfg = test::rules::validConfig();
    f.state.portSelected = true;
    usb::WriteVerifier verifier(f.commands, f.state, f.ui, 5000);
    verifier.writeCommand();
    f.port.arrive(kAck);
    PanelConfig held = sim::PanelSim::alteredWrite(f.cfg);
    held.lines[2].type = 1;
    f.port.arrive(sim::PanelSim::frameFor(held, 0, 0));
    EXPECT_EQ(f.ui.texts(),
              QStringList{QStringLiteral("Записане відрізняється від зчитаного з ППК (записано → у ППК):\r\n"
                                         "Шлейфи\r\n"
                                         "  Шлейф 3: Тип шлейфу  Нормальний → Цілодобовий\r\n"
                                         "Параметри ППК\r\n"
                                         "  Час затримки на вхід/вихід груп 1-4 :  30 с → 31 с")});
    EXPECT_EQ(f.ui.messages[0].first, MsgIcon::Error);
    EXPECT_EQ(verifier.last().outcome, usb::Verification::Outcome::Differs);
    // The pages the panel does not hold as written lose their mark.
    EXPECT_EQ(f.state.mark(rules::Page::Zones), PageMark::None);
    EXPECT_EQ(f.state.mark(rules::Page::Params), PageMark::None);
    EXPECT_EQ(f.state.mark(rules::Page::Network), PageMark::Synced);
    EXPECT_EQ(f.state.mark(rules::Page::Users), PageMark::Synced);
    EXPECT_TRUE(f.state.commandsEnabled);
}

TEST(WriteVerifier, SaysWhenThePanelCannotBeReadBack) {
    Fixture f;
    f.cfg = test::rules::validConfig();
    f.state.portSelected = true;
    usb::WriteVerifier verifier(f.commands, f.state, f.ui, 100);
    verifier.writeCommand();
    f.port.arrive(kAck);
    ASSERT_TRUE(test::waitUntil([&] { return f.state.commandsEnabled; }));
    EXPECT_EQ(f.ui.texts(),
              (QStringList{QStringLiteral("Конфігурація записана успішно"),
                           QStringLiteral("Записане не перевірено: ППК не відповів на запит зчитування.")}));
    EXPECT_EQ(verifier.last().outcome, usb::Verification::Outcome::NotRead);
}

TEST(WriteVerifier, OffOrRefusedItIsThePlainWrite) {
    {
        Fixture f;
        f.cfg = test::rules::validConfig();
        f.state.portSelected = true;
        usb::WriteVerifier verifier(f.commands, f.state, f.ui, 5000);
        verifier.setEnabled(false);
        verifier.writeCommand();
        f.port.arrive(kAck);
        EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("Конфігурація записана успішно")});
        EXPECT_EQ(f.port.writes.size(), 1);
    }
    {
        // A write the checks refuse sends nothing and leaves no deferred message behind.
        Fixture f;
        f.state.portSelected = true;
        usb::WriteVerifier verifier(f.commands, f.state, f.ui, 5000);
        verifier.writeCommand();
        EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("Введіть номер ППК на ПЦС, відмінний від нуля!")});
        EXPECT_TRUE(f.port.writes.isEmpty());
        f.ui.messages.clear();
        f.cfg = test::rules::validConfig();
        f.commands.writeCommand();
        f.port.arrive(kAck);
        EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("Конфігурація записана успішно")});
    }
}

TEST(WriteVerifier, AnAcknowledgementAfterTheWatchdogIsThePlainSuccess) {
    Fixture f(usb::UsbTimings{4000, 50});
    f.cfg = test::rules::validConfig();
    f.state.portSelected = true;
    usb::WriteVerifier verifier(f.commands, f.state, f.ui, 5000);
    verifier.writeCommand();
    ASSERT_TRUE(test::waitUntil([&] { return f.state.commandsEnabled; }));
    EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("ППК не відповідає! Повторіть спробу!")});
    f.port.arrive(kAck);
    EXPECT_EQ(f.ui.texts(), (QStringList{QStringLiteral("ППК не відповідає! Повторіть спробу!"),
                                         QStringLiteral("Конфігурація записана успішно")}));
    EXPECT_EQ(f.port.writes.size(), 1);
}
