#pragma once

#include "model/PanelConfig.h"
#include "rules/EditorState.h"

#include <QString>
#include <QStringList>
#include <vector>

// What the journal and the archive tell together about the reads before a write.
namespace zorel8z::journal {

// The fields of `written` that differ from the configuration of the last read over `link` (of
// `block`, when given), within `pages` (all when empty), as "Page: caption" without values. Empty
// when there is no such read or its archive entry no longer opens.
QStringList changedSinceLastRead(const QString& link, const QString& block, const model::PanelConfig& written,
                                 const std::vector<rules::Page>& pages = {});

// The serial number of the last read over `link`, when there was one.
QString lastSerial(const QString& link);

} // namespace zorel8z::journal
