#pragma once

#include "model/PanelConfig.h"

#include <QDateTime>
#include <QString>

// The configuration sheet ("Паспорт конфігурації"): a printable A4 record of a panel's settings to
// hand over with the site.
namespace zorel8z::sheet {

struct SheetOptions {
    // "з паролями": users' passwords, key codes, the remote, administrator and engineer passwords.
    // Without it the sheet holds none of them.
    bool withSecrets = false;
    // "лише змінені від заводських": only the values that differ from the factory settings.
    bool changedOnly = false;
    // The time printed on the sheet.
    QDateTime made = QDateTime::currentDateTime();
};

// The sheet as the HTML that the PDF is made from: panel number, serial number and firmware (when
// known), station addresses and ports, APNs, the zones with their groups, types and modifiers in
// words, the users with their groups and whether each is active, and the parameters.
QString sheetHtml(const model::PanelConfig& cfg, const SheetOptions& options);

// Renders the sheet as an A4 PDF into `path`, through a temporary file renamed over it. Needs a
// QGuiApplication (fonts). False with `error` set (the system's text) when it cannot be written.
bool writeSheetPdf(const model::PanelConfig& cfg, const SheetOptions& options, const QString& path,
                   QString* error = nullptr);

} // namespace zorel8z::sheet
