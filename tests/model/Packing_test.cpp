#include "common/Errors.h"
#include "model/FrameCodec.h"
#include "model/Packing.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"

#include <gtest/gtest.h>

using namespace zorel8z;
using namespace zorel8z::model;
using controller::TController;

namespace {
const TController ctl;
QString L(const char* s) { return QString::fromLatin1(s); }
const QString kFormat = QStringLiteral("Помилковий формат конфігурації!");

ParsedParams freshParams() {
    ParsedParams p;
    const ParamTexts t = packParams(PanelConfig());
    p.PwdLev1 = t.p1;
    p.PwdLev2 = t.p2;
    p.LowLevelV = t.low;
    p.HiLevelV = t.hi;
    p.ppkType = t.ppkType;
    p.timeDelay = t.timeDelay;
    p.timeDelay2 = t.timeDelay2;
    p.UKworkTime = t.UKworkTime;
    p.UKon_off = t.UKon + t.UKoff;
    p.UKinvert = t.UKinvert;
    p.Set12 = t.Set1 + t.Set2;
    return p;
}
} // namespace

TEST(Packing, UnquoteAndZeroFills) {
    const struct {
        const char* in;
        const char* out;
    } unq[] = {{"\"abc\"", "abc"}, {"\"\"\"x\"\"", "x"}, {"\"\"\"\"", ""}, {"a\"b", "a\"b"}, {"5", "5"}, {"", ""}};
    for (const auto& c : unq)
        EXPECT_EQ(unquote(L(c.in)), L(c.out)) << c.in;
    const struct {
        const char* in;
        const char* three;
        const char* two;
    } fills[] = {{"", "", ""}, {"5", "005", "05"}, {"45", "045", "45"}, {"123", "123", "123"}, {"1234", "1234", "1234"}};
    for (const auto& c : fills) {
        EXPECT_EQ(zeroFill3(L(c.in)), L(c.three)) << c.in;
        EXPECT_EQ(zeroFill2(L(c.in)), L(c.two)) << c.in;
    }
}

TEST(Packing, FreshRecordPacksItsDefaults) {
    const PanelConfig c;
    const ParamTexts t = packParams(c);
    EXPECT_EQ(t.UKon + t.UKoff, L("005060"));
    EXPECT_EQ(t.timeDelay, L("30"));
    EXPECT_EQ(t.UKworkTime, L("040"));
    EXPECT_EQ(t.Set1 + t.Set2, L("00"));
    EXPECT_EQ(packZones(c), L("100100100100100100100100"));
    EXPECT_EQ(packUsers(ctl, c), L("QRSD") + L("PPP@").repeated(23));
    EXPECT_EQ(packKeyCodes(c), QString(384, QLatin1Char('0')));
}

