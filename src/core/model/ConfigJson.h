#pragma once

#include "model/PanelConfig.h"

#include <QByteArray>
#include <QString>

namespace zorel8z::model {

// The JSON form of a configuration, for the command-line tool and for hand-made test data. Keys are the
// record's field names; the identity values appear only when known.
QByteArray configToJson(const PanelConfig& cfg);

// Loads the JSON form. Accepts every value the window's controls can hold and refuses only what no control
// can hold; missing keys keep the defaults. On refusal returns false with `error` naming the key.
bool configFromJson(const QByteArray& json, PanelConfig& cfg, QString& error);

} // namespace zorel8z::model
