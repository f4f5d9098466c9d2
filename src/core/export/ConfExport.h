#pragma once

#include <QString>

namespace zorel8z::exporting {

// Fixed texts of the monitoring-station file. The Cyrillic names are the defaults the station
// operator renames later.
namespace conf {
inline const QString kClassName = QStringLiteral("PPK_ZRL128");
inline const QString kFieldList =
    QStringLiteral("PLACE;SN;VER;GSM_PHONE;GSM_PHONE1;SRP_PHONE;SRP_CITY;SRP_BASE;REGISTRATION;SPIN_PHONE;"
                   "SPIN_RADION_STATION;SWITCH_PHONE;TIMEOUT_ACTION;SPIN_ROUTE;TIMEOUT;CONTROL_TIME");
inline const QString kControlTime = QStringLiteral("0:00:00");
inline const QString kGroupName = QStringLiteral("Группа шлейфов_");
inline const QString kPipeName = QStringLiteral("Шлейф_");
inline const QString kPlaceName = QStringLiteral("Помещение_");
inline const QString kObjectName = QStringLiteral("Объект_New");
} // namespace conf

// Writes the monitoring-station description of the panel into the profile file FPath, built from
// JData, the zone summary of GetConfig. An existing file is updated in place. Returns an empty text;
// throws Error "Unable to write to <FPath>" when a key cannot be written.
QString GetConfFile(const QString& FPath, const QString& JData);

} // namespace zorel8z::exporting
