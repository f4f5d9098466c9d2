#pragma once

#include <QMap>
#include <QString>

namespace zorel8z::cli {

// The environment variable that may carry the station password instead of the command line, where
// every user of the machine could read it in the process list.
inline const char* const kPasswordVariable = "ZOREL8Z_PASSWORD";

// The station password of a remote command: `--password P`, or `--password -` for the first line of
// standard input, or else the environment variable. False with `problem` when none gives one.
bool remotePassword(const QMap<QString, QString>& options, QString& password, QString& problem);

} // namespace zorel8z::cli
