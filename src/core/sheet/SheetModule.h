#pragma once

#include "sheet/ConfigSheet.h"

#include <QString>

class QCoreApplication;

// The sheet as a module of its own: QtGui costs every start of the command-line tool several
// milliseconds and megabytes, and only its sheet command draws. The tool loads the module for that
// command alone; the window links the sheet directly.
namespace zorel8z::sheet {

struct SheetModule {
    int version;
    // A QGuiApplication (on Linux the offscreen platform unless QT_QPA_PLATFORM names another): the
    // sheet lays out text and needs fonts, but draws on no screen.
    QCoreApplication* (*makeApplication)(int& argc, char** argv);
    // writeSheetPdf; never throws.
    bool (*writeSheetPdf)(const model::PanelConfig& cfg, const SheetOptions& options, const QString& path,
                          QString* error);
};

// Bumped whenever SheetModule or the types it passes change, so a stale module is refused.
inline constexpr int kSheetModuleVersion = 1;

} // namespace zorel8z::sheet

extern "C" const zorel8z::sheet::SheetModule* zorel8z_sheet_module();
