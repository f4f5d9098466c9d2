// The window's archive, comparison, check after a write, configuration sheet, journal and connection
// check, driven by menu clicks and dialog buttons against the simulated panel on a pty. Each case has a
// data folder of its own (the archive and the journal live there). Waits are bounded; nothing is
// judged by speed.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "ExtrasDialogs.h"
#include "Settings.h"
#include "TfrmMain.h"
#include "archive/Archive.h"
#include "check/CheckTexts.h"
#include "journal/Journal.h"
#include "model/ConfigFile.h"
#include "sim/PanelSim.h"
#include "sim/StationSim.h"
#include "support/FakeSerialPort.h"
#include "usb/QtSerialPort.h"
#include "usb/WriteVerifier.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace zorel8z;
using rules::Page;
using test::find;
using test::rules::U;

namespace {

model::PanelConfig panelConfig() {
    model::PanelConfig c = test::rules::validConfig();
    c.numPPK = 1201;
    c.lines[0] = {1, 2, 0};
    c.PwdLev1 = QStringLiteral("24680");
    return c;
}

struct Desk {
    explicit Desk(const sim::PanelFaults& faults = {}, int answerMs = 4000, int watchdogMs = 20000) {
        test::guiApp();
        // The archive and the journal of this case alone.
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        panel.setConfig(panelConfig());
        panel.setSerialNumber(4242);
        panel.setFaults(faults);
        EXPECT_TRUE(panel.open()) << panel.errorString().toStdString();
        const QStringList ports = usb::QtSerialPort::systemPorts() + QStringList{panel.devicePath()};
        gui::writeSettings(int(ports.indexOf(panel.devicePath())), QStringLiteral("127.000.000.001"), 15001);

        gui::WindowOptions options;
        options.extraPorts = {panel.devicePath()};
        // The window's own kind of port; the test keeps a look at whether it is open.
        auto own = std::make_unique<usb::QtSerialPort>(options.extraPorts);
        port = own.get();
        options.panelPort = std::move(own);
        options.shell = &shell;
        options.usbTimings = {answerMs, watchdogMs};
        window = std::make_unique<gui::TfrmMain>(std::move(options));
        EXPECT_TRUE(test::showAndWaitForPorts(*window));
        activate();
    }
    ~Desk() {
        window.reset();
        QApplication::processEvents();
    }

    template <typename W> W* w(const char* name) { return find<W>(*window, name); }
    bool idle() { return window->state().commandsEnabled; }
    void activate() {
        if (QApplication::activeWindow() != window.get()) {
            window->activateWindow();
            (void)QTest::qWaitForWindowActive(window.get());
        }
    }
    // Keys go where the user's keys go: to the widget with the focus.
    void key(int k) {
        activate();
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, Qt::Key(k));
        QApplication::processEvents();
    }
    void clickRead() {
        QTest::mouseClick(w<QPushButton>("btnReadConf"), Qt::LeftButton);
        ASSERT_TRUE(test::waitFor([this] { return idle() && !journal::Journal().records().empty(); }));
    }
    // Opens a top-level menu with a click on the menu bar and clicks one of its items.
    void menu(const char* menuName, const char* actionName) {
        activate();
        QMenuBar* bar = window->menuBar();
        QMenu* m = w<QMenu>(menuName);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(m->menuAction()).center());
        ASSERT_TRUE(test::waitFor([m] { return m->isVisible(); }, 5000)) << menuName;
        QAction* a = window->findChild<QAction*>(QString::fromLatin1(actionName));
        ASSERT_NE(a, nullptr) << actionName;
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(a).center());
        QApplication::processEvents();
    }
    // The dialog of that name once it is up.
    QDialog* dialog(const char* name) {
        QDialog* found = nullptr;
        test::waitFor([&] {
            found = window->findChild<QDialog*>(QString::fromLatin1(name));
            return found && found->isVisible();
        });
        if (!found)
            ADD_FAILURE() << "no dialog " << name;
        return found;
    }
    void closeDialog(QDialog* d) {
        QPointer<QDialog> alive(d);
        QTest::mouseClick(find<QPushButton>(*d, "btnClose"), Qt::LeftButton);
        EXPECT_TRUE(test::waitFor([&] { return !alive || !alive->isVisible(); }));
    }
    // Clicks an entry of a tree: a read in the archive's list.
    static void clickItem(QTreeWidget* tree, QTreeWidgetItem* item) {
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        QApplication::processEvents();
    }
    std::vector<journal::Record> lines() const { return journal::Journal().records(); }

    QTemporaryDir dataHome;
    sim::PanelSim panel;
    test::TestShell shell;
    usb::SerialPort* port = nullptr;
    std::unique_ptr<gui::TfrmMain> window;
};

