// The window's single fields keep exactly what they show: masked addresses and passwords through the
// program's own refills, the stored station address through restarts, Control+S from the start,
// the captions and the window's fixed size.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "MaskEdit.h"
#include "Settings.h"
#include "TfrmMain.h"
#include "sim/PanelSim.h"
#include "sim/StationSim.h"
#include "support/FakeSerialPort.h"
#include "usb/QtSerialPort.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zorel8z;
using rules::Page;
using test::rules::U;

namespace {

model::PanelConfig panelConfig() {
    model::PanelConfig c = test::rules::validConfig();
    c.numPPK = 1201;
    c.serverIP = QStringLiteral("10 .1  .2  .3  ");
    c.redIP = QStringLiteral(" 12.  3.  4.  5");
    c.pwd = QStringLiteral(" 1 2 3");
    c.PwdLev1 = QStringLiteral("12 45");
    return c;
}

struct Window {
    // USB: a simulated panel on a pty. Station: Internet mode against the simulated station.
    explicit Window(bool atStation = false) {
        test::guiApp();
        gui::WindowOptions options;
        options.shell = &shell;
        if (!atStation) {
            panel.setConfig(panelConfig());
            EXPECT_TRUE(panel.open()) << panel.errorString().toStdString();
            const QStringList ports = usb::QtSerialPort::systemPorts() + QStringList{panel.devicePath()};
            gui::writeSettings(int(ports.indexOf(panel.devicePath())), QStringLiteral("127.000.000.001"),
                               15001);
            options.extraPorts = QStringList{panel.devicePath()};
        } else {
            model::PanelConfig remoteCfg = panelConfig();
            remoteCfg.serverIP = QStringLiteral("1  .22 .  3.0  ");
            station.addPanel(1201, QStringLiteral("482913"), remoteCfg);
            EXPECT_TRUE(station.start()) << station.errorString().toStdString();
            options.panelPort = std::make_unique<test::FakeSerialPort>();
            options.readerPort = std::make_unique<test::FakeSerialPort>();
            options.remoteTimings.pollMs = 100;
        }
        window = std::make_unique<gui::TfrmMain>(std::move(options));
        EXPECT_TRUE(test::showAndWaitForPorts(*window));
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename W> W* w(const char* name) { return test::find<W>(*window, name); }
    gui::MaskEdit* field(const char* name) { return w<gui::MaskEdit>(name); }
    void click(const char* button) {
        QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton);
        EXPECT_TRUE(test::waitFor([this] { return window->state().commandsEnabled; }));
    }
    void page(Page p) { test::clickTab(w<QTabWidget>("pcConf"), int(p)); }
    // Clicks into the field, empties it and types, then leaves it with Tab.
    void typeInto(const char* name, const QString& text) {
        QWidget* widget = w<QWidget>(name);
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
        test::clearField();
        test::typeKeys(text);
        test::pressKey(Qt::Key_Tab);
    }

    sim::PanelSim panel;
    sim::StationSim station;
    test::TestShell shell;
    std::unique_ptr<gui::TfrmMain> window;
};

// What the three masked fields of the network page show, against what the record holds.
struct NetworkTexts {
    QString server, redundant, password;
    bool operator==(const NetworkTexts& o) const {
        return server == o.server && redundant == o.redundant && password == o.password;
    }
};

std::ostream& operator<<(std::ostream& os, const NetworkTexts& t) {
    return os << '"' << t.server.toStdString() << "\" \"" << t.redundant.toStdString() << "\" \""
              << t.password.toStdString() << '"';
}

NetworkTexts shown(Window& win) {
    return {win.field("meServerIP")->fieldText(), win.field("meRedServerIP")->fieldText(),
            win.field("edPassword5")->fieldText()};
}

NetworkTexts held(Window& win) {
    const model::PanelConfig& c = win.window->config();
    return {c.serverIP, c.redIP, c.pwd};
}

} // namespace

