#include "rules/RulesSupport.h"
#include "rules/Sequences.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zorel8z;
using namespace zorel8z::rules;
using namespace zorel8z::test::rules;
using model::PanelConfig;
using test::RecordingUi;

namespace {
using Edit = std::function<void(PanelConfig&, EditorState&)>;

// After a server read of the users block: every cell shows "****", the real ones stay aside.
void hidePasswords(PanelConfig& c, std::initializer_list<const char*> hidden) {
    c.passwordsHidden = true;
    for (auto& u : c.users)
        u.password = model::kHiddenPassword;
    for (auto& h : c.hiddenPasswords)
        h = U("0000");
    int k = 0;
    for (const char* h : hidden)
        c.hiddenPasswords[size_t(k++)] = U(h);
}
} // namespace

TEST(WriteSequence, FreshConfigurationStopsAtThePanelNumber) {
    PanelConfig cfg;
    EditorState state = localState();
    RecordingUi ui;
    EXPECT_EQ(writeSequence(cfg, state, ui), Verdict::Stop);
    ASSERT_EQ(ui.texts(), T({text::numConfPPKZero}));
    EXPECT_EQ(ui.messages[0].first, MsgIcon::Error);
    // The fresh addresses are already in normal form.
    EXPECT_EQ(cfg.serverIP, model::kZeroAddress);
    EXPECT_EQ(state.meRemoteServerIP, U("127.000.000.001"));

    PanelConfig fresh;
    RecordingUi saveUi;
    EXPECT_EQ(saveSequence(fresh, EditorState(), saveUi), Verdict::Stop);
    EXPECT_EQ(saveUi.texts(), T({text::numConfPPKZero}));

    EditorState noPort;
    RecordingUi portUi;
    EXPECT_EQ(writeSequence(fresh, noPort, portUi), Verdict::Stop);
    EXPECT_EQ(portUi.texts(), T({text::noPort}));
}

TEST(WriteSequence, CompleteConfigurationGoesOnInEveryCommand) {
    PanelConfig cfg = validConfig();
    EditorState state = localState();
    RecordingUi ui;
    EXPECT_EQ(writeSequence(cfg, state, ui), Verdict::GoOn);
    EXPECT_EQ(saveSequence(cfg, state, ui), Verdict::GoOn);
    for (Page page : {Page::Network, Page::Users, Page::Zones, Page::Params}) {
        EditorState remote = remoteState(page);
        EXPECT_EQ(writeSequence(cfg, remote, ui), Verdict::GoOn) << int(page);
    }
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join(QLatin1Char('|')).toStdString();
}

TEST(WriteStart, AddressesAreNormalisedInOrderAndStayNormalised) {
    const struct {
        const char* main;
        const char* red;
        const char* remote;
        const char* mainAfter;
        const char* redAfter;
        const char* remoteAfter;
        QStringList expected;
    } cases[] = {
        {"10.0.0.1",
         " 5.  6.7  .8",
         "127.0.0.1",
         "010.000.000.001",
         "005.006.007.008",
         "127.000.000.001",
         {}},
        {"", "", "", "", "", "", {}},
        {"256.0.0.1", "5.6.7.8", "1.2.3.4", "256.0.0.1", "5.6.7.8", "1.2.3.4", T({text::badMainIP})},
        {"10.0.0.1", "5.6.7.300", "1.2.3.4", "010.000.000.001", "5.6.7.300", "1.2.3.4", T({text::badRedIP})},
        {"10.0.0.1", "5.6.7.8", "1.2.3.999", "010.000.000.001", "005.006.007.008", "1.2.3.999",
         T({text::badRemoteIP})},
    };
    for (const auto& c : cases) {
        for (Mode mode : {Mode::Local, Mode::Remote}) {
            PanelConfig cfg = validConfig();
            cfg.serverIP = U(c.main);
            cfg.redIP = U(c.red);
            EditorState state;
            state.mode = mode;
            state.meRemoteServerIP = U(c.remote);
            RecordingUi ui;
            EXPECT_EQ(writeStart(cfg, state, ui), c.expected.isEmpty() ? Verdict::GoOn : Verdict::Stop)
                << c.main;
            EXPECT_EQ(ui.texts(), c.expected) << c.main;
            EXPECT_EQ(cfg.serverIP, U(c.mainAfter)) << c.main;
            EXPECT_EQ(cfg.redIP, U(c.redAfter)) << c.main;
            EXPECT_EQ(state.meRemoteServerIP, U(c.remoteAfter)) << c.main;
        }
    }
}