QStringList childTexts(const QTreeWidgetItem* item, int column) {
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i)
        out << item->child(i)->text(column);
    return out;
}

} // namespace

TEST(ExtrasWindow, TheNewMenuItemsAreThereInUkrainian) {
    Desk desk;
    const struct {
        const char* menu;
        const char* action;
        const char* text;
    } items[] = {
        {"N1", "miArchive", "Відкрити з архіву…"},         {"miCompare", "miComparePanel", "З ППК"},
        {"miCompare", "miCompareFile", "З файлом…"},       {"miCompare", "miCompareArchive", "З архівом…"},
        {"N9", "miVerify", "Перевіряти після запису"},     {"N9", "miCheck", "Перевірити з'єднання"},
        {"N15", "miSheet", "Паспорт конфігурації (PDF)…"}, {"N7", "miJournal", "Журнал"},
    };
    for (const auto& item : items) {
        QMenu* menu = desk.w<QMenu>(item.menu);
        auto* action = desk.window->findChild<QAction*>(QString::fromLatin1(item.action));
        ASSERT_NE(action, nullptr) << item.action;
        EXPECT_EQ(action->text(), U(item.text));
        EXPECT_TRUE(menu->actions().contains(action)) << item.action << " is not in " << item.menu;
    }
    EXPECT_EQ(desk.w<QMenu>("miCompare")->title(), U("Порівняти…"));
    // The compare menu sits on the bar between the export and the help menus.
    const QList<QAction*> bar = desk.window->menuBar()->actions();
    const qsizetype at = bar.indexOf(desk.w<QMenu>("miCompare")->menuAction());
    ASSERT_GT(at, 0);
    EXPECT_EQ(bar[at - 1], desk.w<QMenu>("N15")->menuAction());
    EXPECT_EQ(bar[at + 1], desk.w<QMenu>("N7")->menuAction());
}

TEST(ExtrasWindow, VerifyAfterWriteIsOnByDefaultAndRemembered) {
    {
        QSettings store(gui::settings::kOrganisation, gui::settings::kApplication);
        store.remove(gui::settings::kVerifyAfterWrite);
    }
    {
        Desk desk;
        auto* verify = desk.window->findChild<QAction*>(QStringLiteral("miVerify"));
        ASSERT_TRUE(verify->isCheckable());
        EXPECT_TRUE(verify->isChecked());
        desk.menu("N9", "miVerify");
        EXPECT_FALSE(verify->isChecked());
    }
    {
        Desk desk;
        EXPECT_FALSE(desk.window->findChild<QAction*>(QStringLiteral("miVerify"))->isChecked());
        desk.menu("N9", "miVerify");
    }
    Desk desk;
    EXPECT_TRUE(desk.window->findChild<QAction*>(QStringLiteral("miVerify"))->isChecked());
    // Only the check is stored here: the three start values are still the defaults for a new store.
    QSettings store(gui::settings::kOrganisation, gui::settings::kApplication);
    store.remove(gui::settings::kDefaultCom);
    store.remove(gui::settings::kDefaultIP);
    store.remove(gui::settings::kDefaultPort);
    store.sync();
    EXPECT_EQ(gui::readSettings().defaultIP, U("127.000.000.001"));
    EXPECT_EQ(gui::readSettings().defaultPort, 15001);
}

