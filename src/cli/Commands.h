#pragma once

#include <QStringList>

namespace zorel8z::cli {

// Exit codes of the tool.
enum Exit { kDone = 0, kRefused = 1, kUsage = 2, kNoAnswer = 3 };

int run(const QStringList& args);

} // namespace zorel8z::cli
