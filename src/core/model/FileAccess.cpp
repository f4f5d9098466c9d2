#include "model/FileAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/Platform.h"

namespace zorel8z::model {

namespace {

bool tooBig(qint64 size, QString& reason) {
    if (size <= files::kMaxFileBytes)
        return false;
    reason = files::kFileTooBig.arg(size);
    return true;
}

} // namespace

bool isSpecialFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

bool readSmallFile(const QString& path, QByteArray& content, QString& reason) {
    QFile file;
    // Opened without waiting, and the type checked on what was opened: a FIFO put in place after a
    // look at the name still cannot block the program.
    switch (platform::openRegularFile(path, file, reason)) {
    case platform::OpenResult::Opened:
        break;
    case platform::OpenResult::NotRegular:
        reason = files::kNotRegularFile;
        return false;
    case platform::OpenResult::Failed:
        return false;
    }
    if (tooBig(file.size(), reason))
        return false;
    // One byte more than allowed: a file that grew meanwhile is still caught, and never read whole.
    content = file.read(files::kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    return !tooBig(content.size(), reason);
}

bool writeFileSafely(const QString& path, const QByteArray& content, QString& reason) {
    const QFileInfo target(path);
    // A FIFO would take the bytes and the rename would then put a regular file in its place.
    if (target.exists() && !target.isFile()) {
        reason = files::kNotRegularFile;
        return false;
    }
    const bool isNew = !target.exists();
    // Unbuffered: each write reaches the file system at once, so a full disk is seen where it happens
    // and not in a flush that the commit would not check.
    QSaveFile file(path);
    const auto fail = [&] {
        reason = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    // The temporary file becomes the target: restricting it before the first byte keeps the content
    // from ever being readable by others.
    if (isNew && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return fail();
    if (file.write(content) != content.size() || !file.flush())
        return fail();
    // QSaveFile syncs before its rename but ignores a failure there; a device that reports a lost
    // write only at this point must fail the save too.
    if (!platform::syncToDisk(file.handle(), reason)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail();
    return true;
}

} // namespace zorel8z::model

// The texts declared in FileAccess.h: defined once here, not in every file that includes it.
namespace zorel8z::model::files {

const QString kNotRegularFile = QStringLiteral("Це не звичайний файл (канал, пристрій чи тека)");
const QString kFileTooBig = QStringLiteral("Файл більший за 1 МБ (%1 байт)");

} // namespace zorel8z::model::files