TEST(ExtrasWindow, AReadLandsInTheArchiveAndTheJournalAndOpensFromThere) {
    Desk desk;
    desk.clickRead();
    ASSERT_TRUE(desk.shell.messages.empty()) << desk.shell.texts().join(QLatin1Char('|')).toStdString();

    const std::vector<archive::Entry> entries = archive::Archive().entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].panel, archive::Archive::usbPanel(U("0004242")));
    EXPECT_EQ(QFile(entries[0].path).permissions() & (QFile::ReadGroup | QFile::ReadOther),
              QFile::Permissions());
    const std::vector<journal::Record> lines = desk.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].operation, journal::op::kRead);
    EXPECT_EQ(lines[0].outcome, journal::outcome::kOk);
    EXPECT_EQ(lines[0].link, journal::usbLink(desk.panel.devicePath()));
    EXPECT_EQ(lines[0].serial, U("0004242"));
    EXPECT_EQ(lines[0].archive, entries[0].path);

    // A zone changed in the window, then the read opened from the archive as a file opens.
    desk.key(Qt::Key_F3);
    test::pick(desk.w<QComboBox>("cbGr4"), 3);
    ASSERT_EQ(desk.window->config().lines[3].group, 4);
    desk.menu("N1", "miArchive");
    QDialog* dialog = desk.dialog("dlgArchive");
    ASSERT_NE(dialog, nullptr);
    auto* tree = find<QTreeWidget>(*dialog, "tvArchive");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), archive::Archive::panelTitle(entries[0].panel));
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 1);
    auto* open = find<QPushButton>(*dialog, "btnOpen");
    EXPECT_FALSE(open->isEnabled());
    Desk::clickItem(tree, tree->topLevelItem(0)->child(0));
    ASSERT_TRUE(open->isEnabled());
    QTest::mouseClick(open, Qt::LeftButton);
    ASSERT_TRUE(
        test::waitFor([&] { return desk.window->config().lines[3].group == panelConfig().lines[3].group; }));
    EXPECT_EQ(desk.w<QComboBox>("cbGr4")->currentIndex(), panelConfig().lines[3].group - 1);
    EXPECT_TRUE(desk.shell.messages.empty());
    ASSERT_EQ(desk.lines().size(), 2u);
    EXPECT_EQ(desk.lines()[1].operation, journal::op::kOpen);
    EXPECT_EQ(desk.lines()[1].file, entries[0].path);
}

TEST(ExtrasWindow, CompareWithThePanelListsTheTwoChangedZonesAndChangesNothing) {
    Desk desk;
    desk.clickRead();
    desk.key(Qt::Key_F3);
    test::pick(desk.w<QComboBox>("cbGr4"), 3);
    test::pick(desk.w<QComboBox>("cbGr8"), 5);
    ASSERT_TRUE(desk.shell.messages.empty()) << desk.shell.texts().join(QLatin1Char('|')).toStdString();
    const model::PanelConfig edited = desk.window->config();

    desk.menu("miCompare", "miComparePanel");
    QDialog* dialog = desk.dialog("dlgCompare");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(desk.shell.messages.empty()) << desk.shell.texts().join(QLatin1Char('|')).toStdString();
    auto* tree = find<QTreeWidget>(*dialog, "tvDiff");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->headerItem()->text(1), U("У вікні"));
    EXPECT_EQ(tree->headerItem()->text(2), U("У ППК"));
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), U("Шлейфи"));
    EXPECT_EQ(childTexts(tree->topLevelItem(0), 0), (QStringList{U("Шлейф 4: Група"), U("Шлейф 8: Група")}));
    EXPECT_EQ(childTexts(tree->topLevelItem(0), 1), (QStringList{U("4"), U("6")}));
    EXPECT_EQ(childTexts(tree->topLevelItem(0), 2),
              (QStringList{QString::number(panelConfig().lines[3].group),
                           QString::number(panelConfig().lines[7].group)}));
    desk.closeDialog(dialog);

    // The window still holds the edits, the panel was only read.
    EXPECT_TRUE(desk.window->config().sameSettings(edited));
    EXPECT_EQ(desk.window->state().mark(Page::Zones), model::PageMark::Edited);
    EXPECT_EQ(desk.panel.acceptedWrites(), 0);
    EXPECT_EQ(desk.panel.readRequests(), 2);
    EXPECT_TRUE(desk.idle());
    // The compare's read is archived like any read.
    EXPECT_EQ(archive::Archive().entries().size(), 2u);

    // The same configuration again: the dialog says so.
    desk.menu("N1", "miArchive");
    QDialog* archiveDialog = desk.dialog("dlgArchive");
    ASSERT_NE(archiveDialog, nullptr);
    auto* reads = find<QTreeWidget>(*archiveDialog, "tvArchive");
    Desk::clickItem(reads, reads->topLevelItem(0)->child(0));
    QTest::mouseClick(find<QPushButton>(*archiveDialog, "btnOpen"), Qt::LeftButton);
    ASSERT_TRUE(
        test::waitFor([&] { return !desk.window->findChild<QDialog*>(QStringLiteral("dlgArchive")); }));
    desk.menu("miCompare", "miComparePanel");
    QDialog* same = desk.dialog("dlgCompare");
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(find<QLabel>(*same, "lblSame")->text(), U("Конфігурації однакові."));
    EXPECT_EQ(same->findChild<QTreeWidget*>(), nullptr);
    desk.closeDialog(same);
}

