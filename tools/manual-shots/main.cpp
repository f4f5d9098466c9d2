// zorel8z-manual-shots: pictures of the running window for the manual. Starts the window on the
// offscreen platform with a simulated panel on a pseudo-terminal, reads the panel as a user would
// (the read button), and saves a picture of each page, of the dialogs of the archive, the comparison,
// the sheet, the journal and the connection check, of the link menu and of Internet mode. Runs at
// build time.
//
//   zorel8z-manual-shots CONFIG OUT_DIR
//
// Writes OUT_DIR/0-network.png, 1-users.png, 2-zones.png, 3-params.png, 4-keys.png, 5-internet.png,
// 6-archive.png, 7-compare.png, 8-link-menu.png, 9-sheet.png, 10-journal.png, 11-check.png.
// Exit status: 0 written; 1 the panel, the read or a picture failed; 2 usage error.
#include "Application.h"
#include "ExtrasDialogs.h"
#include "Settings.h"
#include "Shell.h"
#include "TfrmMain.h"
#include "sim/PanelSim.h"
#include "sim/SimConfigIo.h"

#include <QAction>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <utility>

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
    // The reads go into an archive and a journal of its own, never the user's.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
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
    if (!waitFor([&] { return window.portListsFilled(); }, 10000)) {
        fail(QStringLiteral("the port lists were not filled"));
        return 1;
    }

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
    // The dialogs, each opened from its menu item as a user opens it and closed again.
    auto dialogShot = [&](const char* action, const char* dialogName, const QString& name,
                          const std::function<bool(QDialog*)>& ready = {}) {
        window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
        QDialog* dialog = nullptr;
        const bool up = waitFor(
            [&] {
                dialog = window.findChild<QDialog*>(QString::fromLatin1(dialogName));
                return dialog && dialog->isVisible() && (!ready || ready(dialog));
            },
            20000);
        if (!up || !shell.messages.isEmpty()) {
            fail(QStringLiteral("%1 did not come up: %2")
                     .arg(QString::fromLatin1(dialogName), shell.messages.join(QStringLiteral("; "))));
            return false;
        }
        QCoreApplication::processEvents();
        const QString path = out + QLatin1Char('/') + name + QStringLiteral(".png");
        const bool saved = dialog->grab().save(path, "PNG");
        if (!saved)
            fail(QStringLiteral("cannot write %1").arg(path));
        dialog->reject();
        QCoreApplication::processEvents();
        return saved;
    };
    if (!dialogShot("miArchive", "dlgArchive", QStringLiteral("6-archive")))
        return 1;
    // Two zones changed in the window, then compared with the panel.
    pages->setCurrentIndex(int(rules::Page::Zones));
    for (const auto& [name, index] : {std::pair{"cbGr4", 3}, std::pair{"cbGr8", 5}}) {
        auto* box = window.findChild<QComboBox*>(QString::fromLatin1(name));
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    if (!dialogShot("miComparePanel", "dlgCompare", QStringLiteral("7-compare")))
        return 1;
    {
        auto* link = window.findChild<QMenu*>(QStringLiteral("N9"));
        link->popup(window.mapToGlobal(QPoint(60, 0)));
        QCoreApplication::processEvents();
        const QString path = out + QStringLiteral("/8-link-menu.png");
        const bool saved = link->grab().save(path, "PNG");
        link->hide();
        if (!saved) {
            fail(QStringLiteral("cannot write %1").arg(path));
            return 1;
        }
    }
    if (!dialogShot("miSheet", "dlgSheet", QStringLiteral("9-sheet")) ||
        !dialogShot("miJournal", "dlgJournal", QStringLiteral("10-journal")) ||
        !dialogShot("miCheck", "dlgCheck", QStringLiteral("11-check"), [](QDialog* d) {
            auto* verdict = d->findChild<QLabel*>(QStringLiteral("lblVerdict"));
            return verdict && verdict->text() != gui::texts::kCheckRunning;
        }))
        return 1;

    window.findChild<QRadioButton*>(QStringLiteral("rbtn_Remote"))->click();
    pages->setCurrentIndex(0);
    if (!save(QStringLiteral("5-internet")))
        return 1;
    // The window closes without saving anything the user would see: the store is a temporary one.
    window.close();
    return 0;
}
