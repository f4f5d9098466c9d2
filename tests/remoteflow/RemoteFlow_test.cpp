// The remote commands over real HTTP: libcurl against the simulated station on 127.0.0.1.
#include "remote/CurlHttpClient.h"
#include "remote/RemoteCommands.h"
#include "rules/RulesSupport.h"
#include "sim/PtyClient.h"
#include "sim/StationSim.h"
#include "support/RandomConfig.h"

#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace zorel8z;
using model::PageMark;
using model::PanelConfig;
using remote::RemoteCommands;
using rules::Page;
using test::rules::U;

namespace {

const char* const kNoAnswer = "ППК не відповідає! Повторіть спробу!";
const char* const kServerBusy = "Сервер зайнятий! Повторіть спробу пізніше!";
const char* const kNoAccess = "Не має доступу до ППК! Перевірте активацію режима \"Програмування\", пароль і "
                              "зняття всіх груп з охорони!";
const char* const kWritten = "Конфігурація записана успішно";

struct Timings {
    remote::RemoteTimings remote;
    int watchdogMs;
};

// Short polls; the watchdog only bounds a broken case unless a case shortens it.
Timings timings(int watchdogMs = 20000) {
    remote::RemoteTimings t;
    t.pollMs = 20;
    return {t, watchdogMs};
}

int countPath(const sim::StationSim& station, const char* path) {
    int n = 0;
    for (const auto& r : station.requests())
        n += r.target == path;
    return n;
}

struct Flow {
    explicit Flow(Page page, Timings t = timings()) {
        test::ensureApp();
        panel = test::RandomConfig(77).next();
        station.addPanel(57, QStringLiteral("123456"), panel);
        panel = *station.panel(57);
        EXPECT_TRUE(station.start()) << station.errorString().toStdString();
        cfg = test::rules::validConfig();
        state = test::rules::remoteState(page);
        state.seRemoteServerPort = station.port();
        watchdog = std::make_unique<usb::CommandWatchdog>(state, ui, t.watchdogMs);
        commands = std::make_unique<RemoteCommands>(cfg, state, http, ui, *watchdog, t.remote);
        QObject::connect(commands.get(), &RemoteCommands::commandEnded, [this] { ++ended; });
    }

    bool run(void (RemoteCommands::*command)()) {
        const int before = ended;
        (commands.get()->*command)();
        return test::waitUntil([&] { return ended > before; }, 30000);
    }

    sim::StationSim station;
    remote::CurlHttpClient http;
    PanelConfig panel;
    PanelConfig cfg;
    rules::EditorState state;
    test::RecordingUi ui;
    int ended = 0;
    std::unique_ptr<usb::CommandWatchdog> watchdog;
    std::unique_ptr<RemoteCommands> commands;
};

} // namespace

TEST(RemoteFlow, ReadEachBlock) {
    for (int block = 1; block <= 4; ++block) {
        Flow f(Page(block - 1));
        const PanelConfig before = f.cfg;
        ASSERT_TRUE(f.run(&RemoteCommands::readCommand)) << block;
        EXPECT_TRUE(f.ui.texts().isEmpty())
            << block << " " << f.ui.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(f.state.mark(Page(block - 1)), PageMark::Synced) << block;
        EXPECT_GE(countPath(f.station, "/read_config"), 2) << block; // one "no_data", then the block

        PanelConfig expected = before;
        const PanelConfig& p = f.panel;
        switch (block) {
        case 1:
            expected.apn = p.apn;
            expected.apn2 = p.apn2;
            expected.serverIP = p.serverIP;
            expected.serverPort = p.serverPort;
            expected.numPPK = 57;
            break;
        case 2:
            expected.passwordsHidden = true;
            for (int k = 0; k < model::kUserCount; ++k) {
                expected.users[size_t(k)] = {p.users[size_t(k)].group, model::kHiddenPassword};
                expected.hiddenPasswords[size_t(k)] = p.users[size_t(k)].password;
            }
            break;
        case 3:
            expected.lines = p.lines;
            break;
        default:
            expected.PwdLev1 = p.PwdLev1;
            expected.PwdLev2 = p.PwdLev2;
            expected.LowLevelV = p.LowLevelV;
            expected.HiLevelV = p.HiLevelV;
            expected.ppkType = p.ppkType;
            expected.timeDelay = p.timeDelay;
            expected.timeDelay2 = p.timeDelay2;
            expected.UKworkTime = p.UKworkTime;
            expected.UKon = p.UKon;
            expected.UKoff = p.UKoff;
            expected.UKinvert = p.UKinvert;
            expected.Set1 = p.Set1;
            expected.Set2 = p.Set2;
            break;
        }
        EXPECT_EQ(f.cfg, expected) << block;
    }
}