TEST(Packing, SetCharacters) {
    const struct {
        SetInput in;
        const char* ch;
    } cases[] = {{{0, false}, "0"}, {{3, false}, "3"}, {{8, false}, "8"}, {{1, true}, "a"}, {{8, true}, "h"}, {{0, true}, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(setChar(c.in), L(c.ch));
}

TEST(Packing, UnpackSetAndTimerTexts) {
    const SetInput before1{5, false}, before2{6, true};
    const struct {
        const char* l;
        SetInput set1, set2;
        bool message;
    } cases[] = {
        {"0a", {0, false}, {1, true}, false}, {"9h", before1, {8, true}, false}, {"3z", {3, false}, before2, false},
        {"1", before1, before2, true},        {"123", before1, before2, true},   {"", before1, before2, true},
    };
    for (const auto& c : cases) {
        PanelConfig cfg;
        cfg.Set1 = before1;
        cfg.Set2 = before2;
        ParsedParams p = freshParams();
        p.Set12 = L("\"") + L(c.l) + L("\"");
        test::RecordingUi ui;
        unpackParams(cfg, p, ui);
        EXPECT_EQ(cfg.Set1, c.set1) << c.l;
        EXPECT_EQ(cfg.Set2, c.set2) << c.l;
        EXPECT_EQ(ui.texts(), c.message ? QStringList{kFormat} : QStringList{}) << c.l;
    }
}

TEST(Packing, UnpackNumbersClampAndSplit) {
    PanelConfig cfg;
    ParsedParams p = freshParams();
    p.timeDelay = L("\"00\"");
    p.timeDelay2 = L("\"99\"");
    p.UKworkTime = L("\"100\"");
    p.UKon_off = L("\"000099\"");
    test::RecordingUi ui;
    unpackParams(cfg, p, ui);
    EXPECT_EQ(cfg.timeDelay, 1);
    EXPECT_EQ(cfg.timeDelay2, 45);
    EXPECT_EQ(cfg.UKworkTime, 60);
    EXPECT_EQ(cfg.UKon, 1);
    EXPECT_EQ(cfg.UKoff, 60);

    p = freshParams();
    p.UKon_off = L("\"005060\"");
    p.PwdLev1 = L("\"00001\"");
    unpackParams(cfg, p, ui);
    EXPECT_EQ(cfg.UKon, 5);
    EXPECT_EQ(cfg.UKoff, 60);
    EXPECT_EQ(cfg.PwdLev1, L("00001"));
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST(Packing, BadTimerAndSetTextsEachReportAndTheRestApplies) {
    PanelConfig cfg;
    ParsedParams p = freshParams();
    p.UKon_off = L("\"0560\"");
    p.Set12 = L("\"1\"");
    p.UKinvert = L("\"1\"");
    test::RecordingUi ui;
    unpackParams(cfg, p, ui);
    EXPECT_EQ(ui.texts(), (QStringList{kFormat, kFormat}));
    EXPECT_EQ(cfg.UKinvert, 1);
    EXPECT_EQ(cfg.UKon, 5);
}

TEST(Packing, NonIntegerParameterStopsWithWhatCameBeforeSet) {
    PanelConfig cfg;
    ParsedParams p = freshParams();
    p.PwdLev1 = L("\"99999\"");
    p.timeDelay = L("\"30\"");
    p.ppkType = L("\"x\"");
    p.timeDelay = L("\"10\"");
    test::RecordingUi ui;
    EXPECT_THROW(unpackParams(cfg, p, ui), ConversionError);
    EXPECT_EQ(cfg.PwdLev1, L("99999"));
    EXPECT_EQ(cfg.timeDelay, 30);
}

TEST(Packing, UsersWithHiddenPasswords) {
    PanelConfig cfg;
    cfg.passwordsHidden = true;
    for (int k = 0; k < kUserCount; ++k) {
        cfg.users[size_t(k)] = {QStringLiteral("2"), kHiddenPassword};
        cfg.hiddenPasswords[size_t(k)] = QStringLiteral("7777");
    }
    cfg.users[1].password = L("4321"); // a fresh password replaces the hidden one
    cfg.users[2].password = L("0000"); // not fresh: the hidden one is packed
    cfg.users[3].password = L("0123"); // not fresh either
    const QString packed = packUsers(ctl, cfg);
    QString g, p;
    const char* expected[] = {"7777", "4321", "7777", "7777", "7777"};
    for (int k = 0; k < 5; ++k) {
        ctl.decodePwd(packed.mid(4 * k, 4), g, p);
        EXPECT_EQ(p, L(expected[k])) << k;
        EXPECT_EQ(g, L("2"));
    }
    EXPECT_EQ(cfg.users[1].password, L("4321")); // packing changes nothing

    // Unpacking while hidden fills the hidden list and shows stars.
    PanelConfig other;
    other.passwordsHidden = true;
    unpackUsers(ctl, other, L("\"") + packed + L("\""));
    EXPECT_EQ(other.users[1].password, kHiddenPassword);
    EXPECT_EQ(other.hiddenPasswords[1], L("4321"));
    EXPECT_EQ(other.users[1].group, L("2"));
}

TEST(Packing, ShortUsersTextLeavesTheLastUsersEmpty) {
    PanelConfig cfg;
    unpackUsers(ctl, cfg, L("\"QRCDPPP@\""));
    EXPECT_EQ(cfg.users[0], (UserEntry{L("3"), L("1234")}));
    EXPECT_EQ(cfg.users[1], (UserEntry{L("1"), L("0000")}));
    EXPECT_EQ(cfg.users[2], (UserEntry{QString(), QString()}));
    EXPECT_EQ(cfg.users[23], (UserEntry{QString(), QString()}));
}

TEST(Packing, EmptyGroupCellIsAConversionError) {
    PanelConfig cfg;
    cfg.users[5].group.clear();
    EXPECT_THROW(packUsers(ctl, cfg), ConversionError);
}

TEST(Packing, Zones) {
    PanelConfig cfg;
    unpackZones(cfg, L("\"121100100100100100100100\""));
    EXPECT_EQ(cfg.lines[0], (ZoneEntry{1, 2, 1}));
    EXPECT_EQ(cfg.lines[0].zoneType(), ZoneType::EntryPoint);
    EXPECT_EQ(cfg.lines[0].zoneModifier(), ZoneModifier::PanicButton);
    // Digits outside the lists are kept and written back unchanged.
    unpackZones(cfg, L("\"049100100100100100100900\""));
    EXPECT_EQ(cfg.lines[0], (ZoneEntry{0, 4, 9}));
    EXPECT_EQ(packZones(cfg), L("049100100100100100100900"));

    const PanelConfig before = cfg;
    for (const char* bad : {"\"12110010010010010010010\"", "\"1211001001001001001001000\"", "\"12110010010010010010010x\"", ""}) {
        EXPECT_THROW(unpackZones(cfg, L(bad)), FormatError) << bad;
        EXPECT_EQ(cfg.lines, before.lines);
    }
}

TEST(Packing, KeyCodesAndNetwork) {
    PanelConfig cfg;
    unpackKeyCodes(cfg, L("\"0123456789ABCDEF01\""));
    EXPECT_EQ(cfg.UVICode[0], L("0123456789ABCDEF"));
    EXPECT_EQ(cfg.UVICode[1], L("01"));
    EXPECT_EQ(cfg.UVICode[2], QString());

    unpackNetwork(cfg, {L("\"70000\""), L("\"internet\""), L("\"010.001.002.003\""), L("\"80\""), L("\"\""),
                        L("\"123456\"")});
    EXPECT_EQ(cfg.numPPK, 65536);
    EXPECT_EQ(cfg.apn, L("internet"));
    EXPECT_EQ(cfg.serverIP, L("010.001.002.003"));
    EXPECT_EQ(cfg.serverPort, 80);
    EXPECT_EQ(cfg.pwd, L("123456"));
    EXPECT_THROW(unpackNetwork(cfg, {L("\"1\""), {}, {}, L("\"\""), {}, {}}), ConversionError);
}

TEST(Packing, RandomRecordsSurviveFrameAndBack) {
    test::RandomConfig gen(20261210);
    for (int k = 0; k < 300; ++k) {
        const PanelConfig original = gen.next();
        const QString frame = buildWriteFrame(ctl, original);
        ASSERT_EQ(frame.size(), 1001) << k;
        PanelConfig decoded; // starts from defaults: every field must come from the frame
        test::RecordingUi ui;
        decodeFileText(ctl, frame.mid(2), decoded, ui);
        ASSERT_TRUE(ui.texts().isEmpty());
        ASSERT_TRUE(decoded.sameSettings(original)) << k << " " << frame.toStdString();
    }
}

TEST(Packing, UsbWriteRemovesBlanksFromAddresses) {
    PanelConfig cfg;
    cfg.serverIP = L(" 10.  0.  0.  1");
    cfg.redIP = L("  1.  2.  3.  4");
    const QString f = buildWriteFrame(ctl, cfg, true);
    EXPECT_TRUE(f.contains(L("\"i\":\"10.0.0.1\"")));
    EXPECT_TRUE(f.contains(L("\"i\":\"1.2.3.4\"")));
    EXPECT_TRUE(buildWriteFrame(ctl, cfg).contains(L("\"i\":\" 10.  0.  0.  1\"")));
}
