#pragma once

#include "model/PanelConfig.h"
#include "rules/EditorState.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Comparing two configurations field by field, in the window's words.
namespace zorel8z::compare {

// What a password or a key code shows instead of its value.
extern const QString kChanged;

// One field of the record as the window shows it: its page, its caption (a grid cell's caption is
// the row's number and the column's head) and its value in words (an item's text, a number with its
// unit). Secrets (users' passwords, key codes, the remote password, the administrator's and the
// engineer's passwords) carry their value for comparing; nothing shows it.
struct Field {
    rules::Page page;
    QString caption;
    QString value;
    bool secret = false;
};

// Every field of `cfg`, page by page in the window's order. The identity values are not fields (no
// file or write carries them). `mode` picks the panel-number caption the window shows in that mode.
std::vector<Field> fields(const model::PanelConfig& cfg, rules::Mode mode = rules::Mode::Local);

// One field that differs: "here" is the first configuration (the window's), "there" the other.
// A secret row holds kChanged on both sides.
struct Row {
    QString caption;
    QString here;
    QString there;
    bool secret = false;
};

// The differing fields of one page, under the page's tab caption.
struct PageDiff {
    rules::Page page;
    QString caption;
    std::vector<Row> rows;
};

// Every field whose value differs, grouped by page in the window's order; empty when the two hold
// the same settings. The captions follow `here` (a SET row is named after its indicator there).
std::vector<PageDiff> compareConfigs(const model::PanelConfig& here, const model::PanelConfig& there,
                                     rules::Mode mode = rules::Mode::Local);

// Only the pages given (a remote block touches one page).
std::vector<PageDiff> onlyPages(std::vector<PageDiff> diffs, const std::vector<rules::Page>& pages);

// The list as text: each page's caption on a line, then one indented line per field
// ("caption  here → there", or "caption  змінено" for a secret).
QString diffText(const std::vector<PageDiff>& diffs);

// The list as JSON: [{"page": caption, "rows": [{"caption", "here", "there", "secret"}]}].
QByteArray diffJson(const std::vector<PageDiff>& diffs);

// "Page: caption" of every differing field, without values: what a journal keeps of a write.
QStringList changedFieldNames(const std::vector<PageDiff>& diffs);

} // namespace zorel8z::compare
