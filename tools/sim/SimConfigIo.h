#pragma once

#include "model/PanelConfig.h"

#include <QString>

namespace zorel8z::sim {

// A configuration file for the simulators, chosen by extension: ".json" is the JSON form, anything
// else the .c8z file. On failure `error` holds the reason and `cfg` is unchanged.
bool loadPanelConfig(const QString& path, model::PanelConfig& cfg, QString& error);
bool savePanelConfig(const QString& path, const model::PanelConfig& cfg, QString& error);

} // namespace zorel8z::sim