TEST(RemoteFlow, WriteEachBlock) {
    for (int block = 1; block <= 4; ++block) {
        Flow f(Page(block - 1));
        PanelConfig& c = f.cfg;
        c.numPPK = 57;
        switch (block) {
        case 1:
            c.apn = QStringLiteral("flow apn.m2m");
            c.apn2 = QStringLiteral("second");
            c.serverIP = QStringLiteral("10.1.2.3");
            c.serverPort = 6001;
            break;
        case 2:
            c.users[1] = {QStringLiteral("1"), QStringLiteral("4321")};
            c.users[2] = {QStringLiteral("1"), QStringLiteral("5678")};
            break;
        case 3:
            c.lines[1] = {1, 1, 0};
            c.lines[7] = {1, 0, 4};
            break;
        default:
            c.PwdLev1 = QStringLiteral("22222");
            c.timeDelay = 12;
            c.UKon = 7;
            c.UKoff = 9;
            c.UKinvert = 1;
            c.Set1 = {1, true};
            break;
        }
        ASSERT_TRUE(f.run(&RemoteCommands::writeCommand)) << block;
        EXPECT_EQ(f.ui.texts(), QStringList{U(kWritten)}) << block;
        EXPECT_EQ(f.state.mark(Page(block - 1)), PageMark::Synced) << block;

        const PanelConfig held = *f.station.panel(57);
        PanelConfig expected = f.panel;
        switch (block) {
        case 1:
            expected.apn = c.apn;
            expected.apn2 = c.apn2;
            expected.serverIP = QStringLiteral("010.001.002.003");
            expected.serverPort = 6001;
            break;
        case 2:
            expected.users = c.users;
            break;
        case 3:
            expected.lines = c.lines;
            break;
        default:
            expected.PwdLev1 = c.PwdLev1;
            expected.PwdLev2 = c.PwdLev2;
            expected.LowLevelV = c.LowLevelV;
            expected.HiLevelV = c.HiLevelV;
            expected.ppkType = c.ppkType;
            expected.timeDelay = 12;
            expected.timeDelay2 = c.timeDelay2;
            expected.UKworkTime = c.UKworkTime;
            expected.UKon = 7;
            expected.UKoff = 9;
            expected.UKinvert = 1;
            expected.Set1 = c.Set1;
            expected.Set2 = c.Set2;
            break;
        }
        EXPECT_TRUE(held.sameSettings(expected)) << block;
    }
}

TEST(RemoteFlow, WritingBlockOneRenumbersThePanel) {
    Flow f(Page::Network);
    f.cfg.numPPK = 58;
    ASSERT_TRUE(f.run(&RemoteCommands::writeCommand));
    EXPECT_EQ(f.ui.texts(), QStringList{U(kWritten)});
    EXPECT_EQ(f.station.panelNumbers(), std::vector<quint16>{58});
}

