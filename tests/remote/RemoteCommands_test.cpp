#include "remote/FakeHttpClient.h"
#include "model/FrameCodec.h"
#include "remote/RemoteCommands.h"

#include "model/Packing.h"
#include "rules/RulesSupport.h"
#include "sim/PtyClient.h"
#include "support/FakeSerialPort.h"
#include "support/RandomConfig.h"
#include "usb/UsbCommands.h"

#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace zorel8z;
using namespace zorel8z::remote;
using model::PageMark;
using model::PanelConfig;
using rules::EditorState;
using rules::Page;
using test::FakeHttpClient;
using test::rules::U;

namespace {

const controller::TController ctl;

const char* const kNoAnswer = "ППК не відповідає! Повторіть спробу!";
const char* const kServerBusy = "Сервер зайнятий! Повторіть спробу пізніше!";
const char* const kNoAccess = "Не має доступу до ППК! Перевірте активацію режима \"Програмування\", пароль і "
                              "зняття всіх груп з охорони!";
const char* const kWritten = "Конфігурація записана успішно";
const char* const kWriteFailed = "Помилка запису конфігурації! Перевірте адресу серверу TORV!";
const char* const kBadFormat = "Помилковий формат конфігурації!";

struct Timings {
    RemoteTimings remote;
    int watchdogMs;
};

// Short polls; a watchdog that never fires unless a case asks for one.
Timings quick(int watchdogMs = 600000) {
    RemoteTimings t;
    t.pollMs = 10;
    t.queryTimeoutMs = 1111;
    t.writeTimeoutMs = 2222;
    return {t, watchdogMs};
}

// The block of `c` as the station hands it over: one JSON object.
QString blockReply(const PanelConfig& c, int block) { return model::blockObject(ctl, c, block); }

struct Fixture {
    explicit Fixture(Page page = Page::Zones, Timings timings = quick()) {
        test::ensureApp();
        cfg = test::rules::validConfig();
        state = test::rules::remoteState(page);
        watchdog = std::make_unique<usb::CommandWatchdog>(state, ui, timings.watchdogMs);
        commands = std::make_unique<RemoteCommands>(cfg, state, http, ui, *watchdog, timings.remote);
        QObject::connect(commands.get(), &RemoteCommands::commandEnded, [this] { ++ended; });
        QObject::connect(commands.get(), &RemoteCommands::stateChanged, [this] { ++stateChanges; });
        QObject::connect(commands.get(), &RemoteCommands::pageFilled,
                         [this](Page p) { filled.push_back(p); });
    }
    ~Fixture() {
        // A case that left the station slow must not keep the worker waiting for ever.
        http.open();
    }

    bool waitEnded(int count = 1) {
        return test::waitUntil([&] { return ended >= count; });
    }
    void acceptQuery() { http.script(QStringLiteral("/get_config"), {{QStringLiteral("ok")}}); }

    PanelConfig cfg;
    EditorState state;
    FakeHttpClient http;
    test::RecordingUi ui;
    int ended = 0;
    int stateChanges = 0;
    std::vector<Page> filled;
    std::unique_ptr<usb::CommandWatchdog> watchdog;
    // Last, so it goes first: its destructor waits for a worker that uses the client above.
    std::unique_ptr<RemoteCommands> commands;
};

std::array<PageMark, model::kPageCount> allMarks(PageMark m) {
    std::array<PageMark, model::kPageCount> out;
    out.fill(m);
    return out;
}

} // namespace

