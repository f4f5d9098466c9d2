#include "cli/SheetLoader.h"

#include "common/Modules.h"

#include <QLibrary>

namespace zorel8z::cli {

const sheet::SheetModule* loadSheetModule(QString& error) {
    // The application object the module makes lives until the tool exits.
    static QLibrary library;
    return loadModuleTable<sheet::SheetModule>(library, QStringLiteral(ZOREL_SHEET_MODULE),
                                               QStringLiteral(ZOREL_MODULE_RELDIR), "zorel8z_sheet_module",
                                               sheet::kSheetModuleVersion, error);
}

} // namespace zorel8z::cli
