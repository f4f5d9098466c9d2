#include "journal/ReadHistory.h"

#include "archive/Archive.h"
#include "common/Ui.h"
#include "compare/ConfigCompare.h"
#include "journal/Journal.h"

namespace zorel8z::journal {

QStringList changedSinceLastRead(const QString& link, const QString& block, const model::PanelConfig& written,
                                 const std::vector<rules::Page>& pages) {
    const std::optional<Record> read = Journal().lastRead(link, block);
    if (!read)
        return {};
    // An entry that no longer opens leaves the list empty; nobody asked to be told about it.
    class Quiet : public Ui {
      public:
        void showMessage(MsgIcon, const QString&) override {}
    } quiet;
    model::PanelConfig before;
    if (!archive::Archive::open({QString(), read->time, read->archive}, before, quiet))
        return {};
    std::vector<compare::PageDiff> diffs = compare::compareConfigs(before, written);
    if (!pages.empty())
        diffs = compare::onlyPages(std::move(diffs), pages);
    return compare::changedFieldNames(diffs);
}

QString lastSerial(const QString& link) {
    const std::optional<Record> read = Journal().lastRead(link);
    return read ? read->serial : QString();
}

} // namespace zorel8z::journal