TEST(RemoteRead, RefusalsSendNothing) {
    const struct {
        const char* name;
        int numPPK;
        const char* pwd;
        int port;
        const char* address;
        const char* message;
    } cases[] = {
        {"panel number 0", 0, "123456", 15001, "127.000.000.001", "Введіть номер ППК, відмінний від 0!"},
        {"panel number above 16 bits", 65536, "123456", 15001, "127.000.000.001",
         "Номер ППК в ПЦС повинен бути від 1 до 65535!"},
        {"empty password", 57, "", 15001, "127.000.000.001", "Введіть пароль віддаленого конфігурування!"},
        {"port 0", 57, "123456", 0, "127.000.000.001", "Порт серверу ПЦС повинен бути від 1 до 65535!"},
        {"port 65536", 57, "123456", 65536, "127.000.000.001",
         "Порт серверу ПЦС повинен бути від 1 до 65535!"},
        {"address group above 255", 57, "123456", 15001, "127.000.000.256", "Не коректний IP серверу ПЦС"},
        {"address of three groups", 57, "123456", 15001, "127.000.001", "Не коректний IP серверу ПЦС"},
        // Refused at once, not after the watchdog's time with "no answer".
        {"address of zeros", 57, "123456", 15001, "000.000.000.000", "Не коректний IP серверу ПЦС"},
        {"blank address", 57, "123456", 15001, "   .   .   .   ", "Не коректний IP серверу ПЦС"},
    };
    for (bool write : {false, true}) {
        for (const auto& c : cases) {
            Fixture f(Page::Zones);
            f.acceptQuery();
            f.state.seNumPPK = c.numPPK;
            f.state.edPwd = U(c.pwd);
            f.state.seRemoteServerPort = c.port;
            f.state.meRemoteServerIP = U(c.address);
            const PanelConfig before = f.cfg;
            write ? f.commands->writeCommand() : f.commands->readCommand();
            EXPECT_EQ(f.ui.texts(), QStringList{U(c.message)}) << c.name << (write ? " write" : " read");
            EXPECT_FALSE(f.commands->busy()) << c.name;
            EXPECT_TRUE(f.state.commandsEnabled) << c.name;
            EXPECT_FALSE(f.state.changePPKNumVisible) << c.name;
            EXPECT_EQ(f.ended, 1) << c.name;
            EXPECT_TRUE(f.cfg.sameSettings(before)) << c.name;
            test::spin(20);
            EXPECT_TRUE(f.http.calls().empty()) << c.name;
        }
    }
}

TEST(RemoteRead, QueryCarriesTheConnectionValuesAndTheOpenPagesBlock) {
    const struct {
        Page page;
        const char* body;
    } cases[] = {
        {Page::Network, "ppk_num=57&pc=123456&block=1"},
        {Page::Users, "ppk_num=57&pc=123456&block=2"},
        {Page::Zones, "ppk_num=57&pc=123456&block=3"},
        {Page::Params, "ppk_num=57&pc=123456&block=4"},
    };
    for (const auto& c : cases) {
        Fixture f(c.page);
        f.http.script(QStringLiteral("/get_config"), {{QStringLiteral("refused")}});
        f.commands->readCommand();
        EXPECT_FALSE(f.state.commandsEnabled);
        EXPECT_TRUE(f.state.changePPKNumVisible);
        EXPECT_TRUE(f.commands->busy());
        ASSERT_TRUE(test::waitUntil([&] { return f.http.finished() == 1; }));
        const auto calls = f.http.calls();
        ASSERT_EQ(calls.size(), 1u);
        // The zero-padded groups are read as decimal, never as octal.
        EXPECT_EQ(calls[0].url, QStringLiteral("http://127.0.0.1:15001/get_config"));
        EXPECT_EQ(calls[0].body, QByteArray(c.body));
        EXPECT_EQ(calls[0].timeoutMs, 1111);
    }
}

TEST(RemoteRead, QueryNotAcceptedEndsOnlyByTheWatchdog) {
    const struct {
        const char* name;
        FakeHttpClient::Reply reply;
    } cases[] = {
        {"other text", {QStringLiteral("OK")}},
        {"ok with a line end", {QStringLiteral("ok\r\n")}},
        {"empty", {QString()}},
        {"failed request", FakeHttpClient::failure()},
    };
    for (const auto& c : cases) {
        Fixture f(Page::Zones, quick(300));
        f.http.script(QStringLiteral("/get_config"), {c.reply});
        f.state.setAllMarks(PageMark::Synced);
        f.commands->readCommand();
        ASSERT_TRUE(f.waitEnded()) << c.name;
        EXPECT_EQ(f.http.count(QStringLiteral("/read_config")), 0) << c.name;
        EXPECT_EQ(f.http.count(QStringLiteral("/get_config")), 1) << c.name;
        EXPECT_EQ(f.ui.texts(), QStringList{U(kNoAnswer)}) << c.name;
        EXPECT_EQ(f.state.marks, allMarks(PageMark::None)) << c.name;
        EXPECT_TRUE(f.state.commandsEnabled) << c.name;
        EXPECT_TRUE(test::waitUntil([&] { return !f.commands->busy(); })) << c.name;
    }
}

