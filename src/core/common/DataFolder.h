#pragma once

#include <QByteArray>
#include <QString>

namespace zorel8z {

// The application name both front ends run under, so that the window and the command-line tool
// share one data folder (the archive of reads, the journal).
extern const QString kDataAppName;

// The user's data folder of the program (QStandardPaths::AppDataLocation). Empty when the platform
// names none.
QString dataFolder();

// Makes `path` (and its parents) if missing; a folder made here is open to its owner only. False with
// `error` set when it cannot be made.
bool makePrivateFolder(const QString& path, QString* error = nullptr);

// Writes `content` to `path` through a temporary file renamed over it, readable and writable by the
// owner only, so a failure never leaves a half-written file. False with `error` (the system's text).
bool writePrivateFile(const QString& path, const QByteArray& content, QString* error = nullptr);

} // namespace zorel8z
