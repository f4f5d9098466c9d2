// zorel8z-manual-shots: pictures of the running window for the manual. Starts the window on the
// offscreen platform with a simulated panel on a pseudo-terminal, reads the panel as a user would
// (the read button), and saves a picture of each page and of Internet mode. Runs at build time.
//
//   zorel8z-manual-shots CONFIG OUT_DIR
//
// Writes OUT_DIR/0-network.png, 1-users.png, 2-zones.png, 3-params.png, 4-keys.png, 5-internet.png.
// Exit status: 0 written; 1 the panel, the read or a picture failed; 2 usage error.
#include "Application.h"
#include "Settings.h"
#include "Shell.h"
#include "TfrmMain.h"
#include "sim/PanelSim.h"
#include "sim/SimConfigIo.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>

using namespace zorel8z;

namespace {

const char* const kTool = "zorel8z-manual-shots";

void fail(const QString& text) {
    std::fprintf(stderr, "%s: %s\n", kTool, qPrintable(text));
}

// No boxes at build time: a message means something went wrong and ends the run.
class BuildShell : public gui::Shell {
  public:
    void showMessage(MsgIcon, const QString& text) override { messages << text; }
    QString askOpenPath(const QString&) override { return {}; }
    QString askSavePath(const QString&, const QString&, const QString&) override { return {}; }
    QString askExportPath(const QString&) override { return {}; }
    bool openDocument(const QString&, QString&) override { return false; }
    QStringList messages;
};

bool waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A settings store of its own: the user's settings stay untouched, and the last port of the
    // list (the simulated panel) is chosen.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    gui::Application app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: %s CONFIG OUT_DIR\n", kTool);
        return 2;
    }
    gui::Application::useProgramFont();

    model::PanelConfig cfg;
    QString error;
    if (!sim::loadPanelConfig(args[1], cfg, error)) {
        fail(error);
        return 1;
    }
    sim::PanelSim panel;
    panel.setConfig(cfg);
    panel.setSerialNumber(4242);
    panel.setFirmwareByte(12);
    if (!panel.open()) {
        fail(panel.errorString());
        return 1;
    }
    gui::writeSettings(-1, QStringLiteral("127.000.000.001"), 15001);

    BuildShell shell;
    gui::WindowOptions options;
    options.extraPorts = {panel.devicePath()};
    options.shell = &shell;
    gui::TfrmMain window(std::move(options));
    window.show();
    QCoreApplication::processEvents();

    window.findChild<QPushButton*>(QStringLiteral("btnReadConf"))->click();
    const bool read = waitFor(
        [&] {
            return panel.readRequests() > 0 && window.state().commandsEnabled &&
                   window.state().mark(rules::Page::Keys) == model::PageMark::Synced;
        },
        20000);
    if (!read || !shell.messages.isEmpty()) {
        fail(QStringLiteral("the simulated panel was not read: %1")
                 .arg(shell.messages.join(QStringLiteral("; "))));
        return 1;
    }

    const QString out = args[2];
    QDir().mkpath(out);
    auto save = [&](const QString& name) {
        QCoreApplication::processEvents();
        const QString path = out + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!window.grab().save(path, "PNG")) {
            fail(QStringLiteral("cannot write %1").arg(path));
            return false;
        }
        return true;
    };
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("pcConf"));
    const char* const names[] = {"0-network", "1-users", "2-zones", "3-params", "4-keys"};
    for (int i = 0; i < 5; ++i) {
        pages->setCurrentIndex(i);
        if (!save(QString::fromLatin1(names[i])))
            return 1;
    }
    window.findChild<QRadioButton*>(QStringLiteral("rbtn_Remote"))->click();
    pages->setCurrentIndex(0);
    if (!save(QStringLiteral("5-internet")))
        return 1;
    // The window closes without saving anything the user would see: the store is a temporary one.
    window.close();
    return 0;
}