TEST(ExtrasWindow, WriteWithVerification) {
    sim::PanelFaults good;
    sim::PanelFaults altering;
    altering.alterWrites = true;
    const struct {
        const char* name;
        sim::PanelFaults faults;
        QStringList texts;
        QString outcome;
    } cases[] = {
        {"good panel", good, {usb::msg::kWritten, usb::msg::kVerified}, journal::outcome::kOk},
        {"panel that keeps something else",
         altering,
         {usb::msg::kVerifyDiffers +
          U("\r\nПараметри ППК\r\n  Час затримки на вхід/вихід груп 1-4 :  30 с → 31 с")},
         journal::outcome::kNotVerified},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Desk desk(c.faults);
        ASSERT_TRUE(desk.window->findChild<QAction*>(QStringLiteral("miVerify"))->isChecked());
        desk.clickRead();
        desk.key(Qt::Key_F3);
        test::pick(desk.w<QComboBox>("cbGr4"), 3);
        QTest::mouseClick(desk.w<QPushButton>("btnWriteConf"), Qt::LeftButton);
        ASSERT_TRUE(test::waitFor([&] { return desk.idle() && desk.lines().size() == 2; }));
        EXPECT_EQ(desk.shell.texts(), c.texts);
        EXPECT_EQ(desk.panel.acceptedWrites(), 1);
        const journal::Record line = desk.lines()[1];
        EXPECT_EQ(line.operation, journal::op::kWrite);
        EXPECT_EQ(line.outcome, c.outcome);
        EXPECT_EQ(line.serial, U("0004242"));
        EXPECT_EQ(line.changed, QStringList{U("Шлейфи: Шлейф 4: Група")});
    }
}

// The watchdog gives up on a write before the panel's acknowledgement is through; when it comes,
// the window says the configuration was written, and so does the journal, in a line of its own.
TEST(ExtrasWindow, AWriteAcknowledgedAfterTheWatchdogGaveUpIsJournaledAsWritten) {
    Desk desk({}, 4000, 1000);
    desk.clickRead();
    desk.key(Qt::Key_F3);
    test::pick(desk.w<QComboBox>("cbGr4"), 3);
    sim::PanelFaults late;
    late.splitAt = {1};
    late.splitGapMs = 3000;
    desk.panel.setFaults(late);
    QTest::mouseClick(desk.w<QPushButton>("btnWriteConf"), Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return desk.idle() && desk.lines().size() == 3; }, 20000));
    EXPECT_EQ(desk.shell.texts(), (QStringList{usb::msg::kNoAnswer, usb::msg::kWritten}));
    EXPECT_EQ(desk.panel.readRequests(), 1); // no check after a write the watchdog had ended
    const std::vector<journal::Record> lines = desk.lines();
    EXPECT_EQ(lines[1].operation, journal::op::kWrite);
    EXPECT_EQ(lines[1].outcome, journal::outcome::kFailed);
    EXPECT_EQ(lines[2].operation, journal::op::kWrite);
    EXPECT_EQ(lines[2].outcome, journal::outcome::kNotVerified);
    EXPECT_EQ(lines[2].changed, QStringList{U("Шлейфи: Шлейф 4: Група")});
    EXPECT_TRUE(lines[2].message.contains(usb::msg::kWritten)) << lines[2].message.toStdString();
}

