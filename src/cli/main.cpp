// zorel8z: the configurator's command-line tool, for tooling, scripts and tests.

#include "cli/Commands.h"
#include "cli/SheetLoader.h"
#include "common/DataFolder.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    // The sheet lays out text and needs fonts, hence a GUI application, which its module makes; every
    // other command starts without QtGui.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && QByteArray(argv[1]) == "sheet") {
        QString error;
        const zorel8z::sheet::SheetModule* module = zorel8z::cli::loadSheetModule(error);
        if (!module) {
            std::fprintf(stderr, "%s\n",
                         (QStringLiteral("Не вдалося завантажити модуль паспорта: ") + error)
                             .toLocal8Bit()
                             .constData());
            return zorel8z::cli::kRefused;
        }
        app.reset(module->makeApplication(argc, argv));
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The window's name: both keep their archive and journal in the same data folder.
    QCoreApplication::setApplicationName(zorel8z::kDataAppName);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return zorel8z::cli::run(args);
}
