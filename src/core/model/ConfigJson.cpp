#include "model/ConfigJson.h"

#include "common/Errors.h"
#include "controller/JsonDepth.h"
#include "model/FileAccess.h"
#include "model/SaveCheck.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <functional>
#include <map>

namespace zorel8z::model {

namespace {

using Writer = rapidjson::PrettyWriter<rapidjson::StringBuffer>;

void putString(Writer& w, const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    w.String(utf8.constData(), rapidjson::SizeType(utf8.size()));
}

void key(Writer& w, const char* name) { w.Key(name); }

} // namespace

QByteArray configToJson(const PanelConfig& c) {
    rapidjson::StringBuffer sb;
    Writer w(sb);
    w.SetIndent(' ', 2);
    w.StartObject();
    key(w, "numPPK"), w.Int(c.numPPK);
    key(w, "serverIP"), putString(w, c.serverIP);
    key(w, "serverPort"), w.Int(c.serverPort);
    key(w, "apn"), putString(w, c.apn);
    key(w, "apn2"), putString(w, c.apn2);
    key(w, "pwd"), putString(w, c.pwd);
    key(w, "users");
    w.StartArray();
    for (const UserEntry& u : c.users) {
        w.SetFormatOptions(rapidjson::kFormatSingleLineArray);
        w.StartObject();
        key(w, "group");
        int g = 0;
        if (tryStrToInt(u.group, g))
            w.Int(g);
        else
            w.Null();
        key(w, "password"), putString(w, u.password);
        w.EndObject();
    }
    w.EndArray();
    if (c.passwordsHidden) {
        key(w, "passwordsHidden"), w.Bool(true);
        key(w, "hiddenPasswords");
        w.StartArray();
        for (const QString& p : c.hiddenPasswords)
            putString(w, p);
        w.EndArray();
    }
    key(w, "lines");
    w.StartArray();
    for (const ZoneEntry& z : c.lines) {
        w.StartObject();
        key(w, "group"), w.Int(z.group);
        key(w, "type"), w.Int(z.type);
        key(w, "modifier"), w.Int(z.modifier);
        w.EndObject();
    }
    w.EndArray();
    key(w, "PwdLev1"), putString(w, c.PwdLev1);
    key(w, "PwdLev2"), putString(w, c.PwdLev2);
    key(w, "LowLevelV"), putString(w, c.LowLevelV);
    key(w, "HiLevelV"), putString(w, c.HiLevelV);
    key(w, "ppkType"), w.Int(c.ppkType);
    key(w, "timeDelay"), w.Int(c.timeDelay);
    key(w, "timeDelay2"), w.Int(c.timeDelay2);
    key(w, "UKworkTime"), w.Int(c.UKworkTime);
    key(w, "UKon"), w.Int(c.UKon);
    key(w, "UKoff"), w.Int(c.UKoff);
    key(w, "UKinvert"), w.Int(c.UKinvert);
    for (const auto& [name, in] : {std::pair<const char*, SetInput>{"Set1", c.Set1}, {"Set2", c.Set2}}) {
        key(w, name);
        w.StartObject();
        key(w, "group"), w.Int(in.group);
        key(w, "indicator"), w.Bool(in.indicator);
        w.EndObject();
    }
    key(w, "UVICode");
    w.StartArray();
    for (const QString& code : c.UVICode)
        putString(w, code);
    w.EndArray();
    key(w, "redIP"), putString(w, c.redIP);
    key(w, "redPort"), w.Int(c.redPort);
    if (!c.serialNumber.isEmpty()) {
        key(w, "serialNumber"), putString(w, c.serialNumber);
    }
    if (!c.firmwareVersion.isEmpty()) {
        key(w, "firmwareVersion"), putString(w, c.firmwareVersion);
    }
    w.EndObject();
    return QByteArray(sb.GetString(), qsizetype(sb.GetSize())) + '\n';
}

namespace {

struct Refused {
    QString key;
    QString reason;
};

using Value = rapidjson::Value;

QString name(const Value& v) { return QString::fromUtf8(v.GetString(), qsizetype(v.GetStringLength())); }

int integer(const Value& v, const QString& path, Range range) {
    if (!v.IsInt() || !range.contains(v.GetInt()))
        throw Refused{path, QStringLiteral("очікується ціле число від %1 до %2").arg(range.min).arg(range.max)};
    return v.GetInt();
}

bool boolean(const Value& v, const QString& path) {
    if (!v.IsBool())
        throw Refused{path, QStringLiteral("очікується true або false")};
    return v.GetBool();
}

// A text of at most `width` characters, each accepted by `allowed`.
QString text(const Value& v, const QString& path, int width, const std::function<bool(QChar)>& allowed,
             const QString& what) {
    if (!v.IsString())
        throw Refused{path, QStringLiteral("очікується текст")};
    const QString s = name(v);
    if (s.size() > width)
        throw Refused{path, QStringLiteral("текст довший за %1 символів").arg(width)};
    for (QChar c : s)
        if (!allowed(c))
            throw Refused{path, QStringLiteral("дозволені лише %1").arg(what)};
    return s;
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
QString digits(const Value& v, const QString& path, int width) {
    return text(v, path, width, isDigit, QStringLiteral("цифри"));
}
QString address(const Value& v, const QString& path) {
    return text(v, path, widths::address,
                [](QChar c) { return isDigit(c) || c == QLatin1Char('.') || c == QLatin1Char(' '); },
                QStringLiteral("цифри, крапки і пробіли"));
}

const Value& array(const Value& v, const QString& path, rapidjson::SizeType size) {
    if (!v.IsArray() || v.Size() != size)
        throw Refused{path, QStringLiteral("очікується масив з %1 елементів").arg(size)};
    return v;
}

// Walks an object's members, refusing unknown and repeated keys.
void members(const Value& obj, const QString& path,
             const std::map<QString, std::function<void(const Value&, const QString&)>>& handlers) {
    if (!obj.IsObject())
        throw Refused{path, QStringLiteral("очікується об'єкт")};
    QStringList seen;
    for (auto m = obj.MemberBegin(); m != obj.MemberEnd(); ++m) {
        const QString k = name(m->name);
        const QString full = path.isEmpty() ? k : path + QLatin1Char('.') + k;
        const auto h = handlers.find(k);
        if (h == handlers.end())
            throw Refused{full, QStringLiteral("невідомий ключ")};
        if (seen.contains(k))
            throw Refused{full, QStringLiteral("ключ повторюється")};
        seen << k;
        h->second(m->value, full);
    }
}

QString indexed(const QString& path, rapidjson::SizeType i) { return path + QStringLiteral("[%1]").arg(i); }

void load(const Value& root, PanelConfig& c) {
    using H = std::function<void(const Value&, const QString&)>;
    auto intField = [](int& field, Range r) -> H {
        return [&field, r](const Value& v, const QString& p) { field = integer(v, p, r); };
    };
    auto digitField = [](int& field) -> H {
        return [&field](const Value& v, const QString& p) { field = integer(v, p, Range{0, 9}); };
    };
    auto fiveDigits = [](QString& field) -> H {
        return [&field](const Value& v, const QString& p) { field = digits(v, p, widths::fiveDigits); };
    };
    auto setInput = [](SetInput& in) -> H {
        return [&in](const Value& v, const QString& p) {
            SetInput next;
            members(v, p,
                    {{QStringLiteral("group"), [&](const Value& x, const QString& q) { next.group = integer(x, q, ranges::setGroup); }},
                     {QStringLiteral("indicator"), [&](const Value& x, const QString& q) { next.indicator = boolean(x, q); }}});
            if (next.indicator && next.group == 0)
                throw Refused{p, QStringLiteral("індикатор можливий лише для призначеної групи")};
            in = next;
        };
    };

    members(root, QString(),
            {{QStringLiteral("numPPK"), intField(c.numPPK, ranges::numPPK)},
             {QStringLiteral("serverIP"),
              [&](const Value& v, const QString& p) { c.serverIP = address(v, p); }},
             {QStringLiteral("serverPort"), intField(c.serverPort, ranges::port)},
             {QStringLiteral("apn"),
              [&](const Value& v, const QString& p) {
                  c.apn = text(v, p, widths::apn, isApnChar,
                               QStringLiteral("друковані символи ASCII без \" і \\"));
              }},
             {QStringLiteral("apn2"),
              [&](const Value& v, const QString& p) {
                  c.apn2 = text(v, p, widths::apn, isApnChar,
                                QStringLiteral("друковані символи ASCII без \" і \\"));
              }},
             {QStringLiteral("pwd"),
              [&](const Value& v, const QString& p) {
                  // The mask field always has six positions; unfilled ones are blanks.
                  c.pwd = text(v, p, widths::pwd, [](QChar ch) { return isDigit(ch) || ch == QLatin1Char(' '); },
                               QStringLiteral("цифри і пробіли"))
                              .leftJustified(widths::pwd, QLatin1Char(' '));
              }},
             {QStringLiteral("users"),
              [&](const Value& v, const QString& p) {
                  array(v, p, kUserCount);
                  for (rapidjson::SizeType i = 0; i < v.Size(); ++i) {
                      UserEntry& u = c.users[i];
                      members(v[i], indexed(p, i),
                              {{QStringLiteral("group"),
                                [&](const Value& x, const QString& q) {
                                    u.group = x.IsNull() ? QString() : QString::number(integer(x, q, Range{1, 8}));
                                }},
                               {QStringLiteral("password"), [&](const Value& x, const QString& q) {
                                    u.password = (x.IsString() && name(x) == kHiddenPassword)
                                                     ? kHiddenPassword
                                                     : digits(x, q, widths::userPassword);
                                }}});
                  }
              }},
             {QStringLiteral("passwordsHidden"),
              [&](const Value& v, const QString& p) { c.passwordsHidden = boolean(v, p); }},
             {QStringLiteral("hiddenPasswords"),
              [&](const Value& v, const QString& p) {
                  array(v, p, kUserCount);
                  for (rapidjson::SizeType i = 0; i < v.Size(); ++i)
                      c.hiddenPasswords[i] = digits(v[i], indexed(p, i), widths::userPassword);
              }},
             {QStringLiteral("lines"),
              [&](const Value& v, const QString& p) {
                  array(v, p, kZoneCount);
                  for (rapidjson::SizeType i = 0; i < v.Size(); ++i) {
                      ZoneEntry& z = c.lines[i];
                      // Single digits: a panel may report one that no list item stands for.
                      members(v[i], indexed(p, i),
                              {{QStringLiteral("group"), digitField(z.group)},
                               {QStringLiteral("type"), digitField(z.type)},
                               {QStringLiteral("modifier"), digitField(z.modifier)}});
                  }
              }},
             {QStringLiteral("PwdLev1"), fiveDigits(c.PwdLev1)},
             {QStringLiteral("PwdLev2"), fiveDigits(c.PwdLev2)},
             {QStringLiteral("LowLevelV"), fiveDigits(c.LowLevelV)},
             {QStringLiteral("HiLevelV"), fiveDigits(c.HiLevelV)},
             {QStringLiteral("ppkType"), digitField(c.ppkType)},
             {QStringLiteral("timeDelay"), intField(c.timeDelay, ranges::timeDelay)},
             {QStringLiteral("timeDelay2"), intField(c.timeDelay2, ranges::timeDelay)},
             {QStringLiteral("UKworkTime"), intField(c.UKworkTime, ranges::UKworkTime)},
             {QStringLiteral("UKon"), intField(c.UKon, ranges::UKon)},
             {QStringLiteral("UKoff"), intField(c.UKoff, ranges::UKoff)},
             {QStringLiteral("UKinvert"), digitField(c.UKinvert)},
             {QStringLiteral("Set1"), setInput(c.Set1)},
             {QStringLiteral("Set2"), setInput(c.Set2)},
             {QStringLiteral("UVICode"),
              [&](const Value& v, const QString& p) {
                  array(v, p, kUserCount);
                  for (rapidjson::SizeType i = 0; i < v.Size(); ++i)
                      c.UVICode[i] = text(v[i], indexed(p, i), kKeyCodeLength,
                                          [](QChar ch) { return ch.unicode() < 0x80 && ch.isLetterOrNumber(); },
                                          QStringLiteral("латинські літери і цифри"));
              }},
             {QStringLiteral("redIP"), [&](const Value& v, const QString& p) { c.redIP = address(v, p); }},
             {QStringLiteral("redPort"), intField(c.redPort, ranges::port)},
             {QStringLiteral("serialNumber"),
              [&](const Value& v, const QString& p) { c.serialNumber = digits(v, p, 8); }},
             {QStringLiteral("firmwareVersion"),
              [&](const Value& v, const QString& p) { c.firmwareVersion = digits(v, p, 3); }}});

    for (const UserEntry& u : c.users)
        if (u.password == kHiddenPassword && !c.passwordsHidden)
            throw Refused{QStringLiteral("users"), QStringLiteral("\"****\" можливий лише з passwordsHidden")};
}

} // namespace

bool configFromJson(const QByteArray& json, PanelConfig& cfg, QString& error) {
    // The form is three levels deep; a text of nested brackets would cost memory for nothing.
    if (!controller::jsonDepthWithin(json.constData(), size_t(json.size()))) {
        error =
            QStringLiteral("Невірний JSON: вкладеність глибша за %1 рівні").arg(controller::kMaxJsonDepth);
        return false;
    }
    rapidjson::Document doc;
    doc.Parse<rapidjson::kParseIterativeFlag>(json.constData(), size_t(json.size()));
    if (doc.HasParseError()) {
        error = QStringLiteral("Невірний JSON (позиція %1): %2")
                    .arg(doc.GetErrorOffset())
                    .arg(QString::fromLatin1(rapidjson::GetParseError_En(doc.GetParseError())));
        return false;
    }
    PanelConfig next;
    try {
        load(doc, next);
    } catch (const Refused& r) {
        error = r.key.isEmpty() ? r.reason : QStringLiteral("Невірне значення \"%1\": %2").arg(r.key, r.reason);
        return false;
    }
    cfg = next;
    return true;
}

bool openConfigJsonFile(const QString& path, PanelConfig& cfg, Ui& ui) {
    QByteArray content;
    QString reason;
    if (!readSmallFile(path, content, reason)) {
        ui.showMessage(MsgIcon::Error, texts::kCannotOpenFile + QStringLiteral("\r\n") + reason);
        return false;
    }
    QString error;
    if (!configFromJson(content, cfg, error)) {
        ui.showMessage(MsgIcon::Error, error);
        return false;
    }
    return true;
}

bool saveConfigJsonFile(const QString& path, const PanelConfig& cfg, Ui& ui) {
    const QString refusal = jsonRefusal(cfg);
    if (!refusal.isEmpty()) {
        ui.showMessage(MsgIcon::Error, refusal);
        return false;
    }
    QString reason;
    if (!writeFileSafely(path, configToJson(cfg), reason)) {
        ui.showMessage(MsgIcon::Error, texts::kCannotSaveFile + QStringLiteral("\r\n") + reason);
        return false;
    }
    return true;
}

} // namespace zorel8z::model
