#include "model/SaveCheck.h"

#include "common/Errors.h"
#include "model/ConfigFile.h"
#include "model/ConfigJson.h"
#include "model/Packing.h"
#include "rules/Messages.h"

namespace zorel8z::model {

namespace {

// Counts what a decode would have shown: any message means the text did not read back cleanly.
class CountingUi : public Ui {
  public:
    void showMessage(MsgIcon, const QString&) override { ++shown; }
    int shown = 0;
};

QString cannotSave(const QString& reason) {
    return texts::kCannotSaveFile + QStringLiteral("\r\n") + reason;
}

QString notKept(const QString& field) {
    return cannotSave(QStringLiteral("Значення \"%1\" не прочиталося б з файлу таким, як є").arg(field));
}

// The record as a .c8z file holds it: a hidden password is saved as the real one it stands for, and
// reads back as a plain password.
PanelConfig asFileHoldsIt(const PanelConfig& cfg) {
    PanelConfig out = cfg;
    if (cfg.passwordsHidden) {
        for (size_t k = 0; k < out.users.size(); ++k)
            if (!isFreshPassword(cfg.users[k].password))
                out.users[k].password = cfg.hiddenPasswords[k];
    }
    out.passwordsHidden = false;
    out.hiddenPasswords = {};
    return out;
}

} // namespace

bool isApnChar(QChar c) {
    return c.unicode() >= 0x20 && c.unicode() <= 0x7E && c != QLatin1Char('"') && c != QLatin1Char('\\');
}

bool isApnText(const QString& text) {
    for (QChar c : text)
        if (!isApnChar(c))
            return false;
    return true;
}

QString c8zRefusal(const controller::TController& ctl, const PanelConfig& cfg) {
    if (!isApnText(cfg.apn) || !isApnText(cfg.apn2))
        return kBadApnChar;
    // Exactly the bytes a save would write: a character above 255 becomes "?" there, and so shows
    // as a difference below.
    PanelConfig back;
    CountingUi ui;
    if (!loadConfigFileContent(ctl, configFileContent(ctl, cfg), back, ui) || ui.shown > 0)
        return cannotSave(QStringLiteral("Файл не прочитався б як конфігурація"));
    const QString field = firstDifference(asFileHoldsIt(cfg), back);
    if (field.isEmpty() || field == QLatin1String("serialNumber") ||
        field == QLatin1String("firmwareVersion"))
        return QString();
    // The usual causes, in the words of the checks that the window's save runs first.
    if (field == QLatin1String("apn") || field == QLatin1String("apn2"))
        return kBadApnChar;
    if (field == QLatin1String("users"))
        return rules::msg::kUserPwdLength;
    if (field == QLatin1String("UVICode"))
        return rules::msg::kBadKeyCode;
    return notKept(field);
}

QString jsonRefusal(const PanelConfig& cfg) {
    if (!isApnText(cfg.apn) || !isApnText(cfg.apn2))
        return kBadApnChar;
    PanelConfig back;
    QString error;
    if (!configFromJson(configToJson(cfg), back, error))
        return cannotSave(error);
    // The remote password field always has six positions: a shorter text reads back padded with
    // blanks, as the window shows it.
    PanelConfig expected = cfg;
    expected.pwd = cfg.pwd.leftJustified(widths::pwd, QLatin1Char(' '));
    const QString field = firstDifference(expected, back);
    return field.isEmpty() ? QString() : notKept(field);
}

QString firstDifference(const PanelConfig& a, const PanelConfig& b) {
    const std::pair<const char*, bool> fields[] = {
        {"numPPK", a.numPPK == b.numPPK},
        {"serverIP", a.serverIP == b.serverIP},
        {"serverPort", a.serverPort == b.serverPort},
        {"apn", a.apn == b.apn},
        {"apn2", a.apn2 == b.apn2},
        {"pwd", a.pwd == b.pwd},
        {"users", a.users == b.users},
        {"passwordsHidden", a.passwordsHidden == b.passwordsHidden},
        {"hiddenPasswords", a.hiddenPasswords == b.hiddenPasswords},
        {"lines", a.lines == b.lines},
        {"PwdLev1", a.PwdLev1 == b.PwdLev1},
        {"PwdLev2", a.PwdLev2 == b.PwdLev2},
        {"LowLevelV", a.LowLevelV == b.LowLevelV},
        {"HiLevelV", a.HiLevelV == b.HiLevelV},
        {"ppkType", a.ppkType == b.ppkType},
        {"timeDelay", a.timeDelay == b.timeDelay},
        {"timeDelay2", a.timeDelay2 == b.timeDelay2},
        {"UKworkTime", a.UKworkTime == b.UKworkTime},
        {"UKon", a.UKon == b.UKon},
        {"UKoff", a.UKoff == b.UKoff},
        {"UKinvert", a.UKinvert == b.UKinvert},
        {"Set1", a.Set1 == b.Set1},
        {"Set2", a.Set2 == b.Set2},
        {"UVICode", a.UVICode == b.UVICode},
        {"redIP", a.redIP == b.redIP},
        {"redPort", a.redPort == b.redPort},
        {"serialNumber", a.serialNumber == b.serialNumber},
        {"firmwareVersion", a.firmwareVersion == b.firmwareVersion},
    };
    for (const auto& [name, same] : fields)
        if (!same)
            return QString::fromLatin1(name);
    return QString();
}

} // namespace zorel8z::model

// The texts declared in SaveCheck.h: defined once here, not in every file that includes it.
namespace zorel8z::model {

const QString kBadApnChar = QStringLiteral("Недопустимий символ в APN!");

} // namespace zorel8z::model
