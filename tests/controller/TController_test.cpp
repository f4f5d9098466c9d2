#include "common/Errors.h"
#include "controller/TController.h"
#include "model/FrameCodec.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

using namespace zorel8z;
using controller::TController;
using model::ConnectionType;

namespace {

const TController ctl;

QString L(const char* s) { return QString::fromLatin1(s); }

// A received-form frame (no "->") built from a fresh configuration.
QString freshReceived() { return model::buildWriteFrame(ctl, model::PanelConfig()).mid(2); }

} // namespace

TEST(Frame, FreshConfigurationHasTheFixedLayout) {
    const QString f = model::buildWriteFrame(ctl, model::PanelConfig());
    ASSERT_EQ(f.size(), 1001);
    EXPECT_EQ(f.left(2), L("->"));
    EXPECT_EQ(f.right(2), L("\r\n"));
    EXPECT_EQ(TController::window(f, 903, 963), QString(61, QLatin1Char(' ')));
    // Each block starts at its area.
    EXPECT_TRUE(f.mid(2).startsWith(L("{\"n\":\"0\",\"a\":\"\",\"i\":\"000.000.000.000\",\"p\":\"0\"")));
    EXPECT_EQ(f.mid(152, 6), L("{\"u\":\""));
    EXPECT_EQ(f.mid(302, 32), L("{\"l\":\"100100100100100100100100\"}"));
    EXPECT_EQ(f.mid(352).left(115),
              L("{\"1\":\"12345\",\"2\":\"54321\",\"z\":\"11600\",\"x\":\"14200\",\"g\":\"1\",\"s\":\"30\","
                "\"v\":\"30\",\"f\":\"040\",\"t\":\"005060\",\"h\":\"0\",\"l\":\"00\"}"));
    EXPECT_EQ(f.mid(502, 6), L("{\"b\":\""));
    EXPECT_EQ(f.mid(963, 36), TController::pad(L("{\"i\":\"000.000.000.000\",\"p\":\"0\"}"), 36));
}

TEST(Frame, OverlongValueIsNotCutAndShiftsTheRest) {
    model::PanelConfig c;
    c.apn = QString(140, QLatin1Char('x'));
    const QString f = model::buildWriteFrame(ctl, c);
    const QString block1 = TController::block1Object(L("0"), c.apn, c.serverIP, L("0"), QString(), c.pwd);
    EXPECT_EQ(f.size(), 1001 + (2 + block1.size() - 152));
    EXPECT_TRUE(f.mid(2).startsWith(block1));
    EXPECT_EQ(f.mid(2 + block1.size(), 6), L("{\"u\":\""));
}

TEST(Frame, SingleBlockFramesFillOnlyTheirArea) {
    const QString frames[] = {
        ctl.Block1USBConf(L("1"), L("a"), L("i"), L("2"), L("q"), L("r")),
        ctl.Block2USBConf(L("PPPP")),
        ctl.Block3USBConf(L("100")),
        ctl.Block4USBConf(L("1"), L("2"), L("z"), L("x"), L("g"), L("s"), L("v"), L("f"), L("on"), L("off"),
                          L("h"), L("1"), L("2")),
        ctl.Block5USBConf(L("B")),
    };
    const int starts[] = {0, 152, 302, 352, 502, 902};
    for (int k = 0; k < 5; ++k) {
        const QString& f = frames[k];
        ASSERT_EQ(f.size(), 904) << k;
        EXPECT_EQ(f.left(2), L("->"));
        EXPECT_EQ(f.right(2), L("\r\n"));
        for (int area = 0; area < 5; ++area) {
            const QString text = f.mid(starts[area] + (area == 0 ? 2 : 0),
                                       starts[area + 1] - starts[area] - (area == 0 ? 2 : 0));
            EXPECT_EQ(text.trimmed().isEmpty(), area != k) << "frame " << k << " area " << area;
        }
    }
    EXPECT_TRUE(frames[3].mid(352).startsWith(L("{\"1\":\"1\",\"2\":\"2\",\"z\":\"z\",\"x\":\"x\",\"g\":\"g\","
                                                  "\"s\":\"s\",\"v\":\"v\",\"f\":\"f\",\"t\":\"onoff\",\"h\":\"h\","
                                                  "\"l\":\"12\"}")));
}

