#pragma once

#include "model/PanelConfig.h"

#include <QString>

namespace zorel8z::cli {

// A readable listing of a configuration, page by page, with the window's captions.
QString listing(const model::PanelConfig& cfg);

} // namespace zorel8z::cli
