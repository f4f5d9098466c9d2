#pragma once

#include "common/Ui.h"
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

// Reads a JSON file (at most a megabyte, a regular file) and loads it into `cfg`, all or nothing.
// Problems are reported through `ui`.
bool openConfigJsonFile(const QString& path, PanelConfig& cfg, Ui& ui);

// Writes the JSON form as the .c8z file is written (temporary file, rename, owner only when new);
// a record that would not read back the same is refused before anything is written.
bool saveConfigJsonFile(const QString& path, const PanelConfig& cfg, Ui& ui);

} // namespace zorel8z::model
