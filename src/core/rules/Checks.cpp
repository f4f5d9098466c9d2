#include "rules/Checks.h"

#include "common/Errors.h"
#include "model/Packing.h"
#include "model/SaveCheck.h"
#include "rules/Messages.h"

#include <algorithm>
#include <vector>

namespace zorel8z::rules {

using model::kUserCount;
using model::kZoneCount;
using model::PanelConfig;

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool allDigits(const QString& text, int width) {
    return text.size() == width && std::all_of(text.begin(), text.end(), isDigit);
}

QString trimBlanks(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == QLatin1Char(' '))
        ++from;
    while (to > from && text[to - 1] == QLatin1Char(' '))
        --to;
    return text.mid(from, to - from);
}

bool fail(Ui& ui, const QString& text) {
    ui.showMessage(MsgIcon::Error, text);
    return false;
}

// Occurrences of `what` in `text`, each one starting after the end of the previous.
int countApart(const QString& text, const QString& what) {
    if (what.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype at = text.indexOf(what); at >= 0; at = text.indexOf(what, at + what.size()))
        ++count;
    return count;
}

bool sameGroup(const QString& a, const QString& b) {
    int ga = 0;
    int gb = 0;
    return tryStrToInt(a, ga) && tryStrToInt(b, gb) && ga == gb;
}

std::vector<QString> passwords(const PanelConfig& cfg, PasswordSource source) {
    std::vector<QString> out;
    out.reserve(kUserCount);
    for (int k = 0; k < kUserCount; ++k)
        out.push_back(passwordOf(cfg, k, source));
    return out;
}

const QString kInactive = QStringLiteral("0000");

} // namespace

QString passwordOf(const PanelConfig& cfg, int index, PasswordSource source) {
    const QString& cell = cfg.users[size_t(index)].password;
    if (source == PasswordSource::Packed && cfg.passwordsHidden && !model::isFreshPassword(cell))
        return cfg.hiddenPasswords[size_t(index)];
    return cell;
}

std::optional<QString> NormalizeIP(const QString& text) {
    if (text.isEmpty())
        return QString();
    QStringList groups;
    QString rest = text;
    for (int k = 0; k < 3; ++k) {
        const qsizetype dot = rest.indexOf(QLatin1Char('.'));
        if (dot < 0)
            return std::nullopt;
        groups << rest.left(dot);
        rest.remove(0, dot + 1);
    }
    groups << rest;

    QStringList out;
    for (const QString& raw : groups) {
        const QString group = trimBlanks(raw);
        int value = 0;
        for (QChar c : group) {
            if (!isDigit(c))
                return std::nullopt;
            value = value * 10 + (c.unicode() - '0');
            if (value > 255)
                return std::nullopt;
        }
        out << QString::number(value).rightJustified(3, QLatin1Char('0'));
    }
    return out.join(QLatin1Char('.'));
}

bool CheckIPFormat(const QString& text) {
    for (int start : {0, 4, 8, 12}) {
        QString octet = text.mid(start, 3);
        while (octet.endsWith(QLatin1Char(' ')))
            octet.chop(1);
        int value = 0;
        if (!tryStrToInt(octet, value) || value < 0 || value > 255)
            return false;
    }
    return true;
}

bool CheckNetSettings(const PanelConfig& cfg, const EditorState& state, Ui& ui) {
    const QString zero = QStringLiteral("0");
    const bool local = state.mode == Mode::Local;
    if (cfg.numPPK == 0)
        return fail(ui, msg::kNumConfPPKZero);
    if (cfg.serverIP == model::kZeroAddress)
        return fail(ui, msg::kServerIPZero);
    if (state.spinText(Control::seServerPort, cfg.serverPort) == zero)
        return fail(ui, msg::kServerPortZero);
    // The redundant server is not part of a remote write, so only a local one needs it.
    if (local && cfg.redIP == model::kZeroAddress)
        return fail(ui, msg::kRedServerIPZero);
    if (local && state.spinText(Control::seRedServerPort, cfg.redPort) == zero)
        return fail(ui, msg::kRedServerPortZero);
    // Six digits set the password and six blanks leave it unset; anything between would reach the
    // panel as a password nobody knows.
    if (!allDigits(cfg.pwd, model::widths::pwd) && cfg.pwd != QString(model::widths::pwd, QLatin1Char(' ')))
        return fail(ui, msg::kRemotePwdMissing);
    if (cfg.pwd.startsWith(QLatin1Char('0')))
        return fail(ui, msg::kRemotePwdLeadingZero);
    if (cfg.apn.isEmpty())
        return fail(ui, msg::kApn1Missing);
    if (cfg.apn2.isEmpty())
        return fail(ui, msg::kApn2Missing);
    return true;
}

