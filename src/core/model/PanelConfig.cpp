#include "model/PanelConfig.h"

namespace zorel8z::model {

std::array<UserEntry, kUserCount> PanelConfig::defaultUsers() {
    std::array<UserEntry, kUserCount> users{};
    users[0].password = kFactoryUserPassword;
    return users;
}

std::array<QString, kUserCount> PanelConfig::defaultKeyCodes() {
    std::array<QString, kUserCount> codes;
    codes.fill(kEmptyKeyCode);
    return codes;
}

bool PanelConfig::sameSettings(const PanelConfig& o) const {
    return numPPK == o.numPPK && serverIP == o.serverIP && serverPort == o.serverPort && apn == o.apn &&
           apn2 == o.apn2 && pwd == o.pwd && users == o.users && passwordsHidden == o.passwordsHidden &&
           hiddenPasswords == o.hiddenPasswords && lines == o.lines && PwdLev1 == o.PwdLev1 &&
           PwdLev2 == o.PwdLev2 && LowLevelV == o.LowLevelV && HiLevelV == o.HiLevelV &&
           ppkType == o.ppkType && timeDelay == o.timeDelay && timeDelay2 == o.timeDelay2 &&
           UKworkTime == o.UKworkTime && UKon == o.UKon && UKoff == o.UKoff && UKinvert == o.UKinvert &&
           Set1 == o.Set1 && Set2 == o.Set2 && UVICode == o.UVICode && redIP == o.redIP &&
           redPort == o.redPort;
}

bool PanelConfig::operator==(const PanelConfig& o) const {
    return sameSettings(o) && serialNumber == o.serialNumber && firmwareVersion == o.firmwareVersion;
}

} // namespace zorel8z::model

// The texts declared in PanelConfig.h: defined once here, not in every file that includes it.
namespace zorel8z::model {

const QString kFactoryUserPassword = QStringLiteral("1234");
const QString kFactoryAdminPassword = QStringLiteral("12345");
const QString kFactoryEngineerPassword = QStringLiteral("54321");
const QString kEmptyKeyCode = QStringLiteral("0000000000000000");
const QString kZeroAddress = QStringLiteral("000.000.000.000");
const QString kHiddenPassword = QStringLiteral("****");

} // namespace zorel8z::model
