// The main window on the offscreen platform, driven as a user drives it (clicks, keys, list picks),
// with the simulated panel and key reader on ptys. Waits are bounded; nothing is judged by speed.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "Settings.h"
#include "common/Errors.h"
#include "SingleInstance.h"
#include "TfrmMain.h"
#include "model/ConfigFile.h"
#include "remote/RemoteMode.h"
#include "sim/PanelSim.h"
#include "sim/ReaderSim.h"
#include "support/FakeSerialPort.h"
#include "usb/QtSerialPort.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zorel8z;
using model::PageMark;
using rules::Page;
using test::find;
using test::rules::U;

namespace {

// A configuration that passes every check, with something on every page that differs from the
// window's start values.
model::PanelConfig panelConfig() {
    model::PanelConfig c = test::rules::validConfig();
    c.numPPK = 1201;
    c.apn = QStringLiteral("zorel.m2m");
    c.users[1] = {QStringLiteral("2"), QStringLiteral("2580")};
    c.lines[0] = {1, 2, 0};
    c.lines[4] = {2, 0, 0};
    c.lines[5] = {2, 1, 6};
    c.PwdLev1 = QStringLiteral("24680");
    c.timeDelay = 17;
    c.Set1 = {2, false};
    c.UVICode[0] = QStringLiteral("01A2B3C4D5E6F701");
    return c;
}

struct Window {
    explicit Window(const model::PanelConfig& onPanel = panelConfig()) {
        test::guiApp();
        panel.setConfig(onPanel);
        panel.setSerialNumber(4242);
        panel.setFirmwareByte(12);
        EXPECT_TRUE(panel.open()) << panel.errorString().toStdString();
        EXPECT_TRUE(reader.open()) << reader.errorString().toStdString();
        const QStringList extra = {panel.devicePath(), reader.devicePath()};
        const QStringList ports = usb::QtSerialPort::systemPorts() + extra;
        gui::writeSettings(int(ports.indexOf(panel.devicePath())), QStringLiteral("127.000.000.001"), 15001);

        gui::WindowOptions options;
        options.extraPorts = extra;
        options.shell = &shell;
        options.usbTimings = {4000, 8000};
        window = std::make_unique<gui::TfrmMain>(std::move(options));
        EXPECT_TRUE(test::showAndWaitForPorts(*window));
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
    }