TEST(RemoteRead, NoDataForeverPollsUntilTheWatchdog) {
    Fixture f(Page::Params, quick(300));
    f.acceptQuery();
    f.http.script(QStringLiteral("/read_config"), {{QStringLiteral("no_data")}});
    f.commands->readCommand();
    ASSERT_TRUE(f.waitEnded());
    EXPECT_EQ(f.ui.texts(), QStringList{U(kNoAnswer)});
    EXPECT_TRUE(f.state.commandsEnabled);
    // A poll that was on its way when the watchdog fired still reaches the station; count after it.
    ASSERT_TRUE(test::waitUntil([&] { return !f.commands->busy(); }));
    const int polls = f.http.count(QStringLiteral("/read_config"));
    EXPECT_GT(polls, 1);
    // The poll timer has stopped with the read: many poll intervals later nothing more was asked.
    test::waitUntil([] { return false; }, 200);
    EXPECT_EQ(f.http.count(QStringLiteral("/read_config")), polls);
    EXPECT_FALSE(f.commands->busy());
    for (const auto& call : f.http.calls())
        if (FakeHttpClient::pathOf(call.url) == QStringLiteral("/read_config")) {
            EXPECT_EQ(call.body, QByteArray("ppk_num=57&block=4"));
        }
}

TEST(RemoteRead, FailedPollMeansTheServerIsBusy) {
    const struct {
        const char* name;
        FakeHttpClient::Reply reply;
    } cases[] = {
        {"failed request", FakeHttpClient::failure()},
        {"empty reply", {QString()}},
    };
    for (const auto& c : cases) {
        Fixture f(Page::Users, quick(1000));
        f.acceptQuery();
        f.http.script(QStringLiteral("/read_config"), {{QStringLiteral("no_data")}, c.reply});
        f.state.setAllMarks(PageMark::Synced);
        const PanelConfig before = f.cfg;
        f.commands->readCommand();
        ASSERT_TRUE(f.waitEnded()) << c.name;
        EXPECT_EQ(f.ui.texts(), QStringList{U(kServerBusy)}) << c.name;
        EXPECT_EQ(f.state.mark(Page::Users), PageMark::None) << c.name;
        EXPECT_EQ(f.state.mark(Page::Zones), PageMark::Synced) << c.name;
        EXPECT_TRUE(f.state.commandsEnabled) << c.name;
        EXPECT_FALSE(f.commands->busy()) << c.name;
        EXPECT_TRUE(f.commands->receivedText().isEmpty()) << c.name;
        EXPECT_TRUE(f.cfg.sameSettings(before)) << c.name;
        // Past the watchdog's time nothing else happens: the read has ended.
        test::waitUntil([] { return false; }, 1300);
        EXPECT_EQ(f.ui.texts().size(), 1) << c.name;
        EXPECT_EQ(f.http.count(QStringLiteral("/read_config")), 2) << c.name;
    }
}

