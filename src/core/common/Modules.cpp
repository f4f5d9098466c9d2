#include "common/Modules.h"

#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace zorel8z {

QFunctionPointer loadModule(QLibrary& library, const QString& fileName, const QString& otherFolder,
                            const char* entry, QString& error) {
    const QString dir = platform::executableDir();
    if (dir.isEmpty()) {
        error = QStringLiteral("не вдалося визначити теку програми");
        return nullptr;
    }
    QStringList folders{dir};
    if (!otherFolder.isEmpty())
        folders << QDir(dir).filePath(otherFolder);
    QStringList tried;
    for (const QString& folder : folders) {
        const QString path = QDir::cleanPath(QDir(folder).filePath(fileName));
        if (!QFileInfo::exists(path)) {
            tried << path;
            continue;
        }
        library.setFileName(path);
        const QFunctionPointer found = library.resolve(entry);
        if (!found)
            error = library.errorString();
        return found;
    }
    error = QStringLiteral("модуль не знайдено (%1)").arg(tried.join(QStringLiteral(", ")));
    return nullptr;
}

QString otherModuleVersion(const QLibrary& library) {
    return QStringLiteral("%1: інша версія модуля").arg(library.fileName());
}

} // namespace zorel8z