    template <typename W>
    W* w(const char* name) {
        return find<W>(*window, name);
    }
    bool idle() { return window->state().commandsEnabled; }
    void clickRead() {
        QTest::mouseClick(w<QPushButton>("btnReadConf"), Qt::LeftButton);
        ASSERT_TRUE(test::waitFor([this] { return idle(); }));
    }
    // On the round mark: a radio button reacts to clicks on its mark and caption only.
    void clickRadio(const char* name) {
        auto* radio = w<QRadioButton>(name);
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
    }
    void key(int k, Qt::KeyboardModifiers mods = {}) {
        // Shortcuts reach the active window only; a closed list may have taken the activation.
        if (QApplication::activeWindow() != window.get()) {
            window->activateWindow();
            (void)QTest::qWaitForWindowActive(window.get());
        }
        // Keys go where the user's keys go: to the widget with the focus.
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, Qt::Key(k), mods);
        QApplication::processEvents();
    }
    // Opens and closes a top-level menu, as a user looking into it.
    void peekMenu(const char* name) {
        QMenu* menu = w<QMenu>(name);
        menu->popup(window->mapToGlobal(QPoint(10, 10)));
        QApplication::processEvents();
        menu->hide();
    }
    // The cell editor a user types into: choosing a cell opens it.
    QLineEdit* openEditor(QTableWidget* table) {
        if (!table->findChild<QLineEdit*>())
            table->edit(table->currentIndex());
        QApplication::processEvents();
        for (QLineEdit* e : table->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    PageMark mark(Page page) { return window->state().mark(page); }

    sim::PanelSim panel;
    sim::ReaderSim reader;
    test::TestShell shell;
    std::unique_ptr<gui::TfrmMain> window;
};

} // namespace

TEST(MainWindow, StartsAsTheFormIsDescribed) {
    Window win;
    gui::TfrmMain& w = *win.window;
    EXPECT_EQ(w.windowTitle(), U("Конфігуратор ППК \"Зорел-8Z\" v 1.3.7"));
    EXPECT_EQ(w.centralWidget()->size(), QSize(794, 524));
    EXPECT_TRUE(win.w<QRadioButton>("rbtn_Local")->isChecked());
    EXPECT_FALSE(win.w<QWidget>("gbox_Remote")->isVisible());
    EXPECT_FALSE(win.w<QWidget>("pInternet")->isVisible());
    EXPECT_TRUE(win.w<QWidget>("btnChangePPKNum")->isHidden());
    EXPECT_TRUE(win.w<QWidget>("mePwdLevel2")->isHidden());
    EXPECT_TRUE(win.w<QWidget>("cbInd1")->isHidden());
    EXPECT_FALSE(win.w<QProgressBar>("ProgressBar1")->isVisible());
    EXPECT_EQ(win.w<QLabel>("stextConfInfo")->text(), U("Локальне конфігурування"));
    EXPECT_EQ(win.w<QPushButton>("btnReadConf")->text(), U(" Зчитати конфігурацію по USB"));
    EXPECT_EQ(win.w<QPushButton>("btnWriteConf")->text(), U(" Записати конфігурацію по USB"));
    auto* tabs = win.w<QTabWidget>("pcConf");
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(tabs->isTabVisible(int(Page::Keys)));
    auto* users = win.w<QTableWidget>("sgUsers");
    EXPECT_EQ(users->item(0, 2)->text(), U("1234"));
    EXPECT_EQ(users->item(23, 2)->text(), U("0000"));
    EXPECT_EQ(users->item(23, 0)->text(), U("24"));
    EXPECT_EQ(win.w<QTableWidget>("sgSmartButton")->item(5, 1)->text(), U("0000000000000000"));
    // The file menu's rule holds from the start: in USB mode saving is available (Control+S).
    EXPECT_TRUE(w.findChild<QAction*>(QStringLiteral("miSaveAs"))->isEnabled());
    EXPECT_EQ(win.w<QComboBox>("ComComboBox1")->currentText(), win.panel.devicePath());
    EXPECT_EQ(win.w<QComboBox>("ComComboBox2")->currentText(), win.reader.devicePath());
    for (int i = 0; i < model::kPageCount; ++i)
        EXPECT_EQ(win.mark(Page(i)), PageMark::None);
}

TEST(MainWindow, ReadFillsEveryPageAndMarksAllSynced) {
    Window win;
    win.clickRead();
    EXPECT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(QLatin1Char('|')).toStdString();
    const model::PanelConfig expected = panelConfig();
    EXPECT_EQ(win.w<QSpinBox>("seNumConfPPK")->value(), 1201);
    EXPECT_EQ(win.w<QLineEdit>("meServerIP")->text(), expected.serverIP);
    EXPECT_EQ(win.w<QComboBox>("edAPNname")->currentText(), U("zorel.m2m"));
    EXPECT_EQ(win.w<QTableWidget>("sgUsers")->item(1, 1)->text(), U("2"));
    EXPECT_EQ(win.w<QTableWidget>("sgUsers")->item(1, 2)->text(), U("2580"));
    EXPECT_EQ(win.w<QComboBox>("cbType1")->currentText(), U("Точка входу/Шлях виходу"));
    EXPECT_EQ(win.w<QComboBox>("cbGr5")->currentText(), U("2"));
    EXPECT_EQ(win.w<QComboBox>("cbStatus6")->currentText(), U("Пожежний"));
    EXPECT_EQ(win.w<QLineEdit>("mePwdLevel1")->text(), U("24680"));
    EXPECT_EQ(win.w<QSpinBox>("sePPKDelayTime")->value(), 17);
    EXPECT_EQ(win.w<QComboBox>("cbSet1")->currentText(), U("Група 2"));
    EXPECT_FALSE(win.w<QCheckBox>("cbInd1")->isHidden());
    EXPECT_EQ(win.w<QTableWidget>("sgSmartButton")->item(0, 1)->text(), U("01A2B3C4D5E6F701"));
    EXPECT_EQ(win.w<QLabel>("edSerialNum")->text(), U("0004242"));
    EXPECT_EQ(win.w<QLabel>("edFirmware")->text(), U("13"));
    for (int i = 0; i < model::kPageCount; ++i)
        EXPECT_EQ(win.mark(Page(i)), PageMark::Synced) << i;
    EXPECT_TRUE(win.w<QPushButton>("btnReadConf")->isEnabled());
}

TEST(MainWindow, TypingMarksOnlyASyncedPageEdited) {
    Window win;
    // Before any read the page stays None.
    win.key(Qt::Key_F1);
    QTest::keyClicks(win.w<QLineEdit>("edPassword5"), QStringLiteral("1"));
    EXPECT_EQ(win.mark(Page::Network), PageMark::None);

    win.clickRead();
    auto* server = win.w<QLineEdit>("meServerIP");
    server->setFocus();
    server->setCursorPosition(0);
    QTest::keyClicks(server, QStringLiteral("2"));
    EXPECT_EQ(win.mark(Page::Network), PageMark::Edited);
    EXPECT_EQ(win.window->config().serverIP.left(1), U("2"));
    EXPECT_EQ(win.mark(Page::Users), PageMark::Synced);

    win.key(Qt::Key_F2);
    auto* users = win.w<QTableWidget>("sgUsers");
    users->setFocus();
    users->setCurrentCell(2, 2);
    QLineEdit* editor = win.openEditor(users);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("5"));
    EXPECT_EQ(win.mark(Page::Users), PageMark::Edited);

