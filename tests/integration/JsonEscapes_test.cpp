// A "\u" escape in a received value reads as the one character it names: in a frame from the panel
// (real Qt serial port over a pty), in a configuration file, and in a block from the station (libcurl
// over loopback). A character the frame cannot carry then stops the next write or save.
#include "model/ConfigFile.h"
#include "remote/CurlHttpClient.h"
#include "remote/RemoteCommands.h"
#include "rules/RulesSupport.h"
#include "rules/Sequences.h"
#include "sim/PanelSim.h"
#include "sim/PtyClient.h"
#include "sim/StationSim.h"
#include "support/RandomConfig.h"
#include "usb/CommandWatchdog.h"
#include "usb/QtSerialPort.h"
#include "usb/UsbCommands.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zorel8z;
using model::PanelConfig;
using test::rules::U;

namespace {

const char* const kBadApn = "Недопустимий символ в APN!";

const controller::TController ctl;

// "intern" + \u00e9 + "t" as the panel's frame carries it: the escape itself, six characters.
const QString kEscapedApn = QStringLiteral("intern\\u00e9t");
const QString kApnRead = QStringLiteral("intern") + QChar(0xE9) + QStringLiteral("t");

} // namespace

TEST(JsonEscapes, InAFrameFromThePanel) {
    test::ensureApp();
    sim::PanelSim panel;
    PanelConfig held = test::rules::validConfig();
    held.apn = kEscapedApn;
    panel.setConfig(held);
    ASSERT_TRUE(panel.open()) << panel.errorString().toStdString();

    PanelConfig cfg;
    rules::EditorState state = test::rules::localState();
    usb::QtSerialPort port;
    test::RecordingUi ui;
    usb::CommandWatchdog watchdog(state, ui, 8000);
    usb::UsbCommands commands(cfg, state, port, ui, watchdog);
    commands.choosePort(panel.devicePath());

    commands.readCommand();
    ASSERT_TRUE(test::waitUntil([&] { return state.commandsEnabled; }, 30000));
    EXPECT_TRUE(ui.texts().isEmpty()) << ui.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(cfg.apn, kApnRead);
    EXPECT_EQ(cfg.apn2, held.apn2);

    // The next write stops before anything goes out, and says why.
    commands.writeCommand();
    EXPECT_EQ(ui.texts(), QStringList{U(kBadApn)});
    EXPECT_TRUE(state.commandsEnabled);
    test::spin(200);
    EXPECT_EQ(panel.writeFrames(), 0);

    // Corrected, it goes.
    cfg.apn = QStringLiteral("internet");
    commands.writeCommand();
    ASSERT_TRUE(test::waitUntil([&] { return state.commandsEnabled; }, 30000));
    EXPECT_EQ(ui.texts().last(), QStringLiteral("Конфігурація записана успішно"));
    EXPECT_EQ(panel.config().apn, QStringLiteral("internet"));
}

TEST(JsonEscapes, InAConfigurationFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("escaped.c8z"));
    PanelConfig written = test::rules::validConfig();
    written.apn2 = kEscapedApn;
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(model::configFileContent(ctl, written));
    }
    PanelConfig cfg;
    test::RecordingUi ui;
    ASSERT_TRUE(model::openConfigFile(ctl, path, cfg, ui)) << ui.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(cfg.apn2, kApnRead);

    const rules::EditorState state = test::rules::localState();
    EXPECT_EQ(rules::saveSequence(cfg, state, ui), rules::Verdict::Stop);
    EXPECT_EQ(ui.texts(), QStringList{U(kBadApn)});
}

TEST(JsonEscapes, InABlockFromTheStation) {
    test::ensureApp();
    sim::StationSim station;
    station.addPanel(57, QStringLiteral("123456"), test::rules::validConfig());
    sim::StationFaults faults;
    faults.noDataReplies = 0;
    faults.blockText = "{\"n\":\"57\",\"a\":\"\\u0456nternet\",\"i\":\"001.002.003.004\",\"p\":\"5001\","
                       "\"q\":\"internet2\",\"r\":\"\"}";
    station.setFaults(faults);
    ASSERT_TRUE(station.start()) << station.errorString().toStdString();

    PanelConfig cfg = test::rules::validConfig();
    rules::EditorState state = test::rules::remoteState(rules::Page::Network);
    state.seRemoteServerPort = station.port();
    remote::CurlHttpClient http;
    test::RecordingUi ui;
    usb::CommandWatchdog watchdog(state, ui, 20000);
    remote::RemoteTimings timings;
    timings.pollMs = 20;
    remote::RemoteCommands commands(cfg, state, http, ui, watchdog, timings);
    int ended = 0;
    QObject::connect(&commands, &remote::RemoteCommands::commandEnded, [&] { ++ended; });

    commands.readCommand();
    ASSERT_TRUE(test::waitUntil([&] { return ended == 1; }, 30000));
    EXPECT_TRUE(ui.texts().isEmpty()) << ui.texts().join(QLatin1Char('|')).toStdString();
    // Shown as the one Cyrillic letter, not as the two bytes of its UTF-8 form.
    EXPECT_EQ(cfg.apn, QChar(0x0456) + QStringLiteral("nternet"));
    EXPECT_EQ(cfg.serverIP, QStringLiteral("001.002.003.004"));

    // Writing the block back stops before any request; so do a local write and a save.
    station.clearRequests();
    commands.writeCommand();
    EXPECT_EQ(ended, 2);
    EXPECT_EQ(ui.texts(), QStringList{U(kBadApn)});
    test::spin(200);
    EXPECT_TRUE(station.requests().empty());

    state.mode = rules::Mode::Local;
    state.portSelected = true;
    test::RecordingUi local;
    EXPECT_EQ(rules::writeSequence(cfg, state, local), rules::Verdict::Stop);
    EXPECT_EQ(rules::saveSequence(cfg, state, local), rules::Verdict::Stop);
    EXPECT_EQ(local.texts(), (QStringList{U(kBadApn), U(kBadApn)}));
}
