// The read and write commands over the real Qt serial port against the simulated panel on a pty,
// with short timer intervals. Waits are bounded; nothing is judged by speed.
#include "model/FrameCodec.h"
#include "sim/PanelSim.h"
#include "sim/PtyClient.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"
#include "usb/CommandWatchdog.h"
#include "usb/QtSerialPort.h"
#include "usb/UsbCommands.h"

#include <gtest/gtest.h>

using namespace zorel8z;
using model::PageMark;
using model::PanelConfig;

namespace {

struct Link {
    explicit Link(const sim::PanelFaults& faults = {}) {
        test::ensureApp();
        panel.setConfig(test::RandomConfig(11).next());
        panel.setSerialNumber(12345);
        panel.setFirmwareByte(6);
        panel.setFaults(faults);
        EXPECT_TRUE(panel.open()) << panel.errorString().toStdString();
        port.setPortName(panel.devicePath());
        commands.choosePort(panel.devicePath());
    }
    bool idle() const { return state.commandsEnabled; }
    bool waitIdle() {
        return test::waitUntil([this] { return idle(); }, 30000);
    }

    sim::PanelSim panel;
    PanelConfig cfg;
    rules::EditorState state;
    usb::QtSerialPort port;
    test::RecordingUi ui;
    usb::CommandWatchdog watchdog{state, ui, 8000};
    usb::UsbCommands commands{cfg, state, port, ui, watchdog, usb::UsbTimings{4000, 8000}};
};

PanelConfig writable() {
    PanelConfig c = test::RandomConfig(21).next();
    for (int k = 0; k < model::kUserCount; ++k) {
        c.users[size_t(k)].group = QStringLiteral("1");
        c.users[size_t(k)].password = k == 0 ? QStringLiteral("1234") : QStringLiteral("0000");
    }
    for (auto& z : c.lines)
        z = {1, 0, 0};
    c.Set1 = {};
    c.Set2 = {};
    c.numPPK = 77;
    c.pwd = QStringLiteral("123456");
    c.apn = QStringLiteral("internet");
    c.apn2 = QStringLiteral("internet");
    c.PwdLev1 = QStringLiteral("12345");
    c.serverPort = 5001;
    c.redPort = 5002;
    c.serverIP = QStringLiteral("010.000.000.001");
    c.redIP = QStringLiteral("010.000.000.002");
    for (auto& code : c.UVICode)
        code = model::kEmptyKeyCode;
    return c;
}

} // namespace

TEST(UsbLink, ReadsWholeFramesHoweverTheyArrive) {
    sim::PanelFaults pieces;
    pieces.pieceSize = 100;
    pieces.pieceGapMs = 20;
    sim::PanelFaults paced;
    paced.paced = true;
    sim::PanelFaults tail;
    tail.tail = 7;
    const struct {
        const char* name;
        sim::PanelFaults faults;
    } cases[] = {{"one burst", {}}, {"pieces", pieces}, {"paced", paced}, {"stale tail", tail}};
    for (const auto& c : cases) {
        Link link(c.faults);
        // Twice: a tail left by the first reply must not corrupt the second read.
        for (int round = 0; round < 2; ++round) {
            link.cfg = PanelConfig();
            link.commands.readCommand();
            ASSERT_TRUE(link.waitIdle()) << c.name;
            EXPECT_TRUE(link.ui.texts().isEmpty()) << c.name << " " << link.ui.texts().join(QLatin1Char('|')).toStdString();
            EXPECT_TRUE(link.cfg.sameSettings(link.panel.config())) << c.name << " round " << round;
            EXPECT_EQ(link.cfg.serialNumber, QStringLiteral("00012345")) << c.name;
            EXPECT_EQ(link.cfg.firmwareVersion, QStringLiteral("7")) << c.name;
            for (auto m : link.state.marks)
                EXPECT_EQ(m, PageMark::Synced);
        }
    }
}