TEST(RemoteRead, BlockFillsOnlyItsPage) {
    const PanelConfig panel = [] {
        PanelConfig p = test::RandomConfig(31).next();
        p.numPPK = 999;
        p.pwd = QStringLiteral("654321");
        return p;
    }();
    for (int block = 1; block <= 4; ++block) {
        const Page page = Page(block - 1);
        Fixture f(page);
        f.acceptQuery();
        const QString reply = blockReply(panel, block);
        f.http.script(QStringLiteral("/read_config"), {{QStringLiteral("no_data")}, {reply}});
        f.state.setAllMarks(PageMark::Edited);
        const PanelConfig before = f.cfg;

        f.commands->readCommand();
        // The result lands on the page of its block, whichever page is open by then.
        f.state.openPage = Page::Network == page ? Page::Zones : Page::Network;
        ASSERT_TRUE(f.waitEnded()) << block;

        PanelConfig expected = before;
        switch (block) {
        case 1:
            expected.apn = panel.apn;
            expected.apn2 = panel.apn2;
            expected.serverIP = panel.serverIP;
            expected.serverPort = panel.serverPort;
            // The number typed for remote access, not the one the panel reported; the
            // configuration's own remote password and the redundant server stay.
            expected.numPPK = 57;
            break;
        case 2:
            expected.passwordsHidden = true;
            for (int k = 0; k < model::kUserCount; ++k) {
                expected.users[size_t(k)] = {panel.users[size_t(k)].group, QStringLiteral("****")};
                expected.hiddenPasswords[size_t(k)] = panel.users[size_t(k)].password;
            }
            break;
        case 3:
            expected.lines = panel.lines;
            break;
        default:
            expected.PwdLev1 = panel.PwdLev1;
            expected.PwdLev2 = panel.PwdLev2;
            expected.LowLevelV = panel.LowLevelV;
            expected.HiLevelV = panel.HiLevelV;
            expected.ppkType = panel.ppkType;
            expected.timeDelay = panel.timeDelay;
            expected.timeDelay2 = panel.timeDelay2;
            expected.UKworkTime = panel.UKworkTime;
            expected.UKon = panel.UKon;
            expected.UKoff = panel.UKoff;
            expected.UKinvert = panel.UKinvert;
            expected.Set1 = panel.Set1;
            expected.Set2 = panel.Set2;
            break;
        }
        EXPECT_EQ(f.cfg, expected) << block;
        EXPECT_EQ(f.cfg.pwd, QStringLiteral("123456"));
        EXPECT_EQ(f.cfg.redIP, QStringLiteral("010.000.000.002"));
        EXPECT_TRUE(f.ui.texts().isEmpty()) << block;
        EXPECT_EQ(f.filled, std::vector<Page>{page}) << block;
        for (int p = 0; p < model::kPageCount; ++p)
            EXPECT_EQ(f.state.mark(Page(p)), p == block - 1 ? PageMark::Synced : PageMark::Edited) << block;
        EXPECT_TRUE(f.state.commandsEnabled);
        EXPECT_FALSE(f.commands->busy());
        EXPECT_EQ(f.commands->receivedText(), reply);
        // The zone and SET undos start from what was read.
        EXPECT_EQ(f.state.zoneSnapshot, f.cfg.lines);
        EXPECT_EQ(f.state.setSaved1, f.cfg.Set1.group);
    }
}

TEST(RemoteRead, ParamsReadShowsTheFieldsTheUserHadEmptied) {
    Fixture f(Page::Params);
    f.acceptQuery();
    f.http.script(QStringLiteral("/read_config"), {{blockReply(test::RandomConfig(4).next(), 4)}});
    f.state.blankSpinEdits = {rules::Control::seUKon, rules::Control::seNumConfPPK};
    f.commands->readCommand();
    ASSERT_TRUE(f.waitEnded());
    EXPECT_EQ(f.state.blankSpinEdits, std::set<rules::Control>{rules::Control::seNumConfPPK});
}

TEST(RemoteRead, HiddenPasswordsAreWhatALaterWriteSends) {
    PanelConfig panel = test::rules::validConfig();
    const char* const passwords[] = {"1234", "2345", "3456", "4567"};
    for (int k = 0; k < 4; ++k)
        panel.users[size_t(k)].password = QString::fromLatin1(passwords[k]);

    Fixture f(Page::Users);
    f.acceptQuery();
    f.http.script(QStringLiteral("/read_config"), {{blockReply(panel, 2)}});
    f.http.script(QStringLiteral("/set_config2"), {{QStringLiteral("{\"w_conf\":1}")}});
    f.commands->readCommand();
    ASSERT_TRUE(f.waitEnded());
    for (const auto& u : f.cfg.users)
        ASSERT_EQ(u.password, QStringLiteral("****"));

    f.commands->writeCommand();
    ASSERT_TRUE(f.waitEnded(2));
    const auto calls = f.http.calls();
    ASSERT_EQ(FakeHttpClient::pathOf(calls.back().url), QStringLiteral("/set_config2"));
    const QByteArray expected = formBody({{QStringLiteral("ppk_num"), QStringLiteral("57")},
                                          {QStringLiteral("pc"), QStringLiteral("123456")},
                                          {QStringLiteral("u"), model::packUsers(ctl, panel)}});
    EXPECT_EQ(calls.back().body, expected);
    EXPECT_EQ(f.ui.texts(), QStringList{U(kWritten)});
}

