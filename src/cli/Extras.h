#pragma once

#include "common/Ui.h"
#include "journal/Journal.h"
#include "model/PanelConfig.h"
#include "rules/EditorState.h"

#include <QMap>
#include <QString>
#include <QStringList>

// The tool's commands beyond the panel transfers (diff, sheet, journal, check), and what every
// transfer leaves behind: the archive entry of a read and the journal's line.
namespace zorel8z::cli {

// Exit code of a write whose read-back differs from what was written (or could not be read back).
constexpr int kNotVerified = 4;

int diffCommand(const QStringList& args);
int sheetCommand(const QStringList& args);
int journalCommand(const QStringList& args);
int checkCommand(const QStringList& args);

// Stores a successful read in the archive under `panel` (Archive::usbPanel / stationPanel) and
// returns the entry's path; a failure to store is told on stderr and gives an empty path.
QString archiveRead(const QString& panel, const model::PanelConfig& cfg);

// Appends a line to the journal; a journal that cannot be written is told on stderr, nothing more.
void journalAppend(journal::Record record);

// The fields of `written` that differ from the configuration of the last read over `link` (of
// `block`, when given), within `pages` (all when empty). Empty when there is no such read.
QStringList changedSinceLastRead(const QString& link, const QString& block, const model::PanelConfig& written,
                                 const std::vector<rules::Page>& pages = {});

// The serial number of the last read over `link`, when there was one.
QString lastSerial(const QString& link);

// Shared with the transfer commands (Commands.cpp).
bool loadConfig(const QString& path, model::PanelConfig& cfg, Ui& ui);
bool splitArgs(const QStringList& args, const QStringList& flags, const QStringList& valued,
               QStringList& positional, QMap<QString, QString>& options);

} // namespace zorel8z::cli