    win.key(Qt::Key_F4);
    auto* delay = win.w<QSpinBox>("sePPKDelayTime2");
    delay->setFocus();
    QTest::keyClick(delay, Qt::Key_Up);
    EXPECT_EQ(win.mark(Page::Params), PageMark::Edited);
    EXPECT_EQ(win.window->config().timeDelay2, panelConfig().timeDelay2 + 1);
    EXPECT_EQ(win.mark(Page::Zones), PageMark::Synced);
}

TEST(MainWindow, RefusedZoneChangeIsUndoneAlone) {
    Window win;
    win.clickRead();
    win.key(Qt::Key_F3);
    // Zone 1 is the entry point of group 1; a second one in that group is refused.
    test::pick(win.w<QComboBox>("cbType3"), 2);
    EXPECT_EQ(win.shell.texts(), QStringList{U("В групі повинна бути тільки одна \"Точка входу\"!")});
    EXPECT_EQ(win.w<QComboBox>("cbType3")->currentIndex(), 0);
    EXPECT_EQ(win.window->config().lines[2].type, 0);
    EXPECT_EQ(win.w<QComboBox>("cbType1")->currentIndex(), 2);
    EXPECT_EQ(win.mark(Page::Zones), PageMark::Edited);

    // An accepted change stands.
    win.shell.messages.clear();
    test::pick(win.w<QComboBox>("cbGr4"), 3);
    EXPECT_TRUE(win.shell.messages.empty());
    EXPECT_EQ(win.window->config().lines[3].group, 4);
}