TEST(RemoteRead, RefusalCodesInTheReply) {
    const struct {
        const char* reply;
        QStringList messages;
    } cases[] = {
        {"{\"err_conf\":1}", {U(kNoAccess)}},
        {"{\"l\":\"100100100100100100100100\",\"err_conf\":1}", {U(kNoAccess)}},
        // Any other code is the station's own failure, said in words.
        {"{\"err_conf\":5}", {U("Помилка ПЦС! Код помилки : 5")}},
        {"{\"err_conf\":-2}", {U("Помилка ПЦС! Код помилки : -2")}},
    };
    for (const auto& c : cases) {
        Fixture f(Page::Zones);
        f.acceptQuery();
        f.http.script(QStringLiteral("/read_config"), {{QString::fromLatin1(c.reply)}});
        f.cfg.lines[0] = {2, 1, 0};
        f.state.setAllMarks(PageMark::Edited);
        const PanelConfig before = f.cfg;
        f.commands->readCommand();
        ASSERT_TRUE(f.waitEnded()) << c.reply;
        EXPECT_EQ(f.ui.texts(), c.messages) << c.reply;
        EXPECT_EQ(f.cfg, before) << c.reply;
        EXPECT_EQ(f.state.marks, allMarks(PageMark::Edited)) << c.reply;
        EXPECT_TRUE(f.filled.empty()) << c.reply;
        EXPECT_TRUE(f.state.commandsEnabled) << c.reply;
    }
}

TEST(RemoteRead, UndecodableBlockChangesNothing) {
    const struct {
        const char* name;
        Page page;
        const char* reply;
        const char* message;
    } cases[] = {
        {"not JSON", Page::Zones, "<html>busy</html>", kBadFormat},
        {"JSON array", Page::Users, "[1,2]", kBadFormat},
        {"zones of 23 digits", Page::Zones, "{\"l\":\"10010010010010010010010\"}", kBadFormat},
        // The port fails after the address and the APNs were decoded: none of them is taken.
        {"port not a number", Page::Network,
         "{\"n\":\"12\",\"a\":\"new.apn\",\"i\":\"001.002.003.004\",\"p\":\"x5\",\"q\":\"apn2\",\"r\":\"\"}",
         "Помилкове число: \"x5\""},
        {"delay not a number", Page::Params,
         "{\"1\":\"11111\",\"2\":\"22222\",\"z\":\"11000\",\"x\":\"14000\",\"g\":\"0\",\"s\":\"1x\","
         "\"v\":\"10\",\"f\":\"010\",\"t\":\"005060\",\"h\":\"1\",\"l\":\"00\"}",
         "Помилкове число: \"1x\""},
        // A reply of another block, and a number beyond any field: the user gets words, not English.
        {"block of another page", Page::Network, "{\"l\":\"100100100100100100100100\"}",
         "Помилкове число: \"\""},
        {"huge number", Page::Network,
         "{\"n\":1e308,\"a\":\"new.apn\",\"i\":\"001.002.003.004\",\"p\":\"5001\",\"q\":\"apn2\",\"r\":\"\"}",
         "Помилкове число: \"1e308\""},
    };
    for (const auto& c : cases) {
        Fixture f(c.page);
        f.acceptQuery();
        f.http.script(QStringLiteral("/read_config"), {{QString::fromLatin1(c.reply)}});
        f.state.setAllMarks(PageMark::Synced);
        const PanelConfig before = f.cfg;
        f.commands->readCommand();
        ASSERT_TRUE(f.waitEnded()) << c.name;
        EXPECT_EQ(f.ui.texts(), QStringList{U(c.message)}) << c.name;
        EXPECT_EQ(f.cfg, before) << c.name;
        EXPECT_EQ(f.state.marks, allMarks(PageMark::Synced)) << c.name;
        EXPECT_TRUE(f.filled.empty()) << c.name;
        EXPECT_TRUE(f.state.commandsEnabled) << c.name;
        EXPECT_FALSE(f.commands->busy()) << c.name;
    }
}