TEST(BlockParsers, FreshFrameParsesWithQuotedValues) {
    const QString r = freshReceived();
    QString n, i, p, a, q, pw;
    EXPECT_EQ(ctl.ParseBlock1Conf(ConnectionType::USB, r, n, i, p, a, q, pw), 0);
    EXPECT_EQ(n, L("\"0\""));
    EXPECT_EQ(i, L("\"000.000.000.000\""));
    EXPECT_EQ(a, L("\"\""));
    EXPECT_EQ(pw, L("\"      \""));
    QString u, l, b;
    EXPECT_EQ(ctl.ParseBlock2Conf(ConnectionType::USB, r, u), 0);
    EXPECT_EQ(u.size(), 98);
    EXPECT_EQ(ctl.ParseBlock3Conf(ConnectionType::USB, r, l), 0);
    EXPECT_EQ(l, L("\"100100100100100100100100\""));
    QString p1, p2, lo, hi, g, s, v, f, t, h, set;
    EXPECT_EQ(ctl.ParseBlock4Conf(ConnectionType::USB, r, p1, p2, lo, hi, g, s, v, f, t, h, set), 0);
    EXPECT_EQ(t, L("\"005060\""));
    EXPECT_EQ(set, L("\"00\""));
    EXPECT_EQ(ctl.ParseBlock5Conf(ConnectionType::USB, r, b), 0);
    EXPECT_EQ(b.size(), 386);
    QString rip, rport;
    EXPECT_EQ(ctl.ReadRedundantIP(r, rip, rport), 0);
    EXPECT_EQ(rport, L("\"0\""));
}

TEST(BlockParsers, UsersWindowTakesTheLastBlanksOfBlockOne) {
    // The users object (104 characters) right at the start of its area, blanks before and after.
    QString r = QString(150, QLatin1Char(' ')) + L("{\"u\":\"") + QString(96, QLatin1Char('P')) + L("\"}");
    r = TController::pad(r, 300);
    QString u;
    EXPECT_EQ(ctl.ParseBlock2Conf(ConnectionType::USB, r, u), 0);
    EXPECT_EQ(u, L("\"") + QString(96, QLatin1Char('P')) + L("\""));
}

TEST(BlockParsers, ErrConfStopsTheWalk) {
    const struct {
        const char* text;
        int status;
        const char* numPPK;
    } cases[] = {
        {"{\"err_conf\":1}", 1, ""},
        {"{\"n\":\"5\",\"err_conf\":1}", 1, "\"5\""},
        {"{\"err_conf\":1,\"n\":\"5\"}", 1, ""},
        {"{\"n\":\"5\",\"n\":\"7\"}", 0, "\"7\""},
        {"{\"x\":\"5\",\"n\":[1, 2]}", 0, "[1,2]"},
        {"  {\"n\":\"5\"}  ", 0, "\"5\""},
    };
    for (const auto& c : cases) {
        QString n, i, p, a, q, r;
        EXPECT_EQ(ctl.ParseBlock1Conf(ConnectionType::Internet, L(c.text), n, i, p, a, q, r), c.status) << c.text;
        EXPECT_EQ(n, L(c.numPPK)) << c.text;
    }
    // Every block parser honours it.
    QString x1, x2, x3, x4, x5, x6, x7, x8, x9, x10, x11;
    const QString only = L("{\"err_conf\":3}");
    EXPECT_EQ(ctl.ParseBlock2Conf(ConnectionType::Internet, only, x1), 3);
    EXPECT_EQ(ctl.ParseBlock3Conf(ConnectionType::Internet, only, x1), 3);
    EXPECT_EQ(ctl.ParseBlock4Conf(ConnectionType::Internet, only, x1, x2, x3, x4, x5, x6, x7, x8, x9, x10, x11), 3);
    EXPECT_EQ(ctl.ParseBlock5Conf(ConnectionType::Internet, only, x1), 3);
    EXPECT_TRUE(x1.isEmpty());
}

TEST(BlockParsers, ErrConfMustBeAJsonInteger) {
    for (const char* text : {"{\"err_conf\":\"1\"}", "{\"err_conf\":1.5}", "{\"err_conf\":null}"}) {
        QString u;
        EXPECT_THROW(ctl.ParseBlock2Conf(ConnectionType::Internet, L(text), u), ConversionError) << text;
    }
}

