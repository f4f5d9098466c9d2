// One command watchdog for both links: a USB read ended by its delay check on a silent port, then a
// remote read a few seconds later over libcurl to the simulated station. The remote read must end
// with its block, not with "no answer" from a watchdog the USB read left behind. Short timers; every
// wait is bounded and nothing is judged by speed.
#include "remote/CurlHttpClient.h"
#include "remote/RemoteCommands.h"
#include "rules/RulesSupport.h"
#include "sim/PanelSim.h"
#include "sim/PtyClient.h"
#include "sim/StationSim.h"
#include "support/RandomConfig.h"
#include "usb/CommandWatchdog.h"
#include "usb/QtSerialPort.h"
#include "usb/UsbCommands.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace zorel8z;
using model::PageMark;
using model::PanelConfig;
using rules::Page;

namespace {

constexpr int kWatchdogMs = 3000;
constexpr int kDelayCheckMs = 100;
// How long after the USB read's end the user switches to Internet and reads.
constexpr int kPauseMs = 1000;

} // namespace

TEST(OneWatchdog, UsbReadEndedByTheDelayCheckLeavesNothingForALaterRemoteRead) {
    test::ensureApp();
    sim::PanelSim panel;
    sim::PanelFaults silent;
    silent.silent = true;
    panel.setFaults(silent);
    ASSERT_TRUE(panel.open()) << panel.errorString().toStdString();

    sim::StationSim station;
    const PanelConfig held = test::RandomConfig(19).next();
    station.addPanel(57, QStringLiteral("123456"), held);
    sim::StationFaults waiting;
    waiting.noDataReplies = 0;
    waiting.noDataForever = true; // until the test lets the block through
    station.setFaults(waiting);
    ASSERT_TRUE(station.start()) << station.errorString().toStdString();

    PanelConfig cfg = test::rules::validConfig();
    rules::EditorState state = test::rules::localState();
    test::RecordingUi ui;
    usb::QtSerialPort port;
    remote::CurlHttpClient http;
    usb::CommandWatchdog watchdog(state, ui, kWatchdogMs);
    usb::UsbCommands usbCommands(cfg, state, port, ui, watchdog, usb::UsbTimings{kDelayCheckMs, kWatchdogMs});
    remote::RemoteTimings timings;
    timings.pollMs = 100;
    remote::RemoteCommands remoteCommands(cfg, state, http, ui, watchdog, timings);
    int pagesFilled = 0;
    QObject::connect(&remoteCommands, &remote::RemoteCommands::pageFilled, [&] { ++pagesFilled; });
    usbCommands.choosePort(panel.devicePath());

    // The USB read on a silent port: the delay check ends it.
    QElapsedTimer sinceUsbRead;
    sinceUsbRead.start();
    usbCommands.readCommand();
    ASSERT_TRUE(test::waitUntil([&] { return state.commandsEnabled; }, 30000));
    ASSERT_EQ(ui.texts().size(), 1);
    EXPECT_TRUE(ui.texts()[0].startsWith(QStringLiteral("Не має доступу до ППК через порт: ")));

    // A little later, Internet mode and a read of the network block.
    QElapsedTimer pause;
    pause.start();
    ASSERT_TRUE(test::waitUntil([&] { return pause.elapsed() >= kPauseMs; }, 30000));
    state.mode = rules::Mode::Remote;
    state.openPage = Page::Network;
    state.seNumPPK = 57;
    state.edPwd = QStringLiteral("123456");
    state.seRemoteServerPort = station.port();
    QElapsedTimer sinceRemoteRead;
    sinceRemoteRead.start();
    remoteCommands.readCommand();
    ASSERT_FALSE(state.commandsEnabled);

    // Past the time at which the USB read's watchdog would have fired, the remote read still polls.
    ASSERT_TRUE(test::waitUntil([&] { return sinceUsbRead.elapsed() > kWatchdogMs + 300; }, 30000));
    const bool stillReading = !state.commandsEnabled && remoteCommands.busy();
    const bool ownTimeLeft = sinceRemoteRead.elapsed() < kWatchdogMs - 300;
    EXPECT_EQ(ui.texts().size(), 1) << ui.texts().join(QLatin1Char('|')).toStdString();
    if (!ownTimeLeft)
        GTEST_SKIP() << "the machine was too slow to tell the two watchdogs apart";
    EXPECT_TRUE(stillReading);

    // The block comes now, within the remote read's own time.
    station.setFaults(sim::StationFaults{});
    ASSERT_TRUE(test::waitUntil([&] { return !remoteCommands.busy(); }, 30000));
    EXPECT_EQ(pagesFilled, 1);
    EXPECT_EQ(state.mark(Page::Network), PageMark::Synced);
    EXPECT_EQ(cfg.apn, held.apn);
    for (const QString& text : ui.texts())
        EXPECT_NE(text, QStringLiteral("ППК не відповідає! Повторіть спробу!"));
    EXPECT_EQ(ui.texts().size(), 1) << ui.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(watchdog.isActive());
}