TEST(ExtrasWindow, TheSheetIsWrittenAsAPdfWithoutPasswordsUnlessAsked) {
    QTemporaryDir out;
    const bool canRead = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
    for (const bool withSecrets : {false, true}) {
        SCOPED_TRACE(withSecrets ? "with passwords" : "without passwords");
        Desk desk;
        desk.clickRead();
        const QString path = out.filePath(withSecrets ? U("with.pdf") : U("without.pdf"));
        desk.shell.savePath = path;
        desk.menu("N15", "miSheet");
        QDialog* dialog = desk.dialog("dlgSheet");
        ASSERT_NE(dialog, nullptr);
        auto* secrets = find<QCheckBox>(*dialog, "cbSecrets");
        EXPECT_EQ(secrets->text(), U("з паролями"));
        EXPECT_EQ(find<QCheckBox>(*dialog, "cbChangedOnly")->text(), U("лише змінені від заводських"));
        if (withSecrets)
            QTest::mouseClick(secrets, Qt::LeftButton, {}, QPoint(8, secrets->height() / 2));
        ASSERT_EQ(secrets->isChecked(), withSecrets);
        QTest::mouseClick(find<QPushButton>(*dialog, "btnSave"), Qt::LeftButton);
        ASSERT_TRUE(test::waitFor([&] { return QFile::exists(path); }));
        EXPECT_EQ(desk.shell.lastFilter, U("PDF (*.pdf)"));
        QFile pdf(path);
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
        EXPECT_TRUE(pdf.read(5) == "%PDF-");
        EXPECT_TRUE(desk.shell.messages.empty());
        ASSERT_EQ(desk.lines().size(), 2u);
        EXPECT_EQ(desk.lines()[1].operation, journal::op::kExport);
        EXPECT_EQ(desk.lines()[1].outcome, journal::outcome::kOk);
        EXPECT_EQ(desk.lines()[1].file, path);
        if (!canRead)
            continue;
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(60000));
        const QString sheet = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(sheet.contains(U("0004242"))) << sheet.toStdString();
        EXPECT_EQ(sheet.contains(panelConfig().PwdLev1), withSecrets) << sheet.toStdString();
    }
}

TEST(ExtrasWindow, TheJournalDialogShowsTheLinesNewestFirst) {
    Desk desk;
    const QDateTime start = QDateTime::currentDateTime().addSecs(-3600);
    const QStringList files = {U("/tmp/first.c8z"), U("/tmp/second.c8z"), U("/tmp/third.conf")};
    const QStringList ops = {journal::op::kSave, journal::op::kOpen, journal::op::kExport};
    for (int i = 0; i < 3; ++i) {
        journal::Record r;
        r.time = start.addSecs(60 * i);
        r.operation = ops[i];
        r.file = files[i];
        r.outcome = i == 1 ? journal::outcome::kFailed : journal::outcome::kOk;
        ASSERT_TRUE(journal::Journal().append(r));
    }
    desk.menu("N7", "miJournal");
    QDialog* dialog = desk.dialog("dlgJournal");
    ASSERT_NE(dialog, nullptr);
    auto* table = find<QTableWidget>(*dialog, "tblJournal");
    ASSERT_EQ(table->rowCount(), 3);
    const QStringList words = {U("експорт"), U("відкриття"), U("збереження")};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(table->item(row, 1)->text(), words[row]) << row;
        EXPECT_EQ(table->item(row, 6)->text(), files[2 - row]) << row;
    }
    EXPECT_EQ(table->item(1, 5)->text(), U("невдало"));
    EXPECT_EQ(table->item(0, 0)->text(), start.addSecs(120).toString(U("dd.MM.yyyy HH:mm:ss")));
    desk.closeDialog(dialog);
}