TEST(RemoteRead, PollsOneAtATimeAndNeverBlockTheCaller) {
    Fixture f(Page::Zones);
    f.acceptQuery();
    f.http.script(QStringLiteral("/read_config"), {{QStringLiteral("{\"l\":\"200200200200200200200200\"}")}});
    // The station holds every poll; the caller's event loop keeps turning meanwhile.
    f.http.hold(QStringLiteral("/read_config"));
    f.commands->readCommand();
    ASSERT_TRUE(test::waitUntil([&] { return f.http.inFlight() == 1; }));
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(1);
    // Many poll intervals pass while the poll is out: none of them starts a second request.
    test::waitUntil([&] { return ticks >= 30; });
    EXPECT_GE(ticks, 30);
    EXPECT_EQ(f.http.count(QStringLiteral("/read_config")), 1);
    EXPECT_EQ(f.ended, 0);

    // A second command meanwhile does nothing at all.
    f.commands->readCommand();
    f.commands->writeCommand();
    EXPECT_EQ(f.http.calls().size(), 2u);
    EXPECT_TRUE(f.ui.texts().isEmpty());
    EXPECT_EQ(f.ended, 0);

    f.http.open();
    ASSERT_TRUE(f.waitEnded());
    EXPECT_EQ(f.http.maxInFlight(), 1);
    EXPECT_EQ(f.cfg.lines[0].group, 2);
    EXPECT_EQ(f.state.mark(Page::Zones), PageMark::Synced);
}

TEST(RemoteRead, ResultAfterTheWatchdogIsDropped) {
    Fixture f(Page::Zones, quick(300));
    f.acceptQuery();
    f.http.script(QStringLiteral("/read_config"), {{QStringLiteral("{\"l\":\"200200200200200200200200\"}")}});
    f.http.hold(QStringLiteral("/read_config"));
    const PanelConfig before = f.cfg;
    f.commands->readCommand();
    ASSERT_TRUE(f.waitEnded());
    EXPECT_EQ(f.ui.texts(), QStringList{U(kNoAnswer)});
    EXPECT_TRUE(f.state.commandsEnabled);
    // The poll that is still out holds the client: no new command may start on it yet.
    ASSERT_EQ(f.http.inFlight(), 1);
    EXPECT_TRUE(f.commands->busy());
    f.commands->readCommand();
    EXPECT_EQ(f.http.count(QStringLiteral("/get_config")), 1);

    f.http.open();
    ASSERT_TRUE(test::waitUntil([&] { return !f.commands->busy(); }));
    test::spin(20);
    EXPECT_EQ(f.cfg, before);
    EXPECT_TRUE(f.filled.empty());
    EXPECT_EQ(f.ui.texts().size(), 1);
    EXPECT_EQ(f.ended, 1);
    EXPECT_EQ(f.state.mark(Page::Zones), PageMark::None);
}

TEST(RemoteCommandsLife, DestructorWaitsForTheRequestInFlight) {
    test::ensureApp();
    PanelConfig cfg = test::rules::validConfig();
    EditorState state = test::rules::remoteState(Page::Zones);
    FakeHttpClient http;
    test::RecordingUi ui;
    http.script(QStringLiteral("/get_config"), {{QStringLiteral("ok")}});
    http.close();
    usb::CommandWatchdog watchdog(state, ui, quick().watchdogMs);
    auto commands = std::make_unique<RemoteCommands>(cfg, state, http, ui, watchdog, quick().remote);
    commands->readCommand();
    ASSERT_TRUE(test::waitUntil([&] { return http.inFlight() == 1; }));
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        http.open();
    });
    commands.reset();
    // Gone only once the worker was done with the client.
    EXPECT_EQ(http.finished(), 1);
    opener.join();
    test::spin(20);
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST(RemoteWrite, RequestOfEachPage) {
    const struct {
        Page page;
        const char* path;
        QByteArray body;
    } cases[] = {
        // The configuration's own remote password and the redundant server are never sent.
        {Page::Network, "/set_config1",
         "ppk_num=57&pc=123456&n=57&a=internet&i=010.000.000.001&p=5000&q=internet2"},
        // User 1 in group 1 with 1234, the others in group 1 with 0000 ("@" escaped by the form).
        {Page::Users, "/set_config2",
         QByteArray("ppk_num=57&pc=123456&u=QRSD") + QByteArray("PPP%40").repeated(23)},
        {Page::Zones, "/set_config3", "ppk_num=57&pc=123456&l=100100100100100100100100"},
        {Page::Params, "/set_config4",
         "ppk_num=57&pc=123456&p1=12345&p2=54321&z=11600&x=14200&g=1&s=30&v=30&f=040&t=005060&h=0&l=00"},
    };
    for (const auto& c : cases) {
        Fixture f(c.page);
        f.http.script(QString::fromLatin1(c.path), {{QStringLiteral("{\"w_conf\":\"1\"}")}});
        f.cfg.serverIP = QStringLiteral("10.0.0.1");
        f.http.close();
        f.commands->writeCommand();
        // Normalised by the write's start, and that is what is sent.
        EXPECT_EQ(f.cfg.serverIP, QStringLiteral("010.000.000.001"));
        EXPECT_FALSE(f.state.commandsEnabled) << c.path;
        EXPECT_TRUE(f.state.changePPKNumVisible) << c.path;
        EXPECT_TRUE(f.commands->busy()) << c.path;
        f.http.open();
        ASSERT_TRUE(f.waitEnded()) << c.path;
        const auto calls = f.http.calls();
        ASSERT_EQ(calls.size(), 1u) << c.path;
        EXPECT_EQ(calls[0].url, QStringLiteral("http://127.0.0.1:15001") + QString::fromLatin1(c.path));
        EXPECT_EQ(calls[0].body, c.body) << c.path;
        EXPECT_EQ(calls[0].timeoutMs, 2222);
    }
}

