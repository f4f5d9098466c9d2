#pragma once

#include "sheet/SheetModule.h"

#include <QString>

namespace zorel8z::cli {

// The sheet module, from beside the tool (a build tree, Windows) or from the library folder it is
// installed in. nullptr with `error` set (where it was looked for and why it failed) otherwise.
const sheet::SheetModule* loadSheetModule(QString& error);

} // namespace zorel8z::cli
