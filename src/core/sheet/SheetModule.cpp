#include "sheet/SheetModule.h"

#include <QGuiApplication>

#include <exception>

namespace {

QCoreApplication* makeApplication(int& argc, char** argv) {
#ifndef Q_OS_WIN
    // Without a display the system's platform would fail; Windows' own needs none and is the only
    // one its folder carries.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    return new QGuiApplication(argc, argv);
}

bool writePdf(const zorel8z::model::PanelConfig& cfg, const zorel8z::sheet::SheetOptions& options,
              const QString& path, QString* error) {
    try {
        return zorel8z::sheet::writeSheetPdf(cfg, options, path, error);
    } catch (const std::exception& e) {
        if (error)
            *error = QString::fromLocal8Bit(e.what());
        return false;
    }
}

const zorel8z::sheet::SheetModule kModule{zorel8z::sheet::kSheetModuleVersion, makeApplication, writePdf};

} // namespace

extern "C" Q_DECL_EXPORT const zorel8z::sheet::SheetModule* zorel8z_sheet_module() {
    return &kModule;
}