TEST(RemoteWrite, Replies) {
    const struct {
        const char* name;
        FakeHttpClient::Reply reply;
        QStringList messages;
        MsgIcon icon;
        bool synced;
    } cases[] = {
        {"empty object", {QStringLiteral("{}")}, {U(kWritten)}, MsgIcon::Information, true},
        {"written", {QStringLiteral("{\"w_conf\":1}")}, {U(kWritten)}, MsgIcon::Information, true},
        {"no access", {QStringLiteral("{\"err_wconf\":1}")}, {U(kNoAccess)}, MsgIcon::Error, false},
        {"other failure",
         {QStringLiteral("{\"err_wconf\":7}")},
         {U("Помилка ПЦС! Код помилки : 7")},
         MsgIcon::Error,
         false},
        {"failed request", FakeHttpClient::failure(), {U(kWriteFailed)}, MsgIcon::Error, false},
        {"not an object", {QStringLiteral("no_data")}, {U(kWriteFailed)}, MsgIcon::Error, false},
        {"code as text",
         {QStringLiteral("{\"err_wconf\":\"1\"}")},
         {U("Помилкове число: \"\"1\"\"")},
         MsgIcon::Error,
         false},
    };
    for (const auto& c : cases) {
        Fixture f(Page::Zones);
        f.http.script(QStringLiteral("/set_config3"), {c.reply});
        f.state.setAllMarks(PageMark::Edited);
        f.commands->writeCommand();
        ASSERT_TRUE(f.waitEnded()) << c.name;
        EXPECT_EQ(f.ui.texts(), c.messages) << c.name;
        if (!c.messages.isEmpty()) {
            EXPECT_EQ(f.ui.messages[0].first, c.icon) << c.name;
        }
        EXPECT_EQ(f.state.mark(Page::Zones), c.synced ? PageMark::Synced : PageMark::Edited) << c.name;
        EXPECT_EQ(f.state.mark(Page::Users), PageMark::Edited) << c.name;
        EXPECT_TRUE(f.state.commandsEnabled) << c.name;
        EXPECT_FALSE(f.commands->busy()) << c.name;
    }
}

TEST(RemoteWrite, ChecksOfThePageStopIt) {
    Fixture f(Page::Network);
    f.http.script(QStringLiteral("/set_config1"), {{QStringLiteral("{}")}});
    f.cfg.apn.clear();
    f.commands->writeCommand();
    EXPECT_EQ(f.ui.texts(), QStringList{U("Введіть назву APN SIM1!")});
    EXPECT_TRUE(f.state.commandsEnabled);
    EXPECT_FALSE(f.commands->busy());
    test::spin(20);
    EXPECT_TRUE(f.http.calls().empty());
}