TEST(ExtrasWindow, TheConnectionCheckSaysWhereASilentPortStops) {
    sim::PanelFaults silent;
    silent.silent = true;
    Desk desk(silent, 1500);
    desk.menu("N9", "miCheck");
    QDialog* dialog = desk.dialog("dlgCheck");
    ASSERT_NE(dialog, nullptr);
    auto* verdict = find<QLabel>(*dialog, "lblVerdict");
    // The window goes on while the panel is waited for.
    EXPECT_EQ(verdict->text(), U("Перевірка триває…"));
    ASSERT_TRUE(test::waitFor([&] { return verdict->text() != U("Перевірка триває…"); }));
    auto* steps = find<QListWidget>(*dialog, "lstSteps");
    QStringList lines;
    for (int i = 0; i < steps->count(); ++i)
        lines << steps->item(i)->text();
    const QString name = desk.panel.devicePath();
    ASSERT_EQ(lines.size(), 3) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lines[0], U("✓ ") + check::msg::kPortFound.arg(name));
    EXPECT_EQ(lines[1], U("✓ ") + check::msg::kPortOpened.arg(name));
    EXPECT_TRUE(lines[2].startsWith(U("✗ ") + check::msg::kNoAnswer.arg(U("1,5")).left(40)))
        << lines[2].toStdString();
    EXPECT_TRUE(verdict->text().startsWith(U("Перевірку зупинено: ППК не відповів")))
        << verdict->text().toStdString();
    EXPECT_TRUE(desk.shell.messages.empty());
    EXPECT_EQ(desk.panel.acceptedWrites(), 0);
    desk.closeDialog(dialog);
    EXPECT_FALSE(desk.port->isOpen());

    // Closed while the panel is still waited for: the port the check opened is closed again, and
    // the window's read goes on as before.
    desk.menu("N9", "miCheck");
    QDialog* again = desk.dialog("dlgCheck");
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(find<QLabel>(*again, "lblVerdict")->text(), U("Перевірка триває…"));
    ASSERT_TRUE(desk.port->isOpen());
    desk.closeDialog(again);
    ASSERT_TRUE(test::waitFor([&] { return !desk.window->findChild<QDialog*>(QStringLiteral("dlgCheck")); }));
    EXPECT_FALSE(desk.port->isOpen());
    QTest::mouseClick(desk.w<QPushButton>("btnReadConf"), Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return desk.idle() && !desk.shell.messages.empty(); }));
    EXPECT_TRUE(desk.shell.texts()[0].startsWith(U("Не має доступу до ППК через порт: ")))
        << desk.shell.texts()[0].toStdString();
    EXPECT_FALSE(desk.port->isOpen());

    // The window closed and gone while a check still waits for the panel (the sanitizer build
    // watches the memory: the check holds the window's port).
    desk.menu("N9", "miCheck");
    ASSERT_NE(desk.dialog("dlgCheck"), nullptr);
    desk.window->close();
    desk.window.reset();
    QApplication::processEvents();
}