bool CheckUsersFilled(const PanelConfig& cfg, Ui& ui) {
    for (const model::UserEntry& u : cfg.users) {
        if (u.group.size() != 1 || u.group[0] < QLatin1Char('1') || u.group[0] > QLatin1Char('8'))
            return fail(ui, msg::kUserGroupMissing);
        if (u.password.size() != model::widths::userPassword)
            return fail(ui, msg::kUserPwdLength);
    }
    return true;
}

bool CheckUserGroups(const PanelConfig& cfg, Ui& ui) {
    bool ok = true;
    for (int k = 0; k < kUserCount; ++k) {
        int group = 0;
        const bool isNumber = tryStrToInt(cfg.users[size_t(k)].group, group);
        const bool onZones =
            isNumber && std::any_of(cfg.lines.begin(), cfg.lines.end(),
                                    [group](const model::ZoneEntry& z) { return z.group == group; });
        if (!onZones) {
            ui.showMessage(MsgIcon::Error, msg::kUserGroupAbsentPrefix + QString::number(k + 1) +
                                               msg::kUserGroupAbsentSuffix);
            ok = false;
        }
    }
    return ok;
}

bool CheckParamsFilled(const PanelConfig& cfg, const EditorState& state, Ui& ui) {
    const QString spins[] = {
        state.spinText(Control::seUKworkTime, cfg.UKworkTime),
        state.spinText(Control::seUKon, cfg.UKon),
        state.spinText(Control::seUKoff, cfg.UKoff),
        state.spinText(Control::sePPKDelayTime, cfg.timeDelay),
        state.spinText(Control::sePPKDelayTime2, cfg.timeDelay2),
    };
    for (const QString& text : spins)
        if (text.isEmpty())
            return fail(ui, msg::kParamsEmpty);
    // An incomplete five-digit field would be written as it stands and the panel would take it.
    for (const QString* text : {&cfg.PwdLev1, &cfg.PwdLev2, &cfg.LowLevelV, &cfg.HiLevelV})
        if (!allDigits(*text, model::widths::fiveDigits))
            return fail(ui, msg::kParamsEmpty);
    return true;
}

bool CheckPwdLeadingZero(const PanelConfig& cfg, PasswordSource source, Ui& ui) {
    for (const QString& p : passwords(cfg, source))
        if (p.startsWith(QLatin1Char('0')) && p != kInactive)
            return fail(ui, msg::kPwdLeadingZero);
    return true;
}

bool CheckPwdUnique(const PanelConfig& cfg, PasswordSource source) {
    const std::vector<QString> pwds = passwords(cfg, source);
    QString joined;
    for (const QString& p : pwds)
        joined += p + QLatin1Char('X');
    for (int k = 0; k < kUserCount; ++k) {
        const QString& p = pwds[size_t(k)];
        if (p == kInactive || countApart(joined, p) <= 1)
            continue;
        for (int j = 0; j < kUserCount; ++j)
            if (j != k && pwds[size_t(j)] == p &&
                sameGroup(cfg.users[size_t(j)].group, cfg.users[size_t(k)].group))
                return false;
    }
    return true;
}

bool CheckPwdNeighbours(const PanelConfig& cfg, PasswordSource source, Ui& ui) {
    std::vector<int> values;
    for (const QString& p : passwords(cfg, source)) {
        // A cell without a number holds no password that a duress code could collide with.
        int v = 0;
        if (!tryStrToInt(p, v))
            v = 0;
        values.push_back(v);
    }
    std::sort(values.begin(), values.end());
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] == 0)
            continue;
        const bool prev = i > 0 && values[i - 1] != 0 && values[i] - values[i - 1] == 1;
        const bool next = i + 1 < values.size() && values[i + 1] != 0 && values[i + 1] - values[i] == 1;
        if (prev || next)
            return fail(ui, msg::kPwdNeighbours);
    }
    return true;
}