TEST(RemoteWrite, TimesField) {
    const struct {
        const char* on;
        const char* off;
        const char* t;
        int messages;
    } cases[] = {
        {"5", "60", "005060", 0}, {"60", "0", "060000", 0}, {"123", "7", "123007", 0},
        {"", "60", "060", 1},     {"1234", "5", "005", 1},  {"", "", "", 2},
    };
    for (const auto& c : cases) {
        test::RecordingUi ui;
        EXPECT_EQ(remoteTimesField(U(c.on), U(c.off), ui), U(c.t)) << c.on << "/" << c.off;
        EXPECT_EQ(ui.texts().size(), c.messages);
        for (const QString& text : ui.texts())
            EXPECT_EQ(text, U(kBadFormat));
    }
}

TEST(RemoteWrite, LocalModeOrKeyPageSendsNothing) {
    for (bool local : {true, false}) {
        Fixture f(local ? Page::Zones : Page::Keys);
        if (local)
            f.state.mode = rules::Mode::Local;
        f.http.script(QStringLiteral("/set_config3"), {{QStringLiteral("{}")}});
        f.commands->writeCommand();
        f.commands->readCommand();
        test::spin(20);
        EXPECT_TRUE(f.http.calls().empty());
        EXPECT_FALSE(f.commands->busy());
        EXPECT_TRUE(f.state.commandsEnabled);
    }
}

TEST(RemoteTimers, PollIsPrecise) {
    // A coarse timer may fire 5 % off: the 4 s poll anywhere from 3.8 s to 4.2 s.
    test::ensureApp();
    PanelConfig cfg;
    EditorState state;
    FakeHttpClient http;
    test::RecordingUi ui;
    usb::CommandWatchdog watchdog(state, ui);
    RemoteCommands commands(cfg, state, http, ui, watchdog);
    const auto* poll = commands.findChild<QTimer*>(QStringLiteral("tiReadConfQuery"));
    ASSERT_NE(poll, nullptr);
    EXPECT_EQ(poll->timerType(), Qt::PreciseTimer);
    EXPECT_EQ(poll->interval(), 4000);
}

TEST(SharedWatchdog, AnEndedCommandOfOneLinkLeavesTheOtherBounded) {
    // A remote read whose query the station never accepts: only the watchdog ends it. Meanwhile,
    // in USB mode from the menu, a read on a silent port ends by its delay check.
    Fixture f(Page::Zones, quick(600000));
    f.http.script(QStringLiteral("/get_config"), {{QStringLiteral("refused")}});
    test::FakeSerialPort port;
    usb::UsbCommands usbCommands(f.cfg, f.state, port, f.ui, *f.watchdog);
    usbCommands.choosePort(QStringLiteral("COM3"));
    f.commands->readCommand();
    ASSERT_TRUE(test::waitUntil([&] { return f.http.finished() == 1; }));
    usbCommands.readCommand();
    usbCommands.onDelayCheckTick();
    ASSERT_EQ(f.ui.texts().size(), 1);
    ASSERT_TRUE(f.commands->busy());
    // The remote read still has its watchdog, which ends it (the commands are enabled already: quietly).
    EXPECT_TRUE(f.watchdog->isActive());
    f.watchdog->onTick();
    EXPECT_EQ(f.ended, 1);
    // Free once the refused query's worker has handed its result back.
    EXPECT_TRUE(test::waitUntil([&] { return !f.commands->busy(); }));
    EXPECT_EQ(f.ui.texts().size(), 1);

    // The other way: a USB write waits for its acknowledgement while a remote read ends.
    test::FakeSerialPort port2;
    Fixture g(Page::Zones, quick(600000));
    g.acceptQuery();
    g.http.script(QStringLiteral("/read_config"), {{blockReply(g.cfg, 3)}});
    usb::UsbCommands usb2(g.cfg, g.state, port2, g.ui, *g.watchdog);
    usb2.choosePort(QStringLiteral("COM3"));
    g.state.portSelected = true;
    g.commands->readCommand();
    g.state.mode = rules::Mode::Local;
    usb2.writeCommand();
    ASSERT_TRUE(usb2.writing()) << g.ui.texts().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(g.waitEnded());
    EXPECT_TRUE(g.watchdog->isActive());
}
