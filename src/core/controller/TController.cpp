#include "controller/TController.h"

#include "common/Errors.h"
#include "controller/JsonDepth.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstring>
#include <initializer_list>

namespace zorel8z::controller {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct Slot {
    const char* key;
    QString* out;
};

// Walks the members of one JSON object in document order. Later duplicates overwrite earlier ones;
// with `honourErrConf` a member "err_conf" ends the walk and its integer is returned.
//
// The text goes to the parser as UTF-8 and every value comes back from UTF-8: a frame's byte and a
// reply's character keep their code, and a \u escape, which the parser turns into the UTF-8 of the
// character it names, reads as that one character (not as the bytes of its UTF-8 form).
int parseObject(const QString& text, std::initializer_list<Slot> wanted, const QString& errorText,
                bool honourErrConf) {
    const QByteArray bytes = text.toUtf8();
    if (!jsonDepthWithin(bytes.constData(), size_t(bytes.size())))
        throw FormatError(errorText);
    rapidjson::Document doc;
    // Iterative parsing: a hostile text of nested brackets must not exhaust the stack.
    doc.Parse<rapidjson::kParseIterativeFlag>(bytes.constData(), size_t(bytes.size()));
    if (doc.HasParseError() || !doc.IsObject())
        throw FormatError(errorText);

    for (auto m = doc.MemberBegin(); m != doc.MemberEnd(); ++m) {
        const char* name = m->name.GetString();
        const size_t nameLen = m->name.GetStringLength();
        rapidjson::StringBuffer sb;
        rapidjson::Writer<rapidjson::StringBuffer> writer(sb);
        m->value.Accept(writer);
        const QString value = QString::fromUtf8(sb.GetString(), qsizetype(sb.GetSize()));
        for (const Slot& s : wanted) {
            if (std::strlen(s.key) == nameLen && std::memcmp(s.key, name, nameLen) == 0)
                *s.out = value;
        }
        if (honourErrConf && nameLen == 8 && std::memcmp(name, "err_conf", 8) == 0)
            return strToInt(value);
    }
    return 0;
}

QString blockInput(ConnectionType type, const QString& conf, int first, int last) {
    return type == ConnectionType::USB ? TController::window(conf, first, last) : conf;
}

QString member(const char* key, const QString& value) {
    return QLatin1Char('"') + QLatin1String(key) + QLatin1String("\":\"") + value + QLatin1Char('"');
}

QString object(std::initializer_list<QString> members) {
    QString out = QStringLiteral("{");
    bool first = true;
    for (const QString& m : members) {
        if (!first)
            out += QLatin1Char(',');
        out += m;
        first = false;
    }
    out += QLatin1Char('}');
    return out;
}

QString blanks(int n) { return QString(n, QLatin1Char(' ')); }

} // namespace

QString TController::pad(const QString& text, int width) {
    if (text.size() >= width)
        return text;
    return text + blanks(width - int(text.size()));
}

QString TController::window(const QString& text, int first, int last) {
    if (first < 1 || last < first || first > text.size())
        return QString();
    return text.mid(first - 1, last - first + 1);
}

QString TController::block1Object(const QString& n, const QString& a, const QString& i, const QString& p,
                                  const QString& q, const QString& r) {
    return object({member("n", n), member("a", a), member("i", i), member("p", p), member("q", q),
                   member("r", r)});
}

QString TController::block4Object(const QString& p1, const QString& p2, const QString& lowVLevel,
                                  const QString& hiVLevel, const QString& ppkType, const QString& timeDelay,
                                  const QString& timeDelay2, const QString& UKworkTime, const QString& UKon,
                                  const QString& UKoff, const QString& UKinvert, const QString& Set1,
                                  const QString& Set2) {
    return object({member("1", p1), member("2", p2), member("z", lowVLevel), member("x", hiVLevel),
                   member("g", ppkType), member("s", timeDelay), member("v", timeDelay2),
                   member("f", UKworkTime), member("t", UKon + UKoff), member("h", UKinvert),
                   member("l", Set1 + Set2)});
}

