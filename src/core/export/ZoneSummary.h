#pragma once

#include "model/PanelConfig.h"

#include <QString>
#include <array>

namespace zorel8z::exporting {

// The monitoring-station code of a zone: "6" for a 24-hour zone, "2" for a 24-hour fire zone, "0" for
// everything else (including digits that no list item stands for).
QString zoneCode(const model::ZoneEntry& zone);

// The zones grouped by their group, as one compact JSON object:
// {"device":"ppk","groups":[g,...],"gp":[{"gp_g":[{"p":"z","t":"code"},...]},...]}
// Groups ascend, zones ascend within a group; a zone whose group is outside 1..8 is not listed.
QString GetConfig(const std::array<model::ZoneEntry, model::kZoneCount>& lines);

} // namespace zorel8z::exporting