TEST(MainWindow, SaveThenOpenThroughTheDialogsRestoresTheConfiguration) {
    Window win;
    win.clickRead();
    QTemporaryDir dir;
    win.shell.savePath = dir.filePath(QStringLiteral("conf.c8z"));
    win.peekMenu("N1");
    ASSERT_TRUE(win.window->findChild<QAction*>(QStringLiteral("miSaveAs"))->isEnabled());
    win.key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(win.shell.lastDefaultName, U("conf"));
    EXPECT_EQ(win.shell.lastDefaultSuffix, U("c8z"));
    ASSERT_TRUE(QFile::exists(win.shell.savePath));
    const model::PanelConfig saved = win.window->config();

    // Change something on two pages, then open the file again.
    win.key(Qt::Key_F4);
    auto* delay = win.w<QSpinBox>("sePPKDelayTime");
    delay->setFocus();
    QTest::keyClick(delay, Qt::Key_Up);
    win.key(Qt::Key_F1);
    auto* port = win.w<QSpinBox>("seServerPort");
    port->setFocus();
    QTest::keyClick(port, Qt::Key_Up);
    ASSERT_FALSE(win.window->config().sameSettings(saved));

    win.shell.openPath = win.shell.savePath;
    win.key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(win.window->config().sameSettings(saved));
    EXPECT_EQ(win.w<QSpinBox>("sePPKDelayTime")->value(), saved.timeDelay);
    EXPECT_EQ(win.w<QSpinBox>("seServerPort")->value(), saved.serverPort);
    // Opening a file sets no marks of its own.
    EXPECT_EQ(win.mark(Page::Params), PageMark::Edited);
}

TEST(MainWindow, CancelledDialogsDoNothingAndRefusedSaveOpensNoDialog) {
    Window win;
    // The start values cannot be saved: the panel number is 0.
    win.peekMenu("N1");
    win.shell.savePath = QStringLiteral("/nonexistent/never.c8z");
    win.key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(win.shell.texts(), QStringList{U("Введіть номер ППК на ПЦС, відмінний від нуля!")});
    EXPECT_TRUE(win.shell.lastDefaultName.isEmpty());
    win.shell.messages.clear();
    const model::PanelConfig before = win.window->config();
    win.key(Qt::Key_O, Qt::ControlModifier); // cancelled: empty path
    EXPECT_TRUE(win.shell.messages.empty());
    EXPECT_EQ(win.window->config(), before);
}

TEST(MainWindow, ExportWritesTheStationFile) {
    Window win;
    win.clickRead();
    QTemporaryDir dir;
    win.shell.exportPath = dir.filePath(QStringLiteral("object.conf"));
    win.window->findChild<QAction*>(QStringLiteral("conf1"))->trigger();
    EXPECT_EQ(win.shell.lastFilter, U("conf (*.conf)"));
    QFile file(win.shell.exportPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.startsWith("[PPK]\r\nClass_Name=PPK_ZRL128\r\n"));
    // Zones 5 and 6 are in group 2: two places.
    EXPECT_TRUE(content.contains("CountPlaces=2\r\n"));

    win.shell.exportPath = dir.filePath(QStringLiteral("missing/dir/object.conf"));
    win.window->findChild<QAction*>(QStringLiteral("conf1"))->trigger();
    ASSERT_EQ(win.shell.messages.size(), 1u);
    EXPECT_EQ(win.shell.messages[0].first, MsgIcon::Error);
    EXPECT_TRUE(win.shell.messages[0].second.startsWith(U("Unable to write to ")));
}

TEST(MainWindow, ControlQReadsWhileTheButtonsAreDisabled) {
    Window win;
    win.key(Qt::Key_F3);
    // Key reading disables the two buttons.
    win.window->findChild<QTabWidget*>(QStringLiteral("pcConf"))->setCurrentIndex(int(Page::Keys));
    QTest::mouseClick(win.w<QPushButton>("sbUVIRead"), Qt::LeftButton);
    ASSERT_FALSE(win.w<QPushButton>("btnReadConf")->isEnabled());
    win.key(Qt::Key_Q, Qt::ControlModifier);
    ASSERT_TRUE(test::waitFor([&] { return win.panel.readRequests() == 1; }));
    ASSERT_TRUE(test::waitFor([&] { return win.mark(Page::Network) == PageMark::Synced; }));
    EXPECT_EQ(win.w<QSpinBox>("seNumConfPPK")->value(), 1201);
}

