#include "model/Packing.h"

#include "common/Errors.h"

namespace zorel8z::model {

QString unquote(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == QLatin1Char('"'))
        ++from;
    while (to > from && text[to - 1] == QLatin1Char('"'))
        --to;
    return text.mid(from, to - from);
}

QString zeroFill3(const QString& text) {
    if (text.size() == 1)
        return QStringLiteral("00") + text;
    if (text.size() == 2)
        return QStringLiteral("0") + text;
    return text;
}

QString zeroFill2(const QString& text) {
    if (text.size() == 1)
        return QStringLiteral("0") + text;
    return text;
}

bool isFreshPassword(const QString& cell) {
    if (cell.size() != 4 || cell[0] < QLatin1Char('1') || cell[0] > QLatin1Char('9'))
        return false;
    for (int k = 1; k < 4; ++k)
        if (cell[k] < QLatin1Char('0') || cell[k] > QLatin1Char('9'))
            return false;
    return true;
}

NetworkTexts packNetwork(const PanelConfig& cfg) {
    return {QString::number(cfg.numPPK), cfg.apn, cfg.serverIP, QString::number(cfg.serverPort), cfg.apn2,
            cfg.pwd};
}

void unpackNetwork(PanelConfig& cfg, const NetworkTexts& t) {
    // A spin edit cannot hold a number outside its range; it takes the nearest bound.
    cfg.numPPK = ranges::numPPK.clamp(strToInt(unquote(t.n)));
    cfg.apn = unquote(t.a);
    cfg.serverIP = unquote(t.i);
    cfg.serverPort = ranges::port.clamp(strToInt(unquote(t.p)));
    cfg.apn2 = unquote(t.q);
    cfg.pwd = unquote(t.r);
}

QString packUsers(const controller::TController& ctl, const PanelConfig& cfg) {
    QString out;
    out.reserve(96);
    for (int k = 0; k < kUserCount; ++k) {
        const UserEntry& u = cfg.users[size_t(k)];
        QString password = u.password;
        if (cfg.passwordsHidden && !isFreshPassword(u.password))
            password = cfg.hiddenPasswords[size_t(k)];
        out += ctl.codePwd(u.group, password);
    }
    return out;
}

void unpackUsers(const controller::TController& ctl, PanelConfig& cfg, const QString& text) {
    QString rest = unquote(text);
    for (int k = 0; k < kUserCount; ++k) {
        QString group;
        QString password;
        ctl.decodePwd(rest.left(4), group, password);
        UserEntry& u = cfg.users[size_t(k)];
        u.group = group;
        if (cfg.passwordsHidden) {
            u.password = kHiddenPassword;
            cfg.hiddenPasswords[size_t(k)] = password;
        } else {
            u.password = password;
        }
        rest.remove(0, 4);
    }
}

QString packZones(const PanelConfig& cfg) {
    QString out;
    for (const ZoneEntry& z : cfg.lines)
        out += QString::number(z.group) + QString::number(z.type) + QString::number(z.modifier);
    return out;
}

void unpackZones(PanelConfig& cfg, const QString& text) {
    const QString digits = unquote(text);
    if (digits.size() != 3 * kZoneCount)
        throw FormatError(texts::kBadConfigFormat);
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw FormatError(texts::kBadConfigFormat);
    for (int n = 0; n < kZoneCount; ++n) {
        ZoneEntry& z = cfg.lines[size_t(n)];
        z.group = digits[3 * n].unicode() - '0';
        z.type = digits[3 * n + 1].unicode() - '0';
        z.modifier = digits[3 * n + 2].unicode() - '0';
    }
}

QString setChar(const SetInput& in) {
    if (!in.indicator)
        return QString::number(in.group);
    if (in.group >= 1 && in.group <= 8)
        return QChar('a' + in.group - 1);
    return QString();
}

ParamTexts packParams(const PanelConfig& cfg) {
    return {cfg.PwdLev1,
            cfg.PwdLev2,
            cfg.LowLevelV,
            cfg.HiLevelV,
            QString::number(cfg.ppkType),
            zeroFill2(QString::number(cfg.timeDelay)),
            zeroFill2(QString::number(cfg.timeDelay2)),
            zeroFill3(QString::number(cfg.UKworkTime)),
            zeroFill3(QString::number(cfg.UKon)),
            zeroFill3(QString::number(cfg.UKoff)),
            QString::number(cfg.UKinvert),
            setChar(cfg.Set1),
            setChar(cfg.Set2)};
}

namespace {
// One SET character: "0".."8" a group without indicator, "a".."h" a group with indicator.
void decodeSetChar(QChar c, SetInput& in) {
    if (c >= QLatin1Char('0') && c <= QLatin1Char('8')) {
        in.group = c.unicode() - '0';
        in.indicator = false;
    } else if (c >= QLatin1Char('a') && c <= QLatin1Char('h')) {
        in.group = c.unicode() - 'a' + 1;
        in.indicator = true;
    }
}
} // namespace

void unpackParams(PanelConfig& cfg, const ParsedParams& raw, Ui& ui) {
    cfg.PwdLev1 = unquote(raw.PwdLev1);
    cfg.PwdLev2 = unquote(raw.PwdLev2);
    cfg.LowLevelV = unquote(raw.LowLevelV);
    cfg.HiLevelV = unquote(raw.HiLevelV);
    cfg.ppkType = strToInt(unquote(raw.ppkType));
    cfg.timeDelay = ranges::timeDelay.clamp(strToInt(unquote(raw.timeDelay)));
    cfg.timeDelay2 = ranges::timeDelay.clamp(strToInt(unquote(raw.timeDelay2)));
    cfg.UKworkTime = ranges::UKworkTime.clamp(strToInt(unquote(raw.UKworkTime)));

    const QString t = unquote(raw.UKon_off);
    if (t.size() == 6) {
        cfg.UKon = ranges::UKon.clamp(strToInt(t.left(3)));
        cfg.UKoff = ranges::UKoff.clamp(strToInt(t.mid(3)));
    } else {
        ui.showMessage(MsgIcon::Error, texts::kBadConfigFormat);
    }

    cfg.UKinvert = strToInt(unquote(raw.UKinvert));

    const QString l = unquote(raw.Set12);
    if (l.size() == 2) {
        decodeSetChar(l[0], cfg.Set1);
        decodeSetChar(l[1], cfg.Set2);
    } else {
        ui.showMessage(MsgIcon::Error, texts::kBadConfigFormat);
    }
}

QString packKeyCodes(const PanelConfig& cfg) {
    QString out;
    for (const QString& code : cfg.UVICode)
        out += code;
    return out;
}

void unpackKeyCodes(PanelConfig& cfg, const QString& text) {
    const QString codes = unquote(text);
    for (int k = 0; k < kUserCount; ++k)
        cfg.UVICode[size_t(k)] = codes.mid(qsizetype(k) * kKeyCodeLength, kKeyCodeLength);
}

void unpackRedundant(PanelConfig& cfg, const QString& ip, const QString& port) {
    const QString ipText = unquote(ip);
    const int portValue = ranges::port.clamp(strToInt(unquote(port)));
    cfg.redIP = ipText;
    cfg.redPort = portValue;
}

} // namespace zorel8z::model
