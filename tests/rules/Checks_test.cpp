#include "rules/Checks.h"
#include "rules/RulesSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zorel8z;
using namespace zorel8z::rules;
using namespace zorel8z::test::rules;
using model::PanelConfig;
using test::RecordingUi;

namespace {
using Edit = std::function<void(PanelConfig&, EditorState&)>;

// Users are given as "group:password" cells from user 1 on; the rest keep their defaults.
void setUsers(PanelConfig& c, std::initializer_list<const char*> cells) {
    int k = 0;
    for (const char* cell : cells) {
        const QStringList parts = U(cell).split(QLatin1Char(':'));
        c.users[size_t(k)] = {parts[0], parts[1]};
        ++k;
    }
}
} // namespace

TEST(NormalizeIP, GroupsAreTrimmedZeroFilledAndBounded) {
    const struct {
        const char* in;
        const char* out; // nullptr: the address does not normalise
    } cases[] = {
        {"", ""},
        {"10.0.0.1", "010.000.000.001"},
        {"192.168.1  .5  ", "192.168.001.005"},
        {"  1.  2. 3 .  4", "001.002.003.004"},
        {"   .   .   .   ", "000.000.000.000"},
        {"255.255.255.255", "255.255.255.255"},
        {"001.002.003.0004", "001.002.003.004"},
        {"256.0.0.1", nullptr},
        {"1.2.300.4", nullptr},
        {"1.2.3.256", nullptr},
        {"4294967296.0.0.1", nullptr},
        {"1.2.3", nullptr},
        {"1.2.3.4.5", nullptr},
        {"1.2.-3.4", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<QString> got = NormalizeIP(U(c.in));
        if (c.out) {
            ASSERT_TRUE(got.has_value()) << c.in;
            EXPECT_EQ(*got, U(c.out)) << c.in;
        } else {
            EXPECT_FALSE(got.has_value()) << c.in;
        }
    }
}

TEST(CheckIPFormat, FourOctetsAtFixedPositions) {
    const struct {
        const char* in;
        bool ok;
    } cases[] = {
        {"010.000.000.001", true},  {"255.255.255.255", true},  {"10 .0  .0  .1  ", true},
        {" 10. 0 .  0.  1", true},  {"010.000.000.1", true},    {"256.000.000.001", false},
        {"010.000.000.   ", false}, {"010.000.000", false},     {"", false},
        {"1.2.3.4", false},         {"0a0.000.000.001", false}, {"010.000.000.300", false},
        {"-01.000.000.001", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckIPFormat(U(c.in)), c.ok) << c.in;
}

TEST(CheckNetSettings, FirstFailingTestInOrderAndModeDependentRedundantServer) {
    const struct {
        const char* name;
        Mode mode;
        Edit edit;
        QStringList expected;
    } cases[] = {
        {"valid", Mode::Local, [](PanelConfig&, EditorState&) {}, {}},
        {"panel number 0", Mode::Local, [](PanelConfig& c, EditorState&) { c.numPPK = 0; },
         T({text::numConfPPKZero})},
        {"main address zero", Mode::Local,
         [](PanelConfig& c, EditorState&) { c.serverIP = model::kZeroAddress; }, T({text::serverIPZero})},
        {"unpadded zero address is not the zero text",
         Mode::Local,
         [](PanelConfig& c, EditorState&) { c.serverIP = U("0.0.0.0"); },
         {}},
        {"main port 0", Mode::Local, [](PanelConfig& c, EditorState&) { c.serverPort = 0; },
         T({text::serverPortZero})},
        {"emptied main port is not the text 0",
         Mode::Local,
         [](PanelConfig& c, EditorState& s) {
             c.serverPort = 0;
             s.blankSpinEdits.insert(Control::seServerPort);
         },
         {}},
        {"redundant address zero, local", Mode::Local,
         [](PanelConfig& c, EditorState&) { c.redIP = model::kZeroAddress; }, T({text::redIPZero})},
        {"redundant port 0, local", Mode::Local, [](PanelConfig& c, EditorState&) { c.redPort = 0; },
         T({text::redPortZero})},
        {"redundant server unset, remote",
         Mode::Remote,
         [](PanelConfig& c, EditorState&) {
             c.redIP = model::kZeroAddress;
             c.redPort = 0;
         },
         {}},
        {"six blanks are a password",
         Mode::Local,
         [](PanelConfig& c, EditorState&) { c.pwd = U("      "); },
         {}},
        {"empty password", Mode::Local, [](PanelConfig& c, EditorState&) { c.pwd.clear(); },
         T({text::remotePwd})},
        {"short password", Mode::Local, [](PanelConfig& c, EditorState&) { c.pwd = U("12345"); },
         T({text::remotePwd})},
        {"empty password, remote", Mode::Remote, [](PanelConfig& c, EditorState&) { c.pwd.clear(); },
         T({text::remotePwd})},
        {"partly typed password", Mode::Local, [](PanelConfig& c, EditorState&) { c.pwd = U("123   "); },
         T({text::remotePwd})},
        {"password with blanks inside, remote", Mode::Remote,
         [](PanelConfig& c, EditorState&) { c.pwd = U("12 456"); }, T({text::remotePwd})},
        {"password ending in blanks before a zero", Mode::Local,
         [](PanelConfig& c, EditorState&) { c.pwd = U("   012"); }, T({text::remotePwd})},
        {"password with a letter", Mode::Local, [](PanelConfig& c, EditorState&) { c.pwd = U("12345a"); },
         T({text::remotePwd})},
        {"seven characters", Mode::Local, [](PanelConfig& c, EditorState&) { c.pwd = U("1234567"); },
         T({text::remotePwd})},
        {"password with leading zero", Mode::Remote,
         [](PanelConfig& c, EditorState&) { c.pwd = U("012345"); }, T({text::remotePwdZero})},
        {"APN 1", Mode::Local, [](PanelConfig& c, EditorState&) { c.apn.clear(); }, T({text::apn1})},
        {"APN 2", Mode::Local, [](PanelConfig& c, EditorState&) { c.apn2.clear(); }, T({text::apn2})},
        {"only the first of several", Mode::Local,
         [](PanelConfig& c, EditorState&) {
             c.serverPort = 0;
             c.redIP = model::kZeroAddress;
             c.apn2.clear();
         },
         T({text::serverPortZero})},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        EditorState state;
        state.mode = c.mode;
        c.edit(cfg, state);
        RecordingUi ui;
        EXPECT_EQ(CheckNetSettings(cfg, state, ui), c.expected.isEmpty()) << c.name;
        EXPECT_EQ(ui.texts(), c.expected) << c.name;
    }
}

TEST(CheckUsersFilled, GroupThenPasswordUserByUser) {
    const struct {
        std::initializer_list<const char*> users;
        QStringList expected;
    } cases[] = {
        {{"8:1234", "1:0000"}, {}},
        {{"1:****"}, {}},
        {{":1234"}, T({text::groupMissing})},
        {{"9:1234"}, T({text::groupMissing})},
        {{"0:1234"}, T({text::groupMissing})},
        {{"12:1234"}, T({text::groupMissing})},
        {{"1:123"}, T({text::pwdLength})},
        {{"1:12345"}, T({text::pwdLength})},
        // User 1's password comes before user 2's group.
        {{"1:12", "9:1234"}, T({text::pwdLength})},
        {{"9:12"}, T({text::groupMissing})},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        setUsers(cfg, c.users);
        RecordingUi ui;
        EXPECT_EQ(CheckUsersFilled(cfg, ui), c.expected.isEmpty()) << *c.users.begin();
        EXPECT_EQ(ui.texts(), c.expected) << *c.users.begin();
    }
}

TEST(CheckUserGroups, OneMessagePerUserWhoseGroupHasNoZone) {
    PanelConfig cfg = validConfig();
    for (int k : {2, 6, 11})
        cfg.users[size_t(k)].group = U("2");
    cfg.users[20].group = QString();
    RecordingUi ui;
    EXPECT_FALSE(CheckUserGroups(cfg, ui));
    EXPECT_EQ(ui.texts(), QStringList({groupAbsent(3), groupAbsent(7), groupAbsent(12), groupAbsent(21)}));
    for (const auto& m : ui.messages)
        EXPECT_EQ(m.first, MsgIcon::Error);

    cfg.lines[4].group = 2;
    cfg.users[20].group = U("2");
    RecordingUi quiet;
    EXPECT_TRUE(CheckUserGroups(cfg, quiet));
    EXPECT_TRUE(quiet.messages.empty());
}

TEST(CheckParamsFilled, EmptySpinFieldsAndIncompleteFiveDigitFields) {
    const struct {
        const char* name;
        Edit edit;
        bool ok;
    } cases[] = {
        {"valid", [](PanelConfig&, EditorState&) {}, true},
        {"UK work time", [](PanelConfig&, EditorState& s) { s.blankSpinEdits.insert(Control::seUKworkTime); },
         false},
        {"UK on", [](PanelConfig&, EditorState& s) { s.blankSpinEdits.insert(Control::seUKon); }, false},
        {"UK off", [](PanelConfig&, EditorState& s) { s.blankSpinEdits.insert(Control::seUKoff); }, false},
        {"delay 1-4", [](PanelConfig&, EditorState& s) { s.blankSpinEdits.insert(Control::sePPKDelayTime); },
         false},
        {"delay 5-8", [](PanelConfig&, EditorState& s) { s.blankSpinEdits.insert(Control::sePPKDelayTime2); },
         false},
        {"an emptied field of another page",
         [](PanelConfig&, EditorState& s) { s.blankSpinEdits.insert(Control::seServerPort); }, true},
        {"admin password short", [](PanelConfig& c, EditorState&) { c.PwdLev1 = U("1234 "); }, false},
        {"engineer password empty", [](PanelConfig& c, EditorState&) { c.PwdLev2.clear(); }, false},
        {"low level with a blank inside", [](PanelConfig& c, EditorState&) { c.LowLevelV = U("11 00"); },
         false},
        {"high level of six digits", [](PanelConfig& c, EditorState&) { c.HiLevelV = U("142000"); }, false},
        {"zeros are digits", [](PanelConfig& c, EditorState&) { c.PwdLev2 = U("00000"); }, true},
        {"several at once, one message",
         [](PanelConfig& c, EditorState& s) {
             s.blankSpinEdits.insert(Control::seUKon);
             c.PwdLev1.clear();
         },
         false},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        EditorState state;
        c.edit(cfg, state);
        RecordingUi ui;
        EXPECT_EQ(CheckParamsFilled(cfg, state, ui), c.ok) << c.name;
        EXPECT_EQ(ui.texts(), c.ok ? QStringList() : T({text::paramsEmpty})) << c.name;
    }
}

TEST(PasswordChecks, GridVariantOverUserTables) {
    // Expected outcome of the four checks: leading zero, uniqueness, neighbours, 9999.
    const struct {
        std::initializer_list<const char*> users;
        bool zero, unique, neighbours, nines;
    } cases[] = {
        {{"1:0000", "1:0000", "1:0000"}, true, true, true, true},
        {{"1:0123"}, false, true, true, true},
        {{"1:0001", "1:0002"}, false, true, false, true},
        {{"2:1234", "1:5555", "2:1234"}, true, false, true, true},
        {{"2:1234", "3:1234"}, true, true, true, true},
        {{"1:1234", "5:1235"}, true, true, false, true},
        {{"1:1235", "5:1234"}, true, true, false, true},
        {{"1:1234", "1:1236"}, true, true, true, true},
        {{"1:1234", "1:1234", "1:1235"}, true, false, false, true},
        {{"1:1000", "2:0999"}, false, true, false, true},
        {{"1:0000", "2:1000"}, true, true, true, true},
        {{"1:9999"}, true, true, true, false},
        {{"1:9998", "2:9999"}, true, true, false, false},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        setUsers(cfg, c.users);
        RecordingUi ui;
        EXPECT_EQ(CheckPwdLeadingZero(cfg, PasswordSource::Grid, ui), c.zero) << *c.users.begin();
        EXPECT_EQ(CheckPwdUnique(cfg, PasswordSource::Grid), c.unique) << *c.users.begin();
        EXPECT_EQ(CheckPwdNeighbours(cfg, PasswordSource::Grid, ui), c.neighbours) << *c.users.begin();
        EXPECT_EQ(CheckPwd9999(cfg, PasswordSource::Grid, ui), c.nines) << *c.users.begin();
        QStringList expected;
        if (!c.zero)
            expected << U(text::pwdZero);
        if (!c.neighbours)
            expected << U(text::pwdNeighbours);
        if (!c.nines)
            expected << U(text::pwd9999);
        EXPECT_EQ(ui.texts(), expected) << *c.users.begin();
    }
}

TEST(PasswordChecks, PackedVariantReadsHiddenPasswordsUnlessACellHoldsAFreshOne) {
    PanelConfig cfg = validConfig();
    cfg.passwordsHidden = true;
    for (int k = 0; k < model::kUserCount; ++k) {
        cfg.users[size_t(k)].password = model::kHiddenPassword;
        cfg.hiddenPasswords[size_t(k)] = U("0000");
    }
    cfg.hiddenPasswords[0] = U("1234");
    cfg.hiddenPasswords[1] = U("1234");
    cfg.users[2].password = U("0000"); // packs the hidden password, not the cell
    cfg.hiddenPasswords[2] = U("4321");
    cfg.users[3].password = U("7777");
    cfg.hiddenPasswords[3] = U("1235");

    const QString expected[] = {U("1234"), U("1234"), U("4321"), U("7777"), U("0000")};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(passwordOf(cfg, k, PasswordSource::Packed), expected[k]) << k;
    EXPECT_EQ(passwordOf(cfg, 2, PasswordSource::Grid), U("0000"));

    // Users 1 and 2 share a hidden password in group 1; user 4's typed 7777 hides its 1235.
    EXPECT_FALSE(CheckPwdUnique(cfg, PasswordSource::Packed));
    RecordingUi ui;
    EXPECT_TRUE(CheckPwdNeighbours(cfg, PasswordSource::Packed, ui));
    cfg.users[3].password = model::kHiddenPassword;
    EXPECT_FALSE(CheckPwdNeighbours(cfg, PasswordSource::Packed, ui));
    EXPECT_EQ(ui.texts(), T({text::pwdNeighbours}));

    cfg.passwordsHidden = false;
    cfg.users[0].password = U("2000");
    EXPECT_EQ(passwordOf(cfg, 0, PasswordSource::Packed), U("2000"));
    EXPECT_EQ(passwordOf(cfg, 2, PasswordSource::Packed), U("0000"));
}

TEST(CheckCodesUnique, RepeatedNonEmptyCodesFail) {
    const QString a = U("0123456789ABCDEF");
    const QString b = U("FEDCBA9876543210");
    const struct {
        std::vector<QString> codes; // from user 1 on; the rest stay empty
        bool ok;
    } cases[] = {
        {{}, true},
        {{a, b}, true},
        {{a, b, a}, false},
        {{model::kEmptyKeyCode, b, model::kEmptyKeyCode, b}, false},
        {{U("00000000000000AB"), U("0000000000000AB0")}, true},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        for (size_t k = 0; k < c.codes.size(); ++k)
            cfg.UVICode[k] = c.codes[k];
        EXPECT_EQ(CheckCodesUnique(cfg), c.ok) << c.codes.size();
    }
}

TEST(CheckAdminPwd, LeadingZeroOnly) {
    const struct {
        const char* pwd;
        bool ok;
    } cases[] = {{"12345", true}, {"01234", false}, {"00000", false}, {"", true}, {"10000", true}};
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        cfg.PwdLev1 = U(c.pwd);
        RecordingUi ui;
        EXPECT_EQ(CheckAdminPwd(cfg, ui), c.ok) << c.pwd;
        EXPECT_EQ(ui.texts(), c.ok ? QStringList() : T({text::adminZero})) << c.pwd;
    }
}

TEST(CheckEntries, RunsEveryStepAndShowsEachFailureInOrder) {
    PanelConfig cfg = validConfig();
    setUsers(cfg, {"1:0123", "1:0123", "2:1234", "3:1235", "4:9999"});
    cfg.UVICode[3] = U("00000000000000AB");
    cfg.UVICode[8] = U("00000000000000AB");
    cfg.PwdLev1 = U("01234");
    cfg.serverIP = U("256.000.000.001");
    cfg.redIP = U("1.2.3.4");
    RecordingUi ui;
    EXPECT_FALSE(CheckEntries(cfg, PasswordSource::Grid, ui));
    EXPECT_EQ(ui.texts(), T({text::pwdZero, text::pwdUnique, text::pwdNeighbours, text::pwd9999,
                             text::codesUnique, text::adminZero, text::mainFormat, text::redFormat}));
    for (const auto& m : ui.messages)
        EXPECT_EQ(m.first, MsgIcon::Error);

    // A late failure alone still fails the whole check.
    PanelConfig late = validConfig();
    late.redIP = U("010.000.000.   ");
    RecordingUi one;
    EXPECT_FALSE(CheckEntries(late, PasswordSource::Grid, one));
    EXPECT_EQ(one.texts(), T({text::redFormat}));

    RecordingUi none;
    EXPECT_TRUE(CheckEntries(validConfig(), PasswordSource::Grid, none));
    EXPECT_TRUE(none.messages.empty());
}

TEST(CheckKeyCodeFormat, SixteenUpperCaseHexDigits) {
    const struct {
        const char* code;
        bool ok;
    } cases[] = {
        {"0123456789ABCDEF", true},  {"0000000000000000", true},    {"0123456789abcdef", false},
        {"0123456789ABCDE", false},  {"0123456789ABCDEF0", false},  {"0123456789ABCDEG", false},
        {"01234567 9ABCDEF", false}, {"0123456789ABCD\r\n", false}, {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isKeyCode(U(c.code)), c.ok) << c.code;
        PanelConfig cfg = validConfig();
        cfg.UVICode[23] = U(c.code);
        RecordingUi ui;
        EXPECT_EQ(CheckKeyCodeFormat(cfg, ui), c.ok) << c.code;
        EXPECT_EQ(ui.texts(), c.ok ? QStringList() : T({text::badCode})) << c.code;
    }
}

TEST(CheckPasswordCells, HiddenCellsOnlyWhereTheHiddenPasswordIsUsed) {
    const struct {
        const char* name;
        const char* cell; // user 5's cell
        bool passwordsHidden;
        const char* hiddenPassword; // user 5's
        bool allowHidden;
        QStringList expected;
    } cases[] = {
        {"digits", "1234", false, "", false, {}},
        {"hidden cell in a local write", "****", true, "5678", false, T({text::hidden})},
        {"hidden cell where allowed", "****", true, "5678", true, {}},
        {"hidden cell without hidden passwords", "****", false, "", true, T({text::hidden})},
        {"hidden cell whose hidden password is missing", "****", true, "", true, T({text::hidden})},
        {"inactive cell packs a missing hidden password", "0000", true, "", true, T({text::hidden})},
        {"fresh cell needs no hidden password", "4321", true, "", true, {}},
        {"short cell", "12", false, "", true, T({text::pwdLength})},
        {"blank inside", "12 4", false, "", false, T({text::pwdLength})},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = validConfig();
        cfg.passwordsHidden = c.passwordsHidden;
        for (auto& h : cfg.hiddenPasswords)
            h = U("0000");
        cfg.users[4].password = U(c.cell);
        cfg.hiddenPasswords[4] = U(c.hiddenPassword);
        RecordingUi ui;
        EXPECT_EQ(CheckPasswordCells(cfg, c.allowHidden, ui), c.expected.isEmpty()) << c.name;
        EXPECT_EQ(ui.texts(), c.expected) << c.name;
    }
}

TEST(CheckRemoteAccess, PanelNumberPasswordAndSixteenBitLimits) {
    const struct {
        int num;
        const char* pwd;
        int port;
        QStringList expected;
    } cases[] = {
        {57, "123456", 15001, {}},
        {65535, "1", 65535, {}},
        {1, "1", 1, {}},
        {0, "", 0, T({text::numPPKZero})},
        {65536, "123456", 15001, T({text::numPPKRange})},
        {999999999, "", 15001, T({text::numPPKRange})},
        {57, "", 0, T({text::remotePwd})},
        {57, "123456", 0, T({text::portRange})},
        {57, "123456", 65536, T({text::portRange})},
    };
    for (const auto& c : cases) {
        EditorState s;
        s.seNumPPK = c.num;
        s.edPwd = U(c.pwd);
        s.seRemoteServerPort = c.port;
        RecordingUi ui;
        EXPECT_EQ(CheckRemoteAccess(s, ui), c.expected.isEmpty()) << c.num << " " << c.port;
        EXPECT_EQ(ui.texts(), c.expected) << c.num << " " << c.port;
    }
}

TEST(CheckRemoteServerIP, NamesAStationOrRefuses) {
    const struct {
        const char* address;
        bool ok;
    } cases[] = {
        {"127.000.000.001", true},
        {"127.0.0.1", true},
        {" 10.  0.  0.  1", true},
        {"000.000.000.000", false},
        {"0.0.0.0", false},
        {"   .   .   .   ", false},
        {"", false},
        {"256.0.0.1", false},
        {"10.0.0", false},
        {"1O.0.0.1", false},
    };
    for (const auto& c : cases) {
        RecordingUi ui;
        EXPECT_EQ(CheckRemoteServerIP(U(c.address), ui), c.ok) << c.address;
        EXPECT_EQ(ui.texts(), c.ok ? QStringList() : T({text::badRemoteIP})) << c.address;
    }
}

TEST(CheckApnChars, PrintableAsciiWithoutQuoteOrBackslash) {
    const struct {
        QString apn;
        bool ok;
    } cases[] = {
        {U("internet"), true},
        {U(""), true},
        {U(" !#$%&'()*+,-./0123456789:;<=>?@AZ[]^_`az{|}~"), true},
        {U("intern\u00e9t"), false}, // é, as a \u escape reads
        {U("\u0456nternet"), false}, // Cyrillic і
        {U("a\"b"), false},
        {U("a\\b"), false},
        {U("a\tb"), false},
        {U("a\x7f"), false},
        {QString(QChar(0)), false},
    };
    for (const auto& c : cases) {
        for (int field = 1; field <= 2; ++field) {
            PanelConfig cfg = validConfig();
            (field == 1 ? cfg.apn : cfg.apn2) = c.apn;
            RecordingUi ui;
            EXPECT_EQ(CheckApnChars(cfg, ui), c.ok) << c.apn.toStdString() << " in APN " << field;
            EXPECT_EQ(ui.texts(), c.ok ? QStringList() : T({text::badApn})) << c.apn.toStdString();
        }
    }
}