TEST(WriteSequence, NormalisedAddressesStayWhenALaterCheckStops) {
    PanelConfig cfg = validConfig();
    cfg.serverIP = U("10.0.0.1");
    cfg.numPPK = 0;
    EditorState state = localState();
    RecordingUi ui;
    EXPECT_EQ(writeSequence(cfg, state, ui), Verdict::Stop);
    EXPECT_EQ(ui.texts(), T({text::numConfPPKZero}));
    EXPECT_EQ(cfg.serverIP, U("010.000.000.001"));
}

TEST(WriteSequence, BadAddressStopsBeforeTheModeIsLookedAt) {
    PanelConfig cfg;
    cfg.serverIP = U("256.0.0.0");
    EditorState state; // remote with panel number 0 and no password, local without port: neither is reached
    for (Mode mode : {Mode::Local, Mode::Remote}) {
        state.mode = mode;
        RecordingUi ui;
        EXPECT_EQ(writeSequence(cfg, state, ui), Verdict::Stop);
        EXPECT_EQ(ui.texts(), T({text::badMainIP}));
    }
}

TEST(LocalWrite, OrderOfChecks) {
    const struct {
        const char* name;
        Edit edit;
        QStringList expected;
    } cases[] = {
        {"entry checks show all their boxes and the port is not asked",
         [](PanelConfig& c, EditorState& s) {
             s.portSelected = false;
             c.users[3].password = U("0123");
             c.UVICode[1] = c.UVICode[5] = U("ABCDEF0123456789");
         },
         T({text::pwdZero, text::codesUnique})},
        {"port after entry checks",
         [](PanelConfig& c, EditorState& s) {
             s.portSelected = false;
             c.numPPK = 0;
         },
         T({text::noPort})},
        {"network before users",
         [](PanelConfig& c, EditorState&) {
             c.apn.clear();
             c.users[1].group = U("9");
         },
         T({text::apn1})},
        {"users filled before groups",
         [](PanelConfig& c, EditorState&) {
             c.users[1].group = U("3");
             c.users[2].password = U("12");
         },
         T({text::pwdLength})},
        {"every user group, then stop",
         [](PanelConfig& c, EditorState& s) {
             c.users[1].group = U("3");
             c.users[4].group = U("4");
             s.blankSpinEdits.insert(Control::seUKoff);
         },
         QStringList({groupAbsent(2), groupAbsent(5)})},
        {"parameters last", [](PanelConfig& c, EditorState&) { c.HiLevelV = U("142"); },
         T({text::paramsEmpty})},
        {"redundant server required", [](PanelConfig& c, EditorState&) { c.redPort = 0; },
         T({text::redPortZero})},
        {"hidden passwords refused before any entry check",
         [](PanelConfig& c, EditorState&) {
             hidePasswords(c, {"1234"});
             c.PwdLev1 = U("01234");
         },
         T({text::hidden})},
        {"malformed key code refused before the entry checks",
         [](PanelConfig& c, EditorState&) {
             c.UVICode[7] = U("ABC");
             c.UVICode[8] = U("ABC");
         },
         T({text::badCode})},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        EditorState state = localState();
        c.edit(cfg, state);
        RecordingUi ui;
        EXPECT_EQ(writeSequence(cfg, state, ui), Verdict::Stop) << c.name;
        EXPECT_EQ(ui.texts(), c.expected) << c.name;
    }
}