TEST(MainWindow, LeavingTheKeyPageStopsReading) {
    Window win;
    auto* tabs = win.w<QTabWidget>("pcConf");
    tabs->setCurrentIndex(int(Page::Keys));
    auto* toggle = win.w<QPushButton>("sbUVIRead");
    QTest::mouseClick(toggle, Qt::LeftButton);
    ASSERT_TRUE(win.window->keyReader().reading());
    EXPECT_EQ(toggle->text(), U("Закінчити зчитування"));

    // Choosing a row of the grid makes its user the one the next key goes to.
    auto* codes = win.w<QTableWidget>("sgSmartButton");
    const QRect cell = codes->visualRect(codes->model()->index(6, 0));
    QTest::mouseClick(codes->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(win.w<QComboBox>("cbUVIUser")->currentText(), U("7"));
    win.reader.sendKey(QStringLiteral("00AB12CD34EF5678"));
    ASSERT_TRUE(test::waitFor([&] { return win.window->config().UVICode[6] == U("00AB12CD34EF5678"); }));
    EXPECT_EQ(win.w<QTableWidget>("sgSmartButton")->item(6, 1)->text(), U("00AB12CD34EF5678"));

    win.key(Qt::Key_F1);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_FALSE(win.window->keyReader().reading());
    EXPECT_EQ(toggle->text(), U("Почати зчитування"));
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_TRUE(win.w<QPushButton>("btnReadConf")->isEnabled());
    EXPECT_TRUE(win.w<QPushButton>("btnWriteConf")->isEnabled());

    tabs->setCurrentIndex(int(Page::Keys));
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(win.window->keyReader().reading());
}

TEST(MainWindow, ModeSwitchesAndTheMenusFollowTheMode) {
    Window win;
    auto* tabs = win.w<QTabWidget>("pcConf");
    tabs->setCurrentIndex(int(Page::Keys));
    win.clickRadio("rbtn_Remote");
    EXPECT_EQ(win.w<QLabel>("stextConfInfo")->text(), U("Віддалене конфігурування"));
    EXPECT_TRUE(win.w<QWidget>("gbox_Remote")->isVisible());
    EXPECT_FALSE(win.w<QWidget>("gbox_Local")->isVisible());
    EXPECT_TRUE(win.w<QWidget>("pInternet")->isVisible());
    EXPECT_FALSE(tabs->isTabVisible(int(Page::Keys)));
    EXPECT_EQ(tabs->currentIndex(), int(Page::Params));
    EXPECT_EQ(win.w<QPushButton>("btnReadConf")->text(), U(" Зчитати \"Параметри ППК\" по Internet"));
    EXPECT_EQ(win.w<QLabel>("l_CapPPKnum")->text(), U("Новий № ППК в ПЦС:"));

    win.peekMenu("N1");
    EXPECT_FALSE(win.window->findChild<QAction*>(QStringLiteral("miOpen"))->isEnabled());
    EXPECT_FALSE(win.window->findChild<QAction*>(QStringLiteral("miSaveAs"))->isEnabled());
    win.peekMenu("N9");
    EXPECT_TRUE(win.window->findChild<QAction*>(QStringLiteral("Internet1"))->isChecked());
    EXPECT_FALSE(win.window->findChild<QAction*>(QStringLiteral("USBCOM1"))->isChecked());

    // Navigation renames the commands after the page shown.
    const struct {
        int key;
        const char* read;
        const char* write;
    } pages[] = {
        {Qt::Key_F1, " Зчитати \"Налаштування зв'язку\" по Internet", " Записати \"Налаштування зв'язку\" по Internet"},
        {Qt::Key_F2, " Зчитати \"Користувачі\" по Internet", " Записати \"Користувачі\" по Internet"},
        {Qt::Key_F3, " Зчитати \"Шлейфи\" по Internet", " Записати \"Шлейфи\" по Internet"},
    };
    for (const auto& p : pages) {
        win.key(p.key);
        EXPECT_EQ(win.w<QPushButton>("btnReadConf")->text(), U(p.read));
        EXPECT_EQ(win.w<QPushButton>("btnWriteConf")->text(), U(p.write));
    }

    // Back through the menu item.
    win.window->findChild<QAction*>(QStringLiteral("USBCOM1"))->trigger();
    EXPECT_TRUE(win.w<QRadioButton>("rbtn_Local")->isChecked());
    EXPECT_TRUE(tabs->isTabVisible(int(Page::Keys)));
    EXPECT_EQ(win.w<QPushButton>("btnReadConf")->text(), U(" Зчитати конфігурацію по USB"));
    win.peekMenu("N1");
    EXPECT_TRUE(win.window->findChild<QAction*>(QStringLiteral("miOpen"))->isEnabled());
    EXPECT_TRUE(win.window->findChild<QAction*>(QStringLiteral("miSaveAs"))->isEnabled());
}

TEST(MainWindow, PanelNumberFollowsAndRenumberingWarns) {
    Window win;
    win.clickRead();
    win.clickRadio("rbtn_Remote");
    win.key(Qt::Key_F1);
    auto* number = win.w<QSpinBox>("seNumPPK");
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("57"));
    EXPECT_EQ(win.w<QSpinBox>("seNumConfPPK")->value(), 57);
    for (Page p : {Page::Network, Page::Users, Page::Zones, Page::Params})
        EXPECT_EQ(win.mark(p), PageMark::None);
    EXPECT_EQ(win.mark(Page::Keys), PageMark::Synced);

    auto* renumber = win.w<QPushButton>("btnChangePPKNum");
    ASSERT_TRUE(renumber->isVisible());
    QTest::mouseClick(renumber, Qt::LeftButton);
    ASSERT_EQ(win.shell.messages.size(), 1u);
    EXPECT_EQ(win.shell.messages[0].first, MsgIcon::Warning);
    EXPECT_EQ(win.shell.messages[0].second,
              U("Увага! При зміні номера буде припинено обслуговування об'єкта №57 на ПЦС! "));
    EXPECT_FALSE(renumber->isVisible());

    // Back in local mode the hidden fields show what they held.
    win.clickRadio("rbtn_Local");
    EXPECT_TRUE(win.w<QWidget>("meRedServerIP")->isVisible());
    EXPECT_EQ(win.w<QLineEdit>("meRedServerIP")->text(), panelConfig().redIP);
    EXPECT_EQ(win.w<QLineEdit>("edPassword5")->displayText(), panelConfig().pwd);
}

