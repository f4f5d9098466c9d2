#pragma once

#include <QByteArray>
#include <QString>

namespace zorel8z::model {

// Limits and safe primitives for the files the program reads and writes.
namespace files {
// A configuration file is about 1.3 KB (.c8z) or 2 KB (.json), an export a few KB: anything above a
// megabyte is not one of ours, and reading it whole would only fill the memory.
constexpr qint64 kMaxFileBytes = 1024 * 1024;

extern const QString kNotRegularFile;
extern const QString kFileTooBig;
} // namespace files

// Reads a whole file of at most files::kMaxFileBytes. A FIFO, a device or a folder is refused before it
// is opened (opening a FIFO would wait for a writer, reading /dev/zero would never end), and so is a
// bigger file. On failure returns false with `reason` in the system's or our words.
bool readSmallFile(const QString& path, QByteArray& content, QString& reason);

// Whether `path` names something other than a regular file (a missing path does not).
bool isSpecialFile(const QString& path);

// Replaces `path` by `content` all or nothing: written to a temporary file beside it, flushed and
// synced, then renamed over the target, so a full disk or a failing device leaves the old file as it
// was. A new file is readable and writable by its owner only (configurations hold every password);
// an existing file keeps its permissions. On failure returns false with the system's `reason`.
bool writeFileSafely(const QString& path, const QByteArray& content, QString& reason);

} // namespace zorel8z::model