TEST(LocalWrite, TypedPasswordsOverHiddenOnesAreWrittenAsTyped) {
    PanelConfig cfg = validConfig();
    hidePasswords(cfg, {"1234", "1234"});
    for (int k = 0; k < model::kUserCount; ++k)
        cfg.users[size_t(k)].password = U("0000");
    cfg.users[0].password = U("2222");
    EditorState state = localState();
    RecordingUi ui;
    // The grid is what goes out, so the equal hidden passwords do not matter.
    EXPECT_EQ(writeSequence(cfg, state, ui), Verdict::GoOn);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(SaveSequence, OrderHiddenPasswordsAndNoAddressWork) {
    const struct {
        const char* name;
        Edit edit;
        QStringList expected;
    } cases[] = {
        {"hidden passwords are saved",
         [](PanelConfig& c, EditorState&) {
             hidePasswords(c, {"1234", "5678"});
         },
         {}},
        {"the saved hidden passwords are the ones checked",
         [](PanelConfig& c, EditorState&) {
             hidePasswords(c, {"1234", "1235"});
         },
         T({text::pwdNeighbours})},
        {"a typed password replaces the hidden one in the checks",
         [](PanelConfig& c, EditorState&) {
             hidePasswords(c, {"1234", "1235"});
             c.users[1].password = U("5000");
         },
         {}},
        {"addresses are not normalised, so a short form fails its format",
         [](PanelConfig& c, EditorState&) { c.serverIP = U("10.0.0.1"); }, T({text::mainFormat})},
        {"no port needed", [](PanelConfig&, EditorState& s) { s.portSelected = false; }, {}},
        {"entry checks, then the network page",
         [](PanelConfig& c, EditorState&) {
             c.PwdLev1 = U("01234");
             c.numPPK = 0;
         },
         T({text::adminZero})},
        {"network, users, groups, parameters in turn",
         [](PanelConfig& c, EditorState&) {
             c.users[0].group.clear();
             c.PwdLev2 = U("1");
         },
         T({text::groupMissing})},
        {"parameters", [](PanelConfig& c, EditorState&) { c.PwdLev2 = U("1"); }, T({text::paramsEmpty})},
        {"malformed key code", [](PanelConfig& c, EditorState&) { c.UVICode[0] = U("abcdef0123456789"); },
         T({text::badCode})},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        EditorState state = localState();
        c.edit(cfg, state);
        const PanelConfig before = cfg;
        RecordingUi ui;
        EXPECT_EQ(saveSequence(cfg, state, ui), c.expected.isEmpty() ? Verdict::GoOn : Verdict::Stop)
            << c.name;
        EXPECT_EQ(ui.texts(), c.expected) << c.name;
        EXPECT_EQ(cfg, before) << c.name;
    }
}

TEST(RemoteWrite, ChecksFollowTheOpenPage) {
    // Every page but the zones page holds a fault; only the open page's block is sent.
    PanelConfig faulty = validConfig();
    faulty.numPPK = 0;
    faulty.users[1].group.clear();
    faulty.PwdLev1 = U("01234");
    faulty.UVICode[0] = U("ABC");

    const struct {
        Page page;
        QStringList expected;
    } cases[] = {
        {Page::Network, T({text::numConfPPKZero})},
        {Page::Users, T({text::groupMissing})},
        {Page::Zones, {}},
        {Page::Params, T({text::adminZero})},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = faulty;
        EditorState state = remoteState(c.page);
        RecordingUi ui;
        EXPECT_EQ(writeSequence(cfg, state, ui), c.expected.isEmpty() ? Verdict::GoOn : Verdict::Stop)
            << int(c.page);
        EXPECT_EQ(ui.texts(), c.expected) << int(c.page);
    }
}

TEST(RemoteWrite, AccessAndPageChecks) {
    const struct {
        const char* name;
        Page page;
        Edit edit;
        QStringList expected;
    } cases[] = {
        {"panel number first", Page::Zones,
         [](PanelConfig&, EditorState& s) {
             s.seNumPPK = 0;
             s.edPwd.clear();
         },
         T({text::numPPKZero})},
        {"then the password", Page::Zones, [](PanelConfig&, EditorState& s) { s.edPwd.clear(); },
         T({text::remotePwd})},
        {"panel number beyond a request's reach", Page::Zones,
         [](PanelConfig&, EditorState& s) { s.seNumPPK = 70000; }, T({text::numPPKRange})},
        {"a station address of zeros names no station", Page::Zones,
         [](PanelConfig&, EditorState& s) { s.meRemoteServerIP = U("000.000.000.000"); },
         T({text::badRemoteIP})},
        {"a blank station address neither", Page::Users,
         [](PanelConfig&, EditorState& s) { s.meRemoteServerIP = U("   .   .   .   "); },
         T({text::badRemoteIP})},
        {"access before the page", Page::Network,
         [](PanelConfig& c, EditorState& s) {
             c.numPPK = 0;
             s.edPwd.clear();
         },
         T({text::remotePwd})},
        {"redundant server not needed",
         Page::Network,
         [](PanelConfig& c, EditorState&) {
             c.redIP = model::kZeroAddress;
             c.redPort = 0;
         },
         {}},
        {"hidden configuration password still tested", Page::Network,
         [](PanelConfig& c, EditorState&) { c.pwd = U("0"); }, T({text::remotePwd})},
        {"parameters filled before the admin password", Page::Params,
         [](PanelConfig& c, EditorState& s) {
             s.blankSpinEdits.insert(Control::sePPKDelayTime2);
             c.PwdLev1 = U("01234");
         },
         T({text::paramsEmpty})},
        {"five-digit fields", Page::Params, [](PanelConfig& c, EditorState&) { c.LowLevelV = U("116"); },
         T({text::paramsEmpty})},
        {"user groups, every one", Page::Users,
         [](PanelConfig& c, EditorState&) {
             c.users[3].group = U("2");
             c.users[9].group = U("7");
             c.users[0].password = U("0123");
         },
         QStringList({groupAbsent(4), groupAbsent(10)})},
        {"users: leading zero first", Page::Users,
         [](PanelConfig& c, EditorState&) {
             c.users[0].password = U("0123");
             c.users[1].password = U("9999");
         },
         T({text::pwdZero})},
        {"users: uniqueness shown by the sequence", Page::Users,
         [](PanelConfig& c, EditorState&) { c.users[1].password = c.users[0].password; },
         T({text::pwdUnique})},
        {"users: 9999", Page::Users, [](PanelConfig& c, EditorState&) { c.users[5].password = U("9999"); },
         T({text::pwd9999})},
        {"users: hidden cell without hidden passwords", Page::Users,
         [](PanelConfig& c, EditorState&) { c.users[5].password = model::kHiddenPassword; },
         T({text::hidden})},
        {"key codes are not sent",
         Page::Zones,
         [](PanelConfig& c, EditorState&) { c.UVICode[0] = U("ABC"); },
         {}},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        EditorState state = remoteState(c.page);
        c.edit(cfg, state);
        RecordingUi ui;
        EXPECT_EQ(writeSequence(cfg, state, ui), c.expected.isEmpty() ? Verdict::GoOn : Verdict::Stop)
            << c.name;
        EXPECT_EQ(ui.texts(), c.expected) << c.name;
    }
}

TEST(RemoteWrite, TypedPasswordsReplaceHiddenOnesAndAreWhatIsTested) {
    const struct {
        const char* name;
        std::initializer_list<const char*> hidden;            // users 1.. after the read
        std::vector<std::pair<int, const char*>> typed;       // user index, cell
        std::vector<std::pair<int, const char*>> hiddenAfter; // user index, entry
        QStringList expected;
    } cases[] = {
        {"kept hidden passwords are tested",
         {"1234", "1235"},
         {},
         {{0, "1234"}, {1, "1235"}},
         T({text::pwdNeighbours})},
        {"a typed password replaces the kept one",
         {"1234", "1235"},
         {{1, "5000"}},
         {{0, "1234"}, {1, "5000"}},
         {}},
        {"inactive and hidden cells keep the entry",
         {"1234", "5000", "6000"},
         {{1, "0000"}},
         {{1, "5000"}, {2, "6000"}},
         {}},
        {"a cell with a leading zero is not copied", {"1234", "5000"}, {{1, "0123"}}, {{1, "5000"}}, {}},
        {"the copy stays when a later check stops",
         {"1234", "5000", "7000"},
         {{1, "7001"}, {3, "1235"}},
         {{1, "7001"}, {3, "1235"}},
         T({text::pwdNeighbours})},
        {"typed passwords shared within a group",
         {"1234", "5000"},
         {{1, "1234"}},
         {{1, "1234"}},
         T({text::pwdUnique})},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        hidePasswords(cfg, c.hidden);
        for (const auto& t : c.typed)
            cfg.users[size_t(t.first)].password = U(t.second);
        EditorState state = remoteState(Page::Users);
        RecordingUi ui;
        EXPECT_EQ(writeSequence(cfg, state, ui), c.expected.isEmpty() ? Verdict::GoOn : Verdict::Stop)
            << c.name;
        EXPECT_EQ(ui.texts(), c.expected) << c.name;
        for (const auto& h : c.hiddenAfter)
            EXPECT_EQ(cfg.hiddenPasswords[size_t(h.first)], U(h.second)) << c.name << " user " << h.first + 1;
        EXPECT_TRUE(cfg.passwordsHidden) << c.name;
    }
}

TEST(RemoteWrite, WithoutHiddenPasswordsTheCellsAreTested) {
    PanelConfig cfg = validConfig();
    cfg.users[2].password = U("3000");
    cfg.users[3].password = U("2999");
    EditorState state = remoteState(Page::Users);
    RecordingUi ui;
    EXPECT_EQ(writeSequence(cfg, state, ui), Verdict::Stop);
    EXPECT_EQ(ui.texts(), T({text::pwdNeighbours}));
}

TEST(WriteAndSave, ApnCharacterTheFrameCannotCarryIsRefused) {
    // A value read from a panel, a file or the station is shown as it came; only what is sent or
    // saved is refused, and only where the APN is part of it.
    const struct {
        const char* name;
        Mode mode;
        Page page;
        bool save;
        QStringList expected;
    } cases[] = {
        {"local write", Mode::Local, Page::Network, false, T({text::badApn})},
        {"local write from another page", Mode::Local, Page::Zones, false, T({text::badApn})},
        {"save", Mode::Local, Page::Users, true, T({text::badApn})},
        {"remote write of the network block", Mode::Remote, Page::Network, false, T({text::badApn})},
        {"remote write of a block without APNs", Mode::Remote, Page::Users, false, {}},
    };
    for (const auto& c : cases) {
        for (const char* apn : {"\u0456nternet", "intern\u00e9t", "a\"b"}) {
            PanelConfig cfg = validConfig();
            cfg.apn2 = U(apn);
            EditorState state = c.mode == Mode::Local ? localState() : remoteState(c.page);
            state.openPage = c.page;
            RecordingUi ui;
            const Verdict verdict = c.save ? saveSequence(cfg, state, ui) : writeSequence(cfg, state, ui);
            EXPECT_EQ(verdict, c.expected.isEmpty() ? Verdict::GoOn : Verdict::Stop) << c.name << " " << apn;
            EXPECT_EQ(ui.texts(), c.expected) << c.name << " " << apn;
        }
    }
}
