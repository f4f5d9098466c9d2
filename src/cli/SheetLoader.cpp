#include "cli/SheetLoader.h"

#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

namespace zorel8z::cli {

const sheet::SheetModule* loadSheetModule(QString& error) {
    const QString dir = platform::executableDir();
    if (dir.isEmpty()) {
        error = QStringLiteral("не вдалося визначити теку програми");
        return nullptr;
    }
    const QString name = QStringLiteral(ZOREL_SHEET_MODULE);
    QStringList tried;
    for (const QString& folder : {dir, QDir(dir).filePath(QStringLiteral(ZOREL_MODULE_RELDIR))}) {
        const QString path = QDir::cleanPath(QDir(folder).filePath(name));
        if (!QFileInfo::exists(path)) {
            tried << path;
            continue;
        }
        // Never unloaded (QLibrary's destructor leaves it loaded): the application object it makes
        // lives until the tool exits.
        static QLibrary library;
        library.setFileName(path);
        using Entry = const sheet::SheetModule* (*)();
        const auto entry = reinterpret_cast<Entry>(library.resolve("zorel8z_sheet_module"));
        const sheet::SheetModule* module = entry ? entry() : nullptr;
        if (module && module->version == sheet::kSheetModuleVersion)
            return module;
        error = entry ? QStringLiteral("%1: інша версія модуля").arg(path) : library.errorString();
        return nullptr;
    }
    error = QStringLiteral("модуль не знайдено (%1)").arg(tried.join(QStringLiteral(", ")));
    return nullptr;
}

} // namespace zorel8z::cli