TEST(MainWindow, HelpOpensTheManualBesideTheProgramOrSaysWhyNot) {
    Window win;
    win.key(Qt::Key_I, Qt::ControlModifier);
    ASSERT_EQ(win.shell.openedDocuments.size(), 1);
    EXPECT_EQ(win.shell.openedDocuments[0], QCoreApplication::applicationDirPath() + U("/Conf8Z_manual.pdf"));
    EXPECT_TRUE(win.shell.messages.empty());

    win.shell.documentError = QStringLiteral("No such file or directory");
    win.key(Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(win.shell.texts(),
              QStringList{U("Не має доступу до файла Conf8Z_manual.pdf.\r\nКод помилки : No such file or directory")});
}

TEST(MainWindow, ClosingStoresTheThreeSettings) {
    Window win;
    auto* address = win.w<QLineEdit>("meRemoteServerIP");
    address->setFocus();
    address->selectAll();
    QTest::keyClicks(address, QStringLiteral("10"));
    const QString shown = address->displayText();
    win.window->close();
    QSettings store(gui::settings::kOrganisation, gui::settings::kApplication);
    const QStringList ports = usb::QtSerialPort::systemPorts() + QStringList{win.panel.devicePath(), win.reader.devicePath()};
    EXPECT_EQ(store.value(gui::settings::kDefaultCom).toString(), QString::number(ports.indexOf(win.panel.devicePath())));
    EXPECT_EQ(store.value(gui::settings::kDefaultIP).toString(), shown);
    EXPECT_EQ(store.value(gui::settings::kDefaultPort).toString(), U("15001"));
}

TEST(StartUp, PanelPortChoice) {
    const struct {
        int stored;
        int count;
        int chosen;
    } cases[] = {{0, 3, 0}, {2, 3, 2}, {5, 3, 2}, {-1, 3, 2}, {0, 0, -1}, {-1, 0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(gui::panelPortIndex(c.stored, c.count), c.chosen) << c.stored << " of " << c.count;
    EXPECT_EQ(usb::QtSerialPort::sortedPortNames({U("COM3"), U("COM10"), U("com2"), U("COM1")}),
              (QStringList{U("COM1"), U("COM10"), U("com2"), U("COM3")}));
}

TEST(StartUp, StoredValuesAndTheirDefaults) {
    test::guiApp();
    const struct {
        const char* com;
        const char* ip;
        const char* port;
        int wantCom;
        const char* wantIP;
        int wantPort;
    } cases[] = {
        {"2", "010.000.000.001", "16000", 2, "010.000.000.001", 16000},
        {"", "", "", 0, "", 15001},
        {"x1", "1.2.3.4", "abc", 0, "1.2.3.4", 15001},
        {"-1", " 12.  3.  4.  5", "80", -1, " 12.  3.  4.  5", 80},
    };
    for (const auto& c : cases) {
        {
            QSettings store(gui::settings::kOrganisation, gui::settings::kApplication);
            store.clear();
            store.setValue(gui::settings::kDefaultCom, U(c.com));
            store.setValue(gui::settings::kDefaultIP, U(c.ip));
            store.setValue(gui::settings::kDefaultPort, U(c.port));
        }
        const gui::StoredSettings s = gui::readSettings();
        EXPECT_EQ(s.defaultCom, c.wantCom) << c.com;
        EXPECT_EQ(s.defaultIP, U(c.wantIP));
        EXPECT_EQ(s.defaultPort, c.wantPort) << c.port;
    }
    QSettings(gui::settings::kOrganisation, gui::settings::kApplication).clear();
    const gui::StoredSettings none = gui::readSettings();
    EXPECT_EQ(none.defaultCom, 0);
    EXPECT_EQ(none.defaultIP, U("127.000.000.001"));
    EXPECT_EQ(none.defaultPort, 15001);
}

TEST(StartUp, FirstStartChoosesTheFirstPortAndNoPortIsSavedAsMinusOne) {
    test::guiApp();
    QSettings(gui::settings::kOrganisation, gui::settings::kApplication).clear();
    test::TestShell shell;
    {
        gui::WindowOptions options;
        options.shell = &shell;
        auto panel = std::make_unique<test::FakeSerialPort>();
        panel->ports = {U("COM1"), U("COM10"), U("COM3")};
        auto reader = std::make_unique<test::FakeSerialPort>();
        reader->ports = panel->ports;
        test::FakeSerialPort* panelPort = panel.get();
        test::FakeSerialPort* readerPort = reader.get();
        options.panelPort = std::move(panel);
        options.readerPort = std::move(reader);
        gui::TfrmMain window(std::move(options));
        window.show();
        auto* list = window.findChild<QComboBox*>(QStringLiteral("ComComboBox1"));
        EXPECT_EQ(list->currentText(), U("COM1"));
        EXPECT_EQ(panelPort->name, U("COM1"));
        EXPECT_EQ(window.findChild<QComboBox*>(QStringLiteral("ComComboBox2"))->currentText(), U("COM3"));
        EXPECT_EQ(readerPort->name, U("COM3"));
        window.close();
    }
    EXPECT_EQ(QSettings(gui::settings::kOrganisation, gui::settings::kApplication).value(gui::settings::kDefaultCom),
              U("0"));
    {
        gui::WindowOptions options;
        options.shell = &shell;
        options.panelPort = std::make_unique<test::FakeSerialPort>();
        options.readerPort = std::make_unique<test::FakeSerialPort>();
        gui::TfrmMain window(std::move(options));
        window.show();
        EXPECT_EQ(window.findChild<QComboBox*>(QStringLiteral("ComComboBox1"))->currentIndex(), -1);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnReadConf")), Qt::LeftButton);
        EXPECT_EQ(shell.texts(), QStringList{U("Не вибраний COM порт драйверу ППК!")});
        window.close();
    }
    EXPECT_EQ(QSettings(gui::settings::kOrganisation, gui::settings::kApplication).value(gui::settings::kDefaultCom),
              U("-1"));
}

TEST(StartUp, ASecondCopyWakesTheFirst) {
    test::guiApp();
    const QString key = QStringLiteral("zorel8z-gui-test-%1").arg(QCoreApplication::applicationPid());
    gui::SingleInstance first(key);
    ASSERT_TRUE(first.claim());
    int wakes = 0;
    QObject::connect(&first, &gui::SingleInstance::activationRequested, [&] { ++wakes; });
    gui::SingleInstance second(key);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(test::waitFor([&] { return wakes == 1; }, 5000));
}

TEST(StartUp, KeyDependsOnTheExecutableIgnoringCase) {
    EXPECT_EQ(gui::SingleInstance::keyForExecutable(QStringLiteral("/opt/Zorel/Conf.exe")),
              gui::SingleInstance::keyForExecutable(QStringLiteral("/opt/zorel/conf.EXE")));
    EXPECT_NE(gui::SingleInstance::keyForExecutable(QStringLiteral("/opt/a/conf")),
              gui::SingleInstance::keyForExecutable(QStringLiteral("/opt/b/conf")));
}

namespace {
// A receiver whose handling fails the way a command's unexpected error would.
class Failing : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw Error(QStringLiteral("Помилковий формат конфігурації!"));
        return QObject::event(e);
    }
};
} // namespace

TEST(StartUp, AnErrorNoCommandCatchesIsShownAndTheProgramGoesOn) {
    gui::Application& app = test::guiApp();
    test::TestShell shell;
    app.setReporter(&shell);
    Failing failing;
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    EXPECT_TRUE(test::waitFor([&] { return !shell.messages.empty(); }, 5000));
    app.setReporter(nullptr);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].first, MsgIcon::Error);
    EXPECT_EQ(shell.messages[0].second, U("Помилковий формат конфігурації!"));
}