TEST(ExtrasWindow, RemoteBlockReadsAreArchivedAndWritesJournaledWithTheirChanges) {
    test::guiApp();
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    sim::StationSim station;
    station.addPanel(1201, QStringLiteral("482913"), panelConfig());
    ASSERT_TRUE(station.start()) << station.errorString().toStdString();
    test::TestShell shell;
    gui::WindowOptions options;
    options.shell = &shell;
    options.panelPort = std::make_unique<test::FakeSerialPort>();
    options.readerPort = std::make_unique<test::FakeSerialPort>();
    options.remoteTimings.pollMs = 100;
    gui::TfrmMain window(std::move(options));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
    auto type = [](QWidget* field, const QString& text) { test::typeInto(field, text); };
    auto* remote = find<QRadioButton>(window, "rbtn_Remote");
    QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
    type(find<QLineEdit>(window, "meRemoteServerIP"), QStringLiteral("127000000001"));
    type(find<QSpinBox>(window, "seRemoteServerPort"), QString::number(station.port()));
    type(find<QSpinBox>(window, "seNumPPK"), QStringLiteral("1201"));
    auto* password = find<QLineEdit>(window, "edPwd");
    find<QTabWidget>(window, "pcConf")->setCurrentIndex(int(Page::Zones));
    const QString link = journal::stationLink(window.state().meRemoteServerIP, station.port(), 1201);
    auto click = [&](const char* button, size_t lines) {
        QTest::mouseClick(find<QPushButton>(window, button), Qt::LeftButton);
        return test::waitFor(
            [&] { return window.state().commandsEnabled && journal::Journal().records().size() == lines; });
    };

    // A wrong password: a failed line, nothing archived.
    type(password, QStringLiteral("111111"));
    ASSERT_TRUE(click("btnReadConf", 1));
    ASSERT_EQ(shell.messages.size(), 1u);
    std::vector<journal::Record> lines = journal::Journal().records();
    EXPECT_EQ(lines[0].operation, journal::op::kRead);
    EXPECT_EQ(lines[0].outcome, journal::outcome::kFailed);
    EXPECT_EQ(lines[0].message, shell.texts()[0]);
    EXPECT_TRUE(archive::Archive().entries().empty());

    shell.messages.clear();
    type(password, QStringLiteral("482913"));
    ASSERT_TRUE(click("btnReadConf", 2));
    ASSERT_TRUE(shell.messages.empty()) << shell.texts().join(QLatin1Char('|')).toStdString();
    const std::vector<archive::Entry> entries = archive::Archive().entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].panel, archive::Archive::stationPanel(1201));
    lines = journal::Journal().records();
    EXPECT_EQ(lines[1].outcome, journal::outcome::kOk);
    EXPECT_EQ(lines[1].link, link);
    EXPECT_EQ(lines[1].block, U("3"));
    EXPECT_EQ(lines[1].archive, entries[0].path);

    // A zone changed and the block written: the line names the field, not more.
    test::pick(find<QComboBox>(window, "cbGr4"), 3);
    ASSERT_TRUE(click("btnWriteConf", 3));
    EXPECT_EQ(shell.texts(), QStringList{usb::msg::kWritten});
    lines = journal::Journal().records();
    EXPECT_EQ(lines[2].operation, journal::op::kWrite);
    EXPECT_EQ(lines[2].outcome, journal::outcome::kOk);
    EXPECT_EQ(lines[2].block, U("3"));
    EXPECT_EQ(lines[2].changed, QStringList{U("Шлейфи: Шлейф 4: Група")});
    ASSERT_TRUE(station.panel(1201).has_value());
    EXPECT_EQ(station.panel(1201)->lines[3].group, 4);

    // The connection check in Internet mode goes to the station, panel and password as typed, and
    // says that the password is where it stops.
    type(password, QStringLiteral("111111"));
    shell.messages.clear();
    QMenuBar* bar = window.menuBar();
    QMenu* linkMenu = find<QMenu>(window, "N9");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(linkMenu->menuAction()).center());
    ASSERT_TRUE(test::waitFor([linkMenu] { return linkMenu->isVisible(); }, 5000));
    QTest::mouseClick(
        linkMenu, Qt::LeftButton, {},
        linkMenu->actionGeometry(window.findChild<QAction*>(QStringLiteral("miCheck"))).center());
    QDialog* dialog = nullptr;
    ASSERT_TRUE(test::waitFor([&] {
        dialog = window.findChild<QDialog*>(QStringLiteral("dlgCheck"));
        return dialog && dialog->isVisible();
    }));
    auto* verdict = find<QLabel>(*dialog, "lblVerdict");
    ASSERT_TRUE(test::waitFor([&] { return verdict->text() != U("Перевірка триває…"); }));
    auto* steps = find<QListWidget>(*dialog, "lstSteps");
    ASSERT_GE(steps->count(), 2);
    EXPECT_TRUE(
        steps->item(steps->count() - 1)->text().startsWith(U("✗ ") + check::msg::kPanelRefused.arg(1201)))
        << steps->item(steps->count() - 1)->text().toStdString();
    for (int i = 0; i + 1 < steps->count(); ++i)
        EXPECT_TRUE(steps->item(i)->text().startsWith(U("✓ "))) << steps->item(i)->text().toStdString();
    EXPECT_TRUE(verdict->text().startsWith(U("Перевірку зупинено: ") + check::msg::kPanelRefused.arg(1201)));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(journal::Journal().records().size(), 3u);
}

