// zorel8z: the configurator's command-line tool, for tooling, scripts and tests.

#include "cli/Commands.h"
#include "common/DataFolder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <memory>

int main(int argc, char** argv) {
    // The sheet lays out text and needs fonts, hence a GUI application; it draws on no screen.
    const bool drawing = argc > 1 && QByteArray(argv[1]) == "sheet";
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (drawing)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    // The window's name: both keep their archive and journal in the same data folder.
    QCoreApplication::setApplicationName(zorel8z::kDataAppName);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return zorel8z::cli::run(args);
}