TEST(WindowFields, AddressesAndPasswordsSurviveThePanelsReadAndEveryRefill) {
    Window win;
    win.click("btnReadConf");
    ASSERT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(U("|")).toStdString();
    // Blanks in any group come in from the panel exactly as they are.
    const NetworkTexts read{U("10 .1  .2  .3  "), U(" 12.  3.  4.  5"), U(" 1 2 3")};
    EXPECT_EQ(shown(win), read);
    EXPECT_EQ(held(win), read);
    EXPECT_EQ(win.field("mePwdLevel1")->fieldText(), U("12 45"));

    // A write that stops at the main address refills the page: nothing moves.
    win.typeInto("meServerIP", U("999.1.1.1"));
    const NetworkTexts typed{U("999.1  .1  .1  "), read.redundant, read.password};
    EXPECT_EQ(shown(win), typed);
    EXPECT_EQ(held(win), typed);
    win.click("btnWriteConf");
    EXPECT_EQ(win.shell.texts(), QStringList{U("Не корректний Основний IP")});
    EXPECT_EQ(shown(win), typed);
    EXPECT_EQ(held(win), typed);

    // Typed with blanks in every group: saved to a file, changed, and the file opened again.
    win.typeInto("meServerIP", U("10.1.2.3"));
    win.typeInto("meRedServerIP", U("10.1.2.3"));
    win.typeInto("edPassword5", U("482913"));
    win.typeInto("mePwdLevel1", U("24680"));
    const NetworkTexts saved{U("10 .1  .2  .3  "), U(" 10.  1.  2.  3"), U("482913")};
    EXPECT_EQ(shown(win), saved);
    EXPECT_EQ(held(win), saved);
    QTemporaryDir dir;
    win.shell.messages.clear();
    win.shell.savePath = dir.filePath(U("conf.c8z"));
    test::pressKey(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(U("|")).toStdString();
    win.typeInto("meServerIP", U("1.1.1.1"));
    win.typeInto("meRedServerIP", U("2.2.2.2"));
    win.shell.openPath = win.shell.savePath;
    test::pressKey(Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(U("|")).toStdString();
    EXPECT_EQ(shown(win), saved);
    EXPECT_EQ(held(win), saved);

    // A write that goes through leaves the addresses in three-digit form, shown as sent.
    win.click("btnWriteConf");
    const NetworkTexts written{U("010.001.002.003"), U("010.001.002.003"), U("482913")};
    EXPECT_EQ(shown(win), written);
    EXPECT_EQ(held(win), written);
    EXPECT_EQ(win.panel.config().serverIP, written.server);
    EXPECT_EQ(win.panel.config().redIP, written.redundant);
}

TEST(WindowFields, TheStationsFillAndAPanelNumberChangeMoveNothing) {
    Window win(true);
    // Typed in USB mode, before the switch: hidden in Internet mode, kept all the same.
    win.typeInto("meRedServerIP", U("1.22.3.0"));
    ASSERT_EQ(win.field("meRedServerIP")->fieldText(), U("  1. 22.  3.  0"));
    auto* remote = win.w<QRadioButton>("rbtn_Remote");
    QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
    win.typeInto("meRemoteServerIP", U("127.0.0.1"));
    EXPECT_EQ(win.field("meRemoteServerIP")->fieldText(), U("127.  0.  0.  1"));
    EXPECT_EQ(win.window->state().meRemoteServerIP, U("127.  0.  0.  1"));
    win.typeInto("seRemoteServerPort", QString::number(win.station.port()));
    win.typeInto("seNumPPK", U("1201"));
    win.typeInto("edPwd", U("482913"));
    // The redundant address and the remote password are hidden here but keep what they hold.
    win.page(Page::Network);
    win.click("btnReadConf");
    ASSERT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(U("|")).toStdString();
    const NetworkTexts filled{U("1  .22 .  3.0  "), U("  1. 22.  3.  0"), U("      ")};
    EXPECT_EQ(shown(win), filled);
    EXPECT_EQ(held(win), filled);
    EXPECT_EQ(win.field("meRemoteServerIP")->fieldText(), U("127.  0.  0.  1"));

    // Renumbering refills the page.
    win.typeInto("seNumPPK", U("1202"));
    EXPECT_EQ(win.w<QSpinBox>("seNumConfPPK")->value(), 1202);
    EXPECT_EQ(shown(win), filled);
    EXPECT_EQ(held(win), filled);
    EXPECT_EQ(win.field("meRemoteServerIP")->fieldText(), U("127.  0.  0.  1"));
}

TEST(WindowFields, TheStationAddressComesBackUnchangedThroughRestarts) {
    test::guiApp();
    auto start = [](test::TestShell& shell) {
        gui::WindowOptions options;
        options.shell = &shell;
        options.panelPort = std::make_unique<test::FakeSerialPort>();
        options.readerPort = std::make_unique<test::FakeSerialPort>();
        auto window = std::make_unique<gui::TfrmMain>(std::move(options));
        EXPECT_TRUE(test::showAndWaitForPorts(*window));
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    };
    auto stored = [] {
        return QSettings(gui::settings::kOrganisation, gui::settings::kApplication)
            .value(gui::settings::kDefaultIP)
            .toString();
    };
    for (const char* address :
         {"10 .1  .2  .3  ", " 12.  3.  4.  5", "010.000.000.001", "1  .  2.3  .  4", "   .   .   .   "}) {
        SCOPED_TRACE(address);
        gui::writeSettings(0, U(address), 15001);
        for (int run = 0; run < 2; ++run) {
            test::TestShell shell;
            auto window = start(shell);
            auto* field = test::find<gui::MaskEdit>(*window, "meRemoteServerIP");
            EXPECT_EQ(field->fieldText(), U(address)) << "run " << run;
            window->close();
            EXPECT_EQ(stored(), U(address)) << "run " << run;
        }
    }
    // An address typed by the user, stored at closing and shown the same at the next two starts.
    QSettings(gui::settings::kOrganisation, gui::settings::kApplication).clear();
    QString typed;
    for (int run = 0; run < 3; ++run) {
        test::TestShell shell;
        auto window = start(shell);
        auto* field = test::find<gui::MaskEdit>(*window, "meRemoteServerIP");
        if (run == 0) {
            auto* remote = test::find<QRadioButton>(*window, "rbtn_Remote");
            QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
            QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, field->height() / 2));
            test::clearField();
            test::typeKeys(U("10.1.20.3"));
            test::pressKey(Qt::Key_Tab);
            typed = field->fieldText();
            EXPECT_EQ(typed, U(" 10.  1. 20.  3"));
        } else {
            EXPECT_EQ(field->fieldText(), typed) << "run " << run;
        }
        window->close();
        EXPECT_EQ(stored(), typed) << "run " << run;
    }
}

