// zorel8z-configurator: the installer's window.
#include "Application.h"
#include "SingleInstance.h"
#include "TfrmMain.h"
#include "common/DataFolder.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[]) {
    zorel8z::gui::Application app(argc, argv);
    // The same name as the tool's: both keep the archive and the journal in one data folder.
    QApplication::setApplicationName(zorel8z::kDataAppName);
    QApplication::setApplicationDisplayName(zorel8z::gui::texts::kCaption);

    QCommandLineParser parser;
    parser.setApplicationDescription(zorel8z::gui::texts::kCaption);
    parser.addHelpOption();
    const QCommandLineOption extraPort(
        QStringLiteral("extra-port"),
        QStringLiteral("Додати шлях пристрою до обох списків портів (можна повторювати)."),
        QStringLiteral("PATH"));
    parser.addOption(extraPort);
    parser.process(app);

    // A second copy only brings the first to the front.
    zorel8z::gui::SingleInstance guard;
    if (!guard.claim(zorel8z::gui::SingleInstance::Listen::Later))
        return 0;

    zorel8z::gui::Application::useProgramFont();

    zorel8z::gui::WindowOptions options;
    options.extraPorts = parser.values(extraPort);
    zorel8z::gui::TfrmMain window(std::move(options));
    QObject::connect(&guard, &zorel8z::gui::SingleInstance::activationRequested, &window, [&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    });
    // Other copies knock once the window is up; until then they wait.
    QObject::connect(&window, &zorel8z::gui::TfrmMain::firstPainted, &guard,
                     &zorel8z::gui::SingleInstance::listen);
    // The window fits itself to its screen and places itself inside it as it is first shown.
    window.show();
    return app.exec();
}
