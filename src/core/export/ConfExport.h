#pragma once

#include <QString>

namespace zorel8z::exporting {

// Fixed texts of the monitoring-station file. The Cyrillic names are the defaults the station
// operator renames later.
namespace conf {
extern const QString kClassName;
extern const QString kFieldList;
extern const QString kControlTime;
extern const QString kGroupName;
extern const QString kPipeName;
extern const QString kPlaceName;
extern const QString kObjectName;
} // namespace conf

// Writes the monitoring-station description of the panel into the profile file FPath, built from
// JData, the zone summary of GetConfig. An existing file is updated in place. Returns an empty text;
// throws Error "Unable to write to <FPath>" when a key cannot be written.
QString GetConfFile(const QString& FPath, const QString& JData);

} // namespace zorel8z::exporting