QString TController::USBConf(const QString& n, const QString& a, const QString& i, const QString& p,
                             const QString& q, const QString& r, const QString& u, const QString& l,
                             const QString& p1, const QString& p2, const QString& lowVLevel,
                             const QString& hiVLevel, const QString& ppkType, const QString& timeDelay,
                             const QString& timeDelay2, const QString& UKworkTime, const QString& UKon,
                             const QString& UKoff, const QString& UKinvert, const QString& Set1,
                             const QString& Set2, const QString& b, const QString& redIP,
                             const QString& redPort) const {
    QString frame;
    frame.reserve(1001);
    frame += pad(QStringLiteral("->") + block1Object(n, a, i, p, q, r), kBlock1Width);
    frame += pad(object({member("u", u)}), kBlock2Width);
    frame += pad(object({member("l", l)}), kBlock3Width);
    frame += pad(block4Object(p1, p2, lowVLevel, hiVLevel, ppkType, timeDelay, timeDelay2, UKworkTime, UKon,
                              UKoff, UKinvert, Set1, Set2),
                 kBlock4Width);
    frame += pad(object({member("b", b)}), kBlock5Width);
    frame += blanks(kGapWidth);
    frame += pad(object({member("i", redIP), member("p", redPort)}), kRedundantWidth);
    frame += kCrLf;
    return frame;
}

namespace {
// A single-block frame: the five areas with only one filled, then CR LF.
QString singleBlockFrame(int which, const QString& block) {
    const int widths[] = {TController::kBlock1Width, TController::kBlock2Width, TController::kBlock3Width,
                          TController::kBlock4Width, TController::kBlock5Width};
    QString frame;
    for (int k = 0; k < 5; ++k) {
        if (k == which)
            frame += TController::pad(k == 0 ? QStringLiteral("->") + block : block, widths[k]);
        else if (k == 0)
            frame += TController::pad(QStringLiteral("->"), widths[k]);
        else
            frame += blanks(widths[k]);
    }
    return frame + kCrLf;
}
} // namespace

QString TController::Block1USBConf(const QString& n, const QString& a, const QString& i, const QString& p,
                                   const QString& q, const QString& r) const {
    return singleBlockFrame(0, block1Object(n, a, i, p, q, r));
}

QString TController::Block2USBConf(const QString& u) const { return singleBlockFrame(1, object({member("u", u)})); }

QString TController::Block3USBConf(const QString& l) const { return singleBlockFrame(2, object({member("l", l)})); }

QString TController::Block4USBConf(const QString& p1, const QString& p2, const QString& lowVLevel,
                                   const QString& hiVLevel, const QString& ppkType, const QString& timeDelay,
                                   const QString& timeDelay2, const QString& UKworkTime, const QString& UKon,
                                   const QString& UKoff, const QString& UKinvert, const QString& Set1,
                                   const QString& Set2) const {
    return singleBlockFrame(3, block4Object(p1, p2, lowVLevel, hiVLevel, ppkType, timeDelay, timeDelay2,
                                            UKworkTime, UKon, UKoff, UKinvert, Set1, Set2));
}

QString TController::Block5USBConf(const QString& b) const { return singleBlockFrame(4, object({member("b", b)})); }

int TController::ParseBlock1Conf(ConnectionType TypeConn, const QString& conf, QString& numPPK,
                                 QString& serverIP, QString& serverPort, QString& apn, QString& apn2,
                                 QString& pwd) const {
    return parseObject(blockInput(TypeConn, conf, 1, 150),
                       {{"n", &numPPK}, {"a", &apn}, {"i", &serverIP}, {"p", &serverPort}, {"q", &apn2},
                        {"r", &pwd}},
                       texts::kBadConfigFormat, true);
}

int TController::ParseBlock2Conf(ConnectionType TypeConn, const QString& conf, QString& users) const {
    return parseObject(blockInput(TypeConn, conf, 148, 299), {{"u", &users}}, texts::kBadConfigFormat, true);
}