TEST(WindowFields, AnApnTakesOnlyWhatThePanelsBlockCarries) {
    Window win;
    win.click("btnReadConf");
    // The quote, the backslash and anything not ASCII would break the block: the keys do nothing.
    win.typeInto("edAPNname", U("m2m\"int\\ernet.ЖУА"));
    EXPECT_EQ(win.w<QComboBox>("edAPNname")->currentText(), U("m2minternet."));
    // Past the width the keys do nothing either.
    win.typeInto("edAPNname2", U("abcdefghij").repeated(4));
    EXPECT_EQ(win.w<QComboBox>("edAPNname2")->currentText(), U("abcdefghij").repeated(3));
    EXPECT_EQ(win.window->config().apn, U("m2minternet."));
    win.typeInto("edPassword5", U("482913"));
    win.typeInto("mePwdLevel1", U("24680"));
    win.typeInto("meServerIP", U("10.0.0.1"));
    win.typeInto("meRedServerIP", U("10.0.0.2"));
    win.click("btnWriteConf");
    ASSERT_EQ(win.shell.texts().size(), 2) << win.shell.texts().join(U("|")).toStdString();
    EXPECT_EQ(win.panel.config().apn, U("m2minternet."));
    EXPECT_EQ(win.panel.config().apn2, U("abcdefghij").repeated(3));
}

TEST(WindowFields, ControlSSavesRightFromTheStartInUsbModeOnly) {
    Window win;
    // Nothing opened the file menu: the shortcut still reaches the save, which checks first.
    test::pressKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(win.shell.texts(), QStringList{U("Введіть номер ППК на ПЦС, відмінний від нуля!")});

    win.click("btnReadConf");
    win.typeInto("edPassword5", U("482913"));
    win.typeInto("mePwdLevel1", U("24680"));
    win.typeInto("meServerIP", U("10.0.0.1"));
    win.typeInto("meRedServerIP", U("10.0.0.2"));
    QTemporaryDir dir;
    win.shell.messages.clear();
    win.shell.savePath = dir.filePath(U("conf.c8z"));
    test::pressKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(U("|")).toStdString();
    EXPECT_TRUE(QFile::exists(win.shell.savePath));

    // Internet mode has no files; back in USB mode the shortcut works again at once.
    QFile::remove(win.shell.savePath);
    auto* remote = win.w<QRadioButton>("rbtn_Remote");
    QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
    test::pressKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(QFile::exists(win.shell.savePath));
    auto* local = win.w<QRadioButton>("rbtn_Local");
    QTest::mouseClick(local, Qt::LeftButton, {}, QPoint(8, local->height() / 2));
    test::pressKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(win.shell.savePath));
}

TEST(WindowFields, CaptionsAreWordForWord) {
    Window win;
    auto labels = [&](const char* page) {
        QStringList out;
        for (const QLabel* label : win.w<QWidget>(page)->findChildren<QLabel*>())
            out << label->text();
        return out;
    };
    const QStringList uk = labels("TabSheetUK1");
    for (const char* caption : {"Час роботи виходу UK1 і реле K1: ", "Час вмикання виходу UK1 : ",
                                "Час вимикання виходу UK1 : ", "Інверсія роботи виходу UK1 : "})
        EXPECT_TRUE(uk.contains(U(caption))) << caption;
    const QStringList delays = labels("TabSheetDelay");
    for (const char* caption :
         {"Час затримки на вхід/вихід груп 1-4 : ", "Час затримки на вхід/вихід груп 5-8 : "})
        EXPECT_TRUE(delays.contains(U(caption))) << caption;
    EXPECT_EQ(win.w<QLabel>("l_CapPPKnum")->text(), U("№ ППК в ПЦС:"));
    auto* remote = win.w<QRadioButton>("rbtn_Remote");
    QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
    EXPECT_EQ(win.w<QLabel>("l_CapPPKnum")->text(), U("Новий № ППК в ПЦС:"));
}

TEST(WindowFields, TheWindowCannotBeResized) {
    Window win;
    const QSize size = win.window->size();
    EXPECT_EQ(win.window->minimumSize(), size);
    EXPECT_EQ(win.window->maximumSize(), size);
    EXPECT_EQ(win.window->centralWidget()->size(), QSize(794, 524));
    // What a window manager's resize asks for is not granted.
    win.window->resize(size + QSize(200, 100));
    QApplication::processEvents();
    EXPECT_EQ(win.window->size(), size);
    EXPECT_FALSE(win.window->windowFlags() & Qt::WindowMaximizeButtonHint);
}