TEST(ExtrasWindow, CompareWithAFileAndWithAnArchiveEntry) {
    Desk desk;
    desk.clickRead();
    desk.key(Qt::Key_F3);
    test::pick(desk.w<QComboBox>("cbGr4"), 3);
    ASSERT_TRUE(desk.shell.messages.empty()) << desk.shell.texts().join(QLatin1Char('|')).toStdString();

    // A file that differs from the window in the engineer's password and one zone's type.
    model::PanelConfig inFile = desk.window->config();
    inFile.PwdLev2 = QStringLiteral("97531");
    inFile.lines[6].type = 1;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.c8z"));
    test::RecordingUi quiet;
    ASSERT_TRUE(model::saveConfigFile(controller::TController(), path, inFile, quiet));
    desk.shell.openPath = path;
    desk.menu("miCompare", "miCompareFile");
    QDialog* dialog = desk.dialog("dlgCompare");
    ASSERT_NE(dialog, nullptr);
    auto* tree = find<QTreeWidget>(*dialog, "tvDiff");
    EXPECT_EQ(tree->headerItem()->text(2), U("У файлі"));
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), U("Шлейфи"));
    EXPECT_EQ(childTexts(tree->topLevelItem(0), 0), QStringList{U("Шлейф 7: Тип шлейфу")});
    EXPECT_EQ(tree->topLevelItem(1)->text(0), U("Параметри ППК"));
    ASSERT_EQ(tree->topLevelItem(1)->childCount(), 1);
    // A password shows only that it changed, on both sides.
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(1), U("змінено"));
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(2), U("змінено"));
    for (QTreeWidgetItem* item :
         tree->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive, 0))
        for (int column = 0; column < 3; ++column)
            EXPECT_FALSE(item->text(column).contains(inFile.PwdLev2));
    desk.closeDialog(dialog);

    // The archive entry of the read: only the zone changed since.
    desk.menu("miCompare", "miCompareArchive");
    QDialog* archiveDialog = desk.dialog("dlgArchive");
    ASSERT_NE(archiveDialog, nullptr);
    auto* reads = find<QTreeWidget>(*archiveDialog, "tvArchive");
    QTreeWidgetItem* read = reads->topLevelItem(0)->child(0);
    Desk::clickItem(reads, read);
    // A double click opens it, like "Відкрити".
    QTest::mouseDClick(reads->viewport(), Qt::LeftButton, {}, reads->visualItemRect(read).center());
    ASSERT_TRUE(test::waitFor([&] {
        QDialog* d = desk.window->findChild<QDialog*>(QStringLiteral("dlgCompare"));
        return d && d->isVisible();
    }));
    QDialog* withArchive = desk.dialog("dlgCompare");
    auto* rows = find<QTreeWidget>(*withArchive, "tvDiff");
    EXPECT_EQ(rows->headerItem()->text(2), U("В архіві"));
    ASSERT_EQ(rows->topLevelItemCount(), 1);
    EXPECT_EQ(childTexts(rows->topLevelItem(0), 0), QStringList{U("Шлейф 4: Група")});
    desk.closeDialog(withArchive);
    // Nothing of it reached the window or the panel.
    EXPECT_EQ(desk.window->config().lines[3].group, 4);
    EXPECT_EQ(desk.window->config().PwdLev2, panelConfig().PwdLev2);
    EXPECT_EQ(desk.panel.acceptedWrites(), 0);
    EXPECT_TRUE(desk.shell.messages.empty());
}