TEST(RemoteFlow, WrongPassword) {
    for (auto command : {&RemoteCommands::readCommand, &RemoteCommands::writeCommand}) {
        Flow f(Page::Zones);
        f.state.edPwd = QStringLiteral("999999");
        f.cfg.lines[0] = {1, 1, 0};
        const PanelConfig before = f.cfg;
        ASSERT_TRUE(f.run(command));
        EXPECT_EQ(f.ui.texts(), QStringList{U(kNoAccess)});
        EXPECT_EQ(f.cfg, before);
        EXPECT_TRUE(f.station.panel(57)->sameSettings(f.panel));
        EXPECT_EQ(f.state.mark(Page::Zones), PageMark::None);
        EXPECT_TRUE(f.state.commandsEnabled);
    }
}

TEST(RemoteFlow, RefusedQueryEndsByTheWatchdog) {
    Flow f(Page::Params, timings(500));
    sim::StationFaults faults;
    faults.refuseQuery = true;
    f.station.setFaults(faults);
    f.state.setAllMarks(PageMark::Synced);
    ASSERT_TRUE(f.run(&RemoteCommands::readCommand));
    EXPECT_EQ(f.ui.texts(), QStringList{U(kNoAnswer)});
    EXPECT_EQ(countPath(f.station, "/get_config"), 1);
    EXPECT_EQ(countPath(f.station, "/read_config"), 0);
    for (int p = 0; p < model::kPageCount; ++p)
        EXPECT_EQ(f.state.mark(Page(p)), PageMark::None);
    EXPECT_TRUE(f.state.commandsEnabled);
}

TEST(RemoteFlow, NoDataForeverStopsPollingAtTheWatchdog) {
    Flow f(Page::Users, timings(500));
    sim::StationFaults faults;
    faults.noDataForever = true;
    f.station.setFaults(faults);
    ASSERT_TRUE(f.run(&RemoteCommands::readCommand));
    EXPECT_EQ(f.ui.texts(), QStringList{U(kNoAnswer)});
    ASSERT_TRUE(test::waitUntil([&] { return !f.commands->busy(); }));
    const int polls = countPath(f.station, "/read_config");
    EXPECT_GT(polls, 1);
    test::waitUntil([] { return false; }, 300);
    EXPECT_EQ(countPath(f.station, "/read_config"), polls);
}

TEST(RemoteFlow, ConnectionDroppedWhilePollingMeansBusy) {
    Flow f(Page::Zones);
    sim::StationFaults faults;
    faults.noDataForever = true;
    f.station.setFaults(faults);
    f.state.setAllMarks(PageMark::Synced);
    f.commands->readCommand();
    ASSERT_TRUE(test::waitUntil([&] { return countPath(f.station, "/read_config") >= 1; }));
    faults.closeConnection = true;
    f.station.setFaults(faults);
    ASSERT_TRUE(test::waitUntil([&] { return f.ended == 1; }, 30000));
    EXPECT_EQ(f.ui.texts(), QStringList{U(kServerBusy)});
    EXPECT_EQ(f.state.mark(Page::Zones), PageMark::None);
    EXPECT_EQ(f.state.mark(Page::Users), PageMark::Synced);
    EXPECT_TRUE(f.state.commandsEnabled);
    EXPECT_FALSE(f.commands->busy());
}

TEST(RemoteFlow, SlowStationLeavesTheEventLoopTurning) {
    for (auto command : {&RemoteCommands::writeCommand, &RemoteCommands::readCommand}) {
        Flow f(Page::Zones);
        sim::StationFaults faults;
        faults.slowMs = 300;
        f.station.setFaults(faults);
        int ticks = 0;
        int ticksAtResult = -1;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        QObject::connect(f.commands.get(), &RemoteCommands::commandEnded, [&] { ticksAtResult = ticks; });
        tick.start(5);
        (f.commands.get()->*command)();
        // Had the request run on this thread, the command would have ended before any tick.
        ASSERT_TRUE(test::waitUntil([&] { return ticksAtResult >= 0; }, 30000));
        EXPECT_GT(ticksAtResult, 0);
        EXPECT_EQ(f.state.mark(Page::Zones), PageMark::Synced);
    }
}
