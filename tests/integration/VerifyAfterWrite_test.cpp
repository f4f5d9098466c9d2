// The check after a write over the real Qt serial port against the simulated panel on a pty: it passes
// when the panel keeps what it was sent and fails when it keeps something else.
#include "rules/RulesSupport.h"
#include "sim/PanelSim.h"
#include "sim/PtyClient.h"
#include "support/Printers.h"
#include "support/RecordingUi.h"
#include "usb/CommandWatchdog.h"
#include "usb/QtSerialPort.h"
#include "usb/WriteVerifier.h"

#include <gtest/gtest.h>

using namespace zorel8z;
using model::PageMark;
using model::PanelConfig;

namespace {

struct Link {
    explicit Link(const sim::PanelFaults& faults = {}) {
        test::ensureApp();
        panel.setSerialNumber(4321);
        panel.setFaults(faults);
        EXPECT_TRUE(panel.open()) << panel.errorString().toStdString();
        commands.choosePort(panel.devicePath());
        QObject::connect(&verifier, &usb::WriteVerifier::finished, [this] { ++finished; });
    }
    bool waitFinished() {
        return test::waitUntil([this] { return finished > 0 && state.commandsEnabled; }, 30000);
    }

    sim::PanelSim panel;
    PanelConfig cfg = test::rules::validConfig();
    rules::EditorState state;
    usb::QtSerialPort port;
    test::RecordingUi ui;
    usb::CommandWatchdog watchdog{state, ui, 20000};
    usb::UsbCommands commands{cfg, state, port, ui, watchdog, usb::UsbTimings{4000, 20000}};
    usb::WriteVerifier verifier{commands, state, ui, 4000};
    int finished = 0;
};

} // namespace

TEST(VerifyAfterWrite, PassesWhenThePanelKeepsWhatItWasSent) {
    Link link;
    link.verifier.writeCommand();
    ASSERT_TRUE(link.waitFinished());
    EXPECT_EQ(link.ui.texts(), (QStringList{QStringLiteral("Конфігурація записана успішно"),
                                            QStringLiteral("Записане перевірено.")}));
    EXPECT_EQ(link.verifier.last().outcome, usb::Verification::Outcome::Verified);
    EXPECT_EQ(link.verifier.last().read.config.serialNumber, QStringLiteral("0004321"));
    EXPECT_EQ(link.panel.acceptedWrites(), 1);
    EXPECT_EQ(link.panel.readRequests(), 1);
    for (auto m : link.state.marks)
        EXPECT_EQ(m, PageMark::Synced);
    // The read-back went into a copy: the window's record has no identity from it.
    EXPECT_TRUE(link.cfg.serialNumber.isEmpty());
}

TEST(VerifyAfterWrite, FailsWhenThePanelKeepsSomethingElse) {
    sim::PanelFaults alter;
    alter.alterWrites = true;
    Link link(alter);
    link.verifier.writeCommand();
    ASSERT_TRUE(link.waitFinished());
    ASSERT_EQ(link.ui.texts().size(), 1);
    EXPECT_EQ(link.ui.texts()[0],
              QStringLiteral("Записане відрізняється від зчитаного з ППК (записано → у ППК):\r\n"
                             "Параметри ППК\r\n"
                             "  Час затримки на вхід/вихід груп 1-4 :  30 с → 31 с"));
    EXPECT_EQ(link.verifier.last().outcome, usb::Verification::Outcome::Differs);
    EXPECT_EQ(link.state.mark(rules::Page::Params), PageMark::None);
    EXPECT_EQ(link.state.mark(rules::Page::Zones), PageMark::Synced);
    // The window still shows what the installer wrote.
    EXPECT_EQ(link.cfg.timeDelay, 30);
}

TEST(VerifyAfterWrite, APanelThatStopsAnsweringIsNotVerified) {
    Link link;
    link.verifier.writeCommand();
    // Silent from the acknowledgement on: the read request gets nothing.
    QObject::connect(&link.panel, &sim::PanelSim::writeAccepted, [&link] {
        sim::PanelFaults silent;
        silent.silent = true;
        link.panel.setFaults(silent);
    });
    ASSERT_TRUE(link.waitFinished());
    EXPECT_EQ(link.ui.texts(),
              (QStringList{QStringLiteral("Конфігурація записана успішно"),
                           QStringLiteral("Записане не перевірено: ППК не відповів на запит зчитування.")}));
    EXPECT_EQ(link.verifier.last().outcome, usb::Verification::Outcome::NotRead);
}

// A panel that answers a write with its configuration frame has not acknowledged it: nothing is
// verified, and the next write made without the check (the check turned off) is not taken for one
// still waiting to be verified.
TEST(VerifyAfterWrite, AFrameInsteadOfTheAcknowledgementLeavesNothingPending) {
    sim::PanelFaults frameForAck;
    frameForAck.frameForAck = true;
    Link link(frameForAck);
    link.verifier.writeCommand();
    ASSERT_TRUE(test::waitUntil([&link] { return link.state.commandsEnabled; }, 30000));
    EXPECT_EQ(link.finished, 0);
    EXPECT_EQ(link.panel.readRequests(), 0);

    link.panel.setFaults({});
    link.ui.messages.clear();
    link.verifier.setEnabled(false);
    link.commands.writeCommand();
    ASSERT_TRUE(test::waitUntil([&link] { return link.panel.acceptedWrites() == 2 && link.state.commandsEnabled; },
                                30000));
    EXPECT_EQ(link.ui.texts(), QStringList{QStringLiteral("Конфігурація записана успішно")});
    EXPECT_EQ(link.panel.readRequests(), 0);
    EXPECT_EQ(link.finished, 0);
}