int TController::ParseBlock3Conf(ConnectionType TypeConn, const QString& conf, QString& lines) const {
    return parseObject(blockInput(TypeConn, conf, 298, 349), {{"l", &lines}}, texts::kBadConfigFormat, true);
}

int TController::ParseBlock4Conf(ConnectionType TypeConn, const QString& conf, QString& PwdLev1,
                                 QString& PwdLev2, QString& LowLevelV, QString& HiLevelV, QString& ppkType,
                                 QString& timeDelay, QString& timeDelay2, QString& UKworkTime,
                                 QString& UKon_off, QString& UKinvert, QString& Set12) const {
    return parseObject(blockInput(TypeConn, conf, 348, 499),
                       {{"1", &PwdLev1},
                        {"2", &PwdLev2},
                        {"z", &LowLevelV},
                        {"x", &HiLevelV},
                        {"g", &ppkType},
                        {"s", &timeDelay},
                        {"v", &timeDelay2},
                        {"f", &UKworkTime},
                        {"t", &UKon_off},
                        {"h", &UKinvert},
                        {"l", &Set12}},
                       texts::kBadConfigFormat, true);
}

int TController::ParseBlock5Conf(ConnectionType TypeConn, const QString& conf, QString& UVICode) const {
    // The panel's firmware hands this window over in two pieces (498..697, 698..899); joined they are
    // simply 498..899.
    QString input = TypeConn == ConnectionType::USB ? window(conf, 498, 697) + window(conf, 698, 899) : conf;
    return parseObject(input, {{"b", &UVICode}}, texts::kBadConfigFormat, true);
}

int TController::ParseRedundantIP(const QString& redundantIPPort, QString& rIP, QString& rPort) const {
    rIP.clear();
    rPort.clear();
    parseObject(redundantIPPort, {{"i", &rIP}, {"p", &rPort}}, texts::kBadRedundant, false);
    return 0;
}

int TController::ReadRedundantIP(const QString& conf, QString& IP, QString& Port) const {
    return parseObject(window(conf, 962, 997), {{"i", &IP}, {"p", &Port}}, texts::kBadConfigFormat, true);
}

bool TController::FindRedundantIP(const QString& received, QString& rIP, QString& rPort) const {
    if (received.size() <= 995)
        return false;
    // 961..997: a backup port of five digits makes the block end at 996.
    const QString piece = window(received, 961, 997);
    const qsizetype open = piece.indexOf(QLatin1Char('{'));
    const qsizetype close = piece.indexOf(QLatin1Char('}'));
    if (open < 0 || close < 0)
        return false;
    const QString block = close >= open ? piece.mid(open, close - open + 1) : QString();
    ParseRedundantIP(block, rIP, rPort);
    return true;
}

QString TController::codePwd(const QString& sGr, const QString& sPwd) const {
    const int group = strToInt(sGr);
    const int bits = (group >= 1 && group <= 8) ? group : 0;
    QString code;
    for (int k = 0; k < 4 && k < sPwd.size(); ++k) {
        const QChar c = sPwd[k];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            continue;
        const bool bit = (bits >> (3 - k)) & 1;
        code += QChar((bit ? 0x40 : 0x50) + (c.unicode() - '0'));
    }
    return code;
}

void TController::decodePwd(const QString& code, QString& sGr, QString& sPwd) const {
    QString pwd;
    QString bits;
    for (int k = 0; k < 4 && k < code.size(); ++k) {
        const ushort c = code[k].unicode();
        if (c >= 0x50 && c <= 0x59) {
            pwd += QChar('0' + (c - 0x50));
            bits += QLatin1Char('0');
        } else if (c >= 0x40 && c <= 0x49) {
            pwd += QChar('0' + (c - 0x40));
            bits += QLatin1Char('1');
        }
    }
    sPwd = pwd;
    sGr.clear();
    if (bits.size() == 4) {
        const int g = bits.toInt(nullptr, 2);
        if (g >= 1 && g <= 8)
            sGr = QString::number(g);
    }
}

} // namespace zorel8z::controller
