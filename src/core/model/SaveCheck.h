#pragma once

#include "controller/TController.h"
#include "model/PanelConfig.h"

#include <QString>

namespace zorel8z::model {

// Whatever the program writes to a file must read back as the same configuration; what cannot is
// refused before anything is written. These are the last guard behind the save checks: they hold for
// the tool's unchecked conversions and for the JSON form, which runs no checks at all.

extern const QString kBadApnChar;

// What an APN may hold: printable ASCII other than the two characters that break the block's JSON.
bool isApnChar(QChar c);
bool isApnText(const QString& text);

// The message that refuses writing `cfg` as a .c8z file, or an empty text when the file would read
// back as `cfg` (the identity values aside, and hidden passwords as the real ones the file holds).
// May throw the packing's ConversionError, as building the file does.
QString c8zRefusal(const controller::TController& ctl, const PanelConfig& cfg);

// The same for the JSON form.
QString jsonRefusal(const PanelConfig& cfg);

// The name of the first field in which two records differ; empty when they are the same.
QString firstDifference(const PanelConfig& a, const PanelConfig& b);

} // namespace zorel8z::model