TEST(BlockParsers, WhatIsNotOneObjectFailsWithTheFormatText) {
    for (const char* text : {"", "   ", "[1]", "\"u\"", "{\"u\":\"x\"", "{\"u\":\"x\"}{}", "{u:1}", "{\"u\":\"\x01\"}"}) {
        QString u;
        try {
            ctl.ParseBlock2Conf(ConnectionType::Internet, L(text), u);
            ADD_FAILURE() << "accepted " << text;
        } catch (const FormatError& e) {
            EXPECT_EQ(e.text(), QStringLiteral("Помилковий формат конфігурації!"));
        }
        EXPECT_TRUE(u.isEmpty());
    }
    // A short received frame: the window of block 3 is empty.
    QString l;
    EXPECT_THROW(ctl.ParseBlock3Conf(ConnectionType::USB, freshReceived().left(200), l), FormatError);
}

TEST(BlockParsers, BytesAboveAsciiSurviveAsCharacters) {
    QString n, i, p, a, q, r;
    const QString text = L("{\"a\":\"caf") + QChar(0xE9) + L("\"}");
    ctl.ParseBlock1Conf(ConnectionType::USB, text, n, i, p, a, q, r);
    EXPECT_EQ(a, L("\"caf") + QChar(0xE9) + L("\""));
    const QString cyr = QStringLiteral("{\"a\":\"київ\"}");
    ctl.ParseBlock1Conf(ConnectionType::Internet, cyr, n, i, p, a, q, r);
    EXPECT_EQ(a, QStringLiteral("\"київ\""));
}

TEST(BlockParsers, DeepNestingIsRefusedWithoutCrashing) {
    QString u;
    const QString deep = L("{\"u\":") + QString(100000, QLatin1Char('[')) + L("}");
    EXPECT_THROW(ctl.ParseBlock2Conf(ConnectionType::Internet, deep, u), FormatError);
}

namespace {
// A received frame of `length` characters with `block` placed at 1-based `position`.
QString receivedWith(const QString& block, int position, int length) {
    QString r = QString(length, QLatin1Char(' '));
    r.replace(position - 1, block.size(), block);
    return r;
}
} // namespace

TEST(Redundant, SearchInWhatThePanelSent) {
    const QString four = L("{\"i\":\"010.000.000.001\",\"p\":\"1234\"}");
    const QString five = L("{\"i\":\"010.000.000.001\",\"p\":\"12345\"}");
    const struct {
        QString text;
        bool found;
        const char* port;
    } cases[] = {
        {receivedWith(four, 961, 996), true, "\"1234\""},
        {receivedWith(four, 962, 999), true, "\"1234\""},
        // A five-digit backup port ends the block at 996; it must still be read.
        {receivedWith(five, 962, 999), true, "\"12345\""},
        // Only a text longer than 995 characters carries the block.
        {receivedWith(four, 961, 995), false, "old"},
        {QString(999, QLatin1Char(' ')), false, "old"},
    };
    for (const auto& c : cases) {
        QString ip = L("old"), port = L("old");
        EXPECT_EQ(ctl.FindRedundantIP(c.text, ip, port), c.found);
        EXPECT_EQ(port, L(c.port));
        if (c.found) {
            EXPECT_EQ(ip, L("\"010.000.000.001\""));
        }
    }
}

TEST(BlockParsers, UnicodeEscapeReadsAsTheCharacterItNames) {
    const struct {
        const char* name;
        QString value; // as it stands between the quotes
        QString read;  // what the parser gives, quotes included
    } cases[] = {
        {"Latin small e with acute", L("intern\\u00e9t"), L("\"intern") + QChar(0xE9) + L("t\"")},
        {"Cyrillic i", L("\\u0456nternet"), L("\"") + QChar(0x0456) + L("nternet\"")},
        {"upper-case hex digits", L("\\u00C9"), L("\"") + QChar(0xC9) + L("\"")},
        {"plain ASCII", L("\\u0041PN"), L("\"APN\"")},
        {"a pair of surrogates", L("\\ud83d\\ude00"),
         L("\"") + QString::fromUtf8("\xF0\x9F\x98\x80") + L("\"")},
        {"a byte above ASCII next to an escape", QChar(0xE9) + L("\\u00e9"),
         L("\"") + QChar(0xE9) + QChar(0xE9) + L("\"")},
        // What the value's JSON text cannot hold bare keeps its escape, so the unquoting cannot eat it.
        {"a quote", L("a\\u0022b"), L("\"a\\\"b\"")},
        {"a backslash", L("a\\u005cb"), L("\"a\\\\b\"")},
    };
    for (const auto& c : cases) {
        const QString object = L("{\"a\":\"") + c.value + L("\"}");
        // A frame (every character a byte), a file (the same frame) and a station's block alike.
        for (ConnectionType type : {ConnectionType::USB, ConnectionType::Internet}) {
            QString n, i, p, a, q, r;
            EXPECT_EQ(ctl.ParseBlock1Conf(type, object, n, i, p, a, q, r), 0) << c.name;
            EXPECT_EQ(a, c.read) << c.name << " " << int(type);
        }
    }
    // An escape that names no character makes the block broken.
    QString n, i, p, a, q, r;
    EXPECT_THROW(ctl.ParseBlock1Conf(ConnectionType::Internet, L("{\"a\":\"\\ud800\"}"), n, i, p, a, q, r),
                 FormatError);
}

