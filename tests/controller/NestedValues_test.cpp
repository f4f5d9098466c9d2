// Values nested deeply inside a block or a write reply: up to 32 levels are a value like any other,
// deeper ones make the block broken with its usual message, and no depth can crash the parsers
// (writing a value back as text follows its depth).
#include "common/Errors.h"
#include "controller/JsonDepth.h"
#include "controller/TController.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace zorel8z;
using controller::TController;
using model::ConnectionType;

namespace {

const TController ctl;
const QString kBadFormat = QStringLiteral("Помилковий формат конфігурації!");
const QString kBadRedundant = QStringLiteral("Помилка зчитування резервної IP адреси і порта!");
const QString kBadWriteReply = QStringLiteral("Помилка запису конфігурації! Перевірте адресу серверу TORV!");

// `levels` arrays one inside the other around a number.
QString nested(int levels) {
    return QString(levels, QLatin1Char('[')) + QLatin1Char('1') + QString(levels, QLatin1Char(']'));
}

// A parser under test: the value it took for the nested member, or the text of what it threw.
struct Parser {
    const char* name;
    std::function<QString(const QString& value)> run; // value: the member's JSON text
    QString refusal;
};

QString thrown(const std::function<QString()>& f) {
    try {
        return f();
    } catch (const Error& e) {
        return QStringLiteral("threw: ") + e.text();
    }
}

const Parser kParsers[] = {
    {"block 1 (Internet)",
     [](const QString& v) {
         return thrown([&] {
             QString n, i, p, a, q, r;
             ctl.ParseBlock1Conf(ConnectionType::Internet,
                                 QStringLiteral("{\"n\":") + v + QStringLiteral("}"), n, i, p, a, q, r);
             return n;
         });
     },
     kBadFormat},
    {"block 2 (Internet)",
     [](const QString& v) {
         return thrown([&] {
             QString u;
             ctl.ParseBlock2Conf(ConnectionType::Internet,
                                 QStringLiteral("{\"u\":") + v + QStringLiteral("}"), u);
             return u;
         });
     },
     kBadFormat},
    {"block 4 (Internet)",
     [](const QString& v) {
         return thrown([&] {
             QString p1, p2, z, x, g, s, vv, f, t, h, l;
             ctl.ParseBlock4Conf(ConnectionType::Internet,
                                 QStringLiteral("{\"1\":") + v + QStringLiteral("}"), p1, p2, z, x, g, s, vv,
                                 f, t, h, l);
             return p1;
         });
     },
     kBadFormat},
    {"block 5 in a frame (USB)",
     [](const QString& v) {
         return thrown([&] {
             // Block 5's window is 498..899 of a received frame.
             QString frame =
                 QString(497, QLatin1Char(' ')) + QStringLiteral("{\"b\":") + v + QStringLiteral("}");
             frame += QString(qMax(0, 1000 - int(frame.size())), QLatin1Char(' '));
             QString b;
             ctl.ParseBlock5Conf(ConnectionType::USB, frame, b);
             return b;
         });
     },
     kBadFormat},
    {"block 5 (Internet)",
     [](const QString& v) {
         return thrown([&] {
             QString b;
             ctl.ParseBlock5Conf(ConnectionType::Internet,
                                 QStringLiteral("{\"b\":") + v + QStringLiteral("}"), b);
             return b;
         });
     },
     kBadFormat},
    {"redundant block",
     [](const QString& v) {
         return thrown([&] {
             QString ip, port;
             ctl.ParseRedundantIP(QStringLiteral("{\"i\":") + v + QStringLiteral("}"), ip, port);
             return ip;
         });
     },
     kBadRedundant},
    {"write reply",
     [](const QString& v) {
         return thrown([&] {
             // A number's text comes back as the code; anything else fails the conversion after the
             // value was written back as text, which is what must not crash.
             try {
                 return QString::number(
                     ctl.ParseWriteServerConf(QStringLiteral("{\"err_wconf\":") + v + QStringLiteral("}")));
             } catch (const ConversionError&) {
                 return v;
             }
         });
     },
     kBadWriteReply},
};

} // namespace

TEST(NestedValues, UpToThirtyTwoLevelsAreAValue) {
    // The block object is the first level.
    const QString deepest = nested(31);
    for (const Parser& p : kParsers)
        EXPECT_EQ(p.run(deepest), deepest) << p.name;
}

TEST(NestedValues, DeeperMakesTheBlockBrokenWithItsUsualMessage) {
    // 33 levels; 5,000; and the 100,000 of a 200 KB station reply that used to overflow the stack.
    for (int levels : {32, 5000, 100000}) {
        const QString value = nested(levels);
        for (const Parser& p : kParsers) {
            if (QLatin1String(p.name) == QLatin1String("block 5 in a frame (USB)") && levels > 100)
                continue; // a frame's window cannot hold that many
            EXPECT_EQ(p.run(value), QStringLiteral("threw: ") + p.refusal) << p.name << " " << levels;
        }
    }
    // Objects nest as deeply as arrays.
    QString objects = QStringLiteral("1");
    for (int k = 0; k < 40; ++k)
        objects = QStringLiteral("{\"k\":") + objects + QStringLiteral("}");
    for (const Parser& p : kParsers)
        EXPECT_EQ(p.run(objects), QStringLiteral("threw: ") + p.refusal) << p.name;
}

TEST(NestedValues, BracketsInsideTextsDoNotCount) {
    // Brackets in a string, an escaped quote among them, are characters of a text.
    const QString text = QStringLiteral("\"\\\"") + QString(200, QLatin1Char('[')) + QStringLiteral("\\\\\"");
    for (const Parser& p : kParsers)
        EXPECT_EQ(p.run(text), text) << p.name;
}

TEST(NestedValues, DepthCountTable) {
    const struct {
        const char* json;
        int maxDepth;
        bool within;
    } cases[] = {
        {"{}", 1, true},           {"{\"a\":[]}", 1, false},
        {"{\"a\":[]}", 2, true},   {"[[],[],[[]]]", 2, false},
        {"[[],[],[[]]]", 3, true}, {"\"[[[[\"", 0, true},
        {"[\"\\\"[[\"]", 1, true}, {"]]]][", 1, true}, // stray closers do not lend depth to what follows
        {"]]]][[", 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(controller::jsonDepthWithin(c.json, std::strlen(c.json), c.maxDepth), c.within)
            << c.json << " within " << c.maxDepth;
}