TEST(MainWindow, KeyCodeCellsTakeHexTypedInEitherCase) {
    const struct {
        const char* typed;
        const char* cell;
    } cases[] = {
        {"0a1b2c3d4e5f6071", "0A1B2C3D4E5F6071"},
        {"ABC", "ABC0000000000000"},  // short: filled on the right when Enter is pressed
        {"12g4", "1240000000000000"}, // a letter past F does not reach the cell
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF"},
    };
    Window win;
    win.window->findChild<QTabWidget*>(QStringLiteral("pcConf"))->setCurrentIndex(int(Page::Keys));
    auto* codes = win.w<QTableWidget>("sgSmartButton");
    int row = 1;
    for (const auto& c : cases) {
        codes->setFocus();
        codes->setCurrentCell(row, 1);
        QLineEdit* editor = win.openEditor(codes);
        ASSERT_NE(editor, nullptr);
        // Whatever the cell held goes first, as a user selecting it all and deleting it.
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, QString::fromLatin1(c.typed));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(win.window->config().UVICode[size_t(row)], U(c.cell)) << c.typed;
        EXPECT_EQ(codes->item(row, 1)->text(), U(c.cell)) << c.typed;
        ++row;
    }
    EXPECT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(QLatin1Char('|')).toStdString();
}