TEST(Redundant, BrokenBlockFailsWithItsOwnText) {
    const QString texts[] = {receivedWith(L("} {"), 965, 999), receivedWith(L("{\"i\":1,}"), 965, 999)};
    for (const QString& t : texts) {
        QString ip, port;
        try {
            ctl.FindRedundantIP(t, ip, port);
            ADD_FAILURE() << "accepted";
        } catch (const FormatError& e) {
            EXPECT_EQ(e.text(), QStringLiteral("Помилка зчитування резервної IP адреси і порта!"));
        }
    }
    QString ip = L("x"), port = L("y");
    EXPECT_EQ(ctl.ParseRedundantIP(L("{\"p\":\"5\",\"p\":\"6\",\"err_conf\":1}"), ip, port), 0);
    EXPECT_EQ(ip, QString());
    EXPECT_EQ(port, L("\"6\""));
}

TEST(Redundant, FileWindowFollowsBlockRules) {
    QString ip, port;
    const QString block = L("{\"i\":\"001.002.003.004\",\"p\":\"65535\"}");
    EXPECT_EQ(ctl.ReadRedundantIP(receivedWith(block, 962, 999), ip, port), 0);
    EXPECT_EQ(ip, L("\"001.002.003.004\""));
    EXPECT_EQ(ctl.ReadRedundantIP(receivedWith(L("{\"err_conf\":2}"), 962, 999), ip, port), 2);
    EXPECT_THROW(ctl.ReadRedundantIP(QString(999, QLatin1Char(' ')), ip, port), FormatError);
}

TEST(PasswordCode, CodesGroupBitsIntoLetterRanges) {
    const struct {
        const char* group;
        const char* pwd;
        const char* code;
    } cases[] = {
        {"1", "0000", "PPP@"}, {"2", "0000", "PP@P"}, {"4", "0000", "P@PP"}, {"8", "0000", "@PPP"},
        {"0", "0000", "PPPP"}, {"9", "0000", "PPPP"}, {"-3", "0000", "PPPP"}, {"3", "1234", "QRCD"},
        {"7", "9876", "YHGF"}, {"1", "12", "QR"},    {"1", "1a34", "QSD"},   {"5", "123456", "QBSD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ctl.codePwd(L(c.group), L(c.pwd)), L(c.code)) << c.group << " " << c.pwd;
    EXPECT_THROW(ctl.codePwd(QString(), L("1234")), ConversionError);
    EXPECT_THROW(ctl.codePwd(L("x"), L("1234")), ConversionError);
}

TEST(PasswordCode, DecodeSplitsGroupAndDigits) {
    const struct {
        const char* code;
        const char* group;
        const char* pwd;
    } cases[] = {
        {"PPPP", "", "0000"}, {"QRCD", "3", "1234"}, {"@PPP", "8", "0000"}, {"@@PP", "", "0000"},
        {"qrcd", "", ""},     {"QR#D", "", "124"},   {"PPP", "", "000"},    {"", "", ""},
    };
    for (const auto& c : cases) {
        QString g = L("stale"), p = L("stale");
        ctl.decodePwd(L(c.code), g, p);
        EXPECT_EQ(g, L(c.group)) << c.code;
        EXPECT_EQ(p, L(c.pwd)) << c.code;
    }
}

TEST(PasswordCode, CodeAndDecodeAreInverse) {
    for (int g = 1; g <= 8; ++g)
        for (int pwd = 0; pwd <= 9999; pwd += 37) {
            const QString p = QString::number(pwd).rightJustified(4, QLatin1Char('0'));
            QString dg, dp;
            ctl.decodePwd(ctl.codePwd(QString::number(g), p), dg, dp);
            ASSERT_EQ(dg, QString::number(g));
            ASSERT_EQ(dp, p);
        }
}
