#include "common/DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace zorel8z {

QString dataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool makePrivateFolder(const QString& path, QString* error) {
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("no data folder");
        return false;
    }
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    if (info.exists()) {
        if (error)
            *error = QStringLiteral("%1 is not a folder").arg(path);
        return false;
    }
    // Reads may hold passwords: nobody else on the machine needs to look inside.
    if (!QDir().mkpath(path) ||
        !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        if (error)
            *error = QStringLiteral("cannot make the folder %1").arg(path);
        return false;
    }
    return true;
}

bool writePrivateFile(const QString& path, const QByteArray& content, QString* error) {
    QSaveFile file(path);
    // Set on the temporary file, before any byte is in it; the rename keeps it.
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                    file.write(content) == content.size() && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace zorel8z

// The texts declared in DataFolder.h: defined once here, not in every file that includes it.
namespace zorel8z {

const QString kDataAppName = QStringLiteral("zorel8z-configurator");

} // namespace zorel8z