bool CheckPwd9999(const PanelConfig& cfg, PasswordSource source, Ui& ui) {
    for (const QString& p : passwords(cfg, source))
        if (p == QLatin1String("9999"))
            return fail(ui, msg::kPwd9999);
    return true;
}

bool CheckCodesUnique(const PanelConfig& cfg) {
    QString joined;
    for (const QString& code : cfg.UVICode)
        joined += code + QLatin1Char('X');
    for (int n = 0; n < kUserCount; ++n) {
        const QString code = joined.mid(17 * n, model::kKeyCodeLength);
        if (code.isEmpty() || code == model::kEmptyKeyCode)
            continue;
        if (countApart(joined, code) > 1)
            return false;
    }
    return true;
}

bool CheckAdminPwd(const PanelConfig& cfg, Ui& ui) {
    if (cfg.PwdLev1.startsWith(QLatin1Char('0')))
        return fail(ui, msg::kAdminPwdLeadingZero);
    return true;
}

bool CheckEntries(const PanelConfig& cfg, PasswordSource source, Ui& ui) {
    bool ok = CheckPwdLeadingZero(cfg, source, ui);
    if (!CheckPwdUnique(cfg, source))
        ok = fail(ui, msg::kPwdNotUnique);
    ok = CheckPwdNeighbours(cfg, source, ui) && ok;
    ok = CheckPwd9999(cfg, source, ui) && ok;
    if (!CheckCodesUnique(cfg))
        ok = fail(ui, msg::kCodesNotUnique);
    ok = CheckAdminPwd(cfg, ui) && ok;
    if (!CheckIPFormat(cfg.serverIP))
        ok = fail(ui, msg::kBadServerIPFormat);
    if (!CheckIPFormat(cfg.redIP))
        ok = fail(ui, msg::kBadRedServerIPFormat);
    return ok;
}

bool isKeyCode(const QString& code) {
    return code.size() == model::kKeyCodeLength && std::all_of(code.begin(), code.end(), [](QChar c) {
               return isDigit(c) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
           });
}

bool CheckKeyCodeFormat(const PanelConfig& cfg, Ui& ui) {
    for (const QString& code : cfg.UVICode)
        if (!isKeyCode(code))
            return fail(ui, msg::kBadKeyCode);
    return true;
}

bool CheckPasswordCells(const PanelConfig& cfg, bool allowHidden, Ui& ui) {
    const bool useHidden = allowHidden && cfg.passwordsHidden;
    for (int k = 0; k < kUserCount; ++k) {
        const QString& cell = cfg.users[size_t(k)].password;
        if (cell == model::kHiddenPassword) {
            if (!useHidden)
                return fail(ui, msg::kPasswordsHidden);
        } else if (!allDigits(cell, model::widths::userPassword)) {
            return fail(ui, msg::kUserPwdLength);
        }
        // A hidden password that is not four digits cannot stand in for the cell either.
        if (useHidden && !allDigits(passwordOf(cfg, k, PasswordSource::Packed), model::widths::userPassword))
            return fail(ui, msg::kPasswordsHidden);
    }
    return true;
}

bool CheckApnChars(const PanelConfig& cfg, Ui& ui) {
    for (const QString* apn : {&cfg.apn, &cfg.apn2})
        if (!model::isApnText(*apn))
            return fail(ui, msg::kBadApnChar);
    return true;
}

bool CheckRemoteServerIP(const QString& text, Ui& ui) {
    QString compact = text;
    compact.remove(QLatin1Char(' '));
    const std::optional<QString> normal = NormalizeIP(compact);
    // All zeros names no station (Linux would quietly connect to this machine); nor does nothing.
    if (!normal || normal->isEmpty() || *normal == model::kZeroAddress)
        return fail(ui, msg::kBadRemoteServerIP);
    return true;
}

bool CheckRemoteAccess(const EditorState& state, Ui& ui) {
    if (state.seNumPPK == 0)
        return fail(ui, msg::kNumPPKZero);
    // A request carries the panel number and the port in 16 bits: a larger one addresses another.
    if (state.seNumPPK < 0 || state.seNumPPK > 65535)
        return fail(ui, msg::kNumPPKRange);
    if (state.edPwd.isEmpty())
        return fail(ui, msg::kRemotePwdMissing);
    if (state.seRemoteServerPort < 1 || state.seRemoteServerPort > 65535)
        return fail(ui, msg::kRemotePortRange);
    return true;
}

} // namespace zorel8z::rules
