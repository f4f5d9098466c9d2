#include "cli/SheetLoader.h"

#include "common/Modules.h"

#include <QLibrary>

namespace zorel8z::cli {

const sheet::SheetModule* loadSheetModule(QString& error) {
    // The application object the module makes lives until the tool exits.
    static QLibrary library;
    using Entry = const sheet::SheetModule* (*)();
    const auto entry = reinterpret_cast<Entry>(loadModule(library, QStringLiteral(ZOREL_SHEET_MODULE),
                                                          QStringLiteral(ZOREL_MODULE_RELDIR),
                                                          "zorel8z_sheet_module", error));
    if (!entry)
        return nullptr;
    const sheet::SheetModule* module = entry();
    if (module && module->version == sheet::kSheetModuleVersion)
        return module;
    error = otherModuleVersion(library);
    return nullptr;
}

} // namespace zorel8z::cli