TEST(UsbLink, WriteIsAcknowledgedAndKept) {
    Link link;
    link.cfg = writable();
    link.commands.writeCommand();
    ASSERT_TRUE(link.waitIdle());
    EXPECT_EQ(link.ui.texts(), QStringList{QStringLiteral("Конфігурація записана успішно")});
    EXPECT_TRUE(link.panel.config().sameSettings(link.cfg));
    EXPECT_EQ(link.panel.acceptedWrites(), 1);
}

TEST(UsbLink, FailuresAreReported) {
    sim::PanelFaults silent;
    silent.silent = true;
    sim::PanelFaults shortReply;
    shortReply.shortReply = 500;
    sim::PanelFaults broken;
    broken.brokenBlock = 3;
    sim::PanelFaults hangUp;
    hangUp.hangUpAfter = 300;
    const struct {
        const char* name;
        sim::PanelFaults faults;
        const char* firstMessage;
    } cases[] = {
        {"silence", silent, "Не має доступу до ППК через порт: "},
        {"short reply", shortReply, "Повторіть спробу зчитування! Код помилки : 500"},
        {"broken block", broken, "Помилковий формат конфігурації!"},
        {"hang-up", hangUp, "Розірвано підключення по USB"},
    };
    for (const auto& c : cases) {
        Link link(c.faults);
        const PanelConfig before = link.cfg;
        link.commands.readCommand();
        ASSERT_TRUE(test::waitUntil([&] { return !link.ui.texts().isEmpty() && link.idle(); }, 30000)) << c.name;
        EXPECT_TRUE(link.ui.texts()[0].startsWith(QString::fromUtf8(c.firstMessage)))
            << c.name << ": " << link.ui.texts()[0].toStdString();
        EXPECT_EQ(link.cfg, before) << c.name;
    }
}

TEST(UsbLink, NoAcknowledgementEndsWithTheWatchdog) {
    sim::PanelFaults noAck;
    noAck.noAck = true;
    Link link(noAck);
    link.cfg = writable();
    link.commands.writeCommand();
    ASSERT_TRUE(test::waitUntil([&] { return !link.ui.texts().isEmpty(); }, 30000));
    EXPECT_EQ(link.ui.texts(), QStringList{QStringLiteral("ППК не відповідає! Повторіть спробу!")});
    EXPECT_TRUE(link.idle());
    EXPECT_FALSE(link.state.progressVisible);
    for (auto m : link.state.marks)
        EXPECT_EQ(m, PageMark::None);
}

TEST(UsbLink, CrLfInTheTrailerDoesNotCutTheFrame) {
    // Serial number 2573 puts CR LF at 951..952. Delivered up to there, then after a pause shorter than
    // the quiet time, the frame must still be read whole: the redundant block lies after it.
    for (int splitAt : {952, 960}) {
        sim::PanelFaults split;
        split.splitAt = {splitAt};
        split.splitGapMs = 20;
        Link link(split);
        link.panel.setSerialNumber(2573);
        PanelConfig held = link.panel.config();
        held.redIP = QStringLiteral("010.020.030.040");
        held.redPort = 12345;
        link.panel.setConfig(held);
        // Twice: what the first read left behind must not spoil the second.
        for (int round = 0; round < 2; ++round) {
            link.cfg = PanelConfig();
            link.commands.readCommand();
            ASSERT_TRUE(link.waitIdle()) << splitAt;
            EXPECT_TRUE(link.ui.texts().isEmpty())
                << splitAt << " " << link.ui.texts().join(QLatin1Char('|')).toStdString();
            EXPECT_EQ(link.commands.receivedText().size(), 999) << splitAt << " round " << round;
            EXPECT_EQ(link.cfg.serialNumber, QStringLiteral("0002573")) << splitAt;
            EXPECT_EQ(link.cfg.redIP, held.redIP) << splitAt << " round " << round;
            EXPECT_EQ(link.cfg.redPort, held.redPort) << splitAt << " round " << round;
            EXPECT_TRUE(link.cfg.sameSettings(held)) << splitAt << " round " << round;
            EXPECT_EQ(link.port.bytesWaiting(), 0) << splitAt;
        }
    }
}
