// The window in Internet mode against the simulated monitoring station on 127.0.0.1, driven as a
// user drives it, with short poll and watchdog intervals. Waits are bounded; nothing is timed.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "Settings.h"
#include "TfrmMain.h"
#include "sim/StationSim.h"
#include "support/FakeSerialPort.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace zorel8z;
using model::PageMark;
using rules::Page;
using test::rules::U;

namespace {

model::PanelConfig stationPanel() {
    model::PanelConfig c = test::rules::validConfig();
    c.numPPK = 1201;
    c.apn = QStringLiteral("m2m.kyivstar.net");
    c.users[0] = {QStringLiteral("1"), QStringLiteral("4321")};
    c.users[3] = {QStringLiteral("2"), QStringLiteral("7777")};
    c.lines[0] = {1, 2, 0};
    c.lines[6] = {2, 1, 1};
    c.timeDelay2 = 44;
    return c;
}

struct RemoteWindow {
    RemoteWindow() {
        test::guiApp();
        station.addPanel(1201, QStringLiteral("482913"), stationPanel());
        EXPECT_TRUE(station.start()) << station.errorString().toStdString();
        gui::WindowOptions options;
        options.shell = &shell;
        options.panelPort = std::make_unique<test::FakeSerialPort>();
        options.readerPort = std::make_unique<test::FakeSerialPort>();
        options.remoteTimings.pollMs = 100;
        options.usbTimings.watchdogMs = 20000;
        window = std::make_unique<gui::TfrmMain>(std::move(options));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());

        auto* remote = w<QRadioButton>("rbtn_Remote");
        QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
        type(w<QLineEdit>("meRemoteServerIP"), QStringLiteral("127000000001"));
        type(w<QSpinBox>("seRemoteServerPort"), QString::number(station.port()));
        type(w<QSpinBox>("seNumPPK"), QStringLiteral("1201"));
        type(w<QLineEdit>("edPwd"), QStringLiteral("482913"));
    }

    template <typename W> W* w(const char* name) { return test::find<W>(*window, name); }
    // Replaces the field's text by typing, as a user selecting it all and typing over it.
    void type(QWidget* field, const QString& text) { test::typeInto(field, text); }
    void page(Page p) { window->findChild<QTabWidget*>(QStringLiteral("pcConf"))->setCurrentIndex(int(p)); }
    bool idle() { return window->state().commandsEnabled; }
    void click(const char* button) {
        QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton);
        ASSERT_TRUE(test::waitFor([this] { return idle(); }));
    }
    PageMark mark(Page p) { return window->state().mark(p); }

    sim::StationSim station;
    test::TestShell shell;
    std::unique_ptr<gui::TfrmMain> window;
};

} // namespace

TEST(RemoteWindow, ReadsTheOpenPageOnlyAndWritesItBack) {
    RemoteWindow win;
    ASSERT_EQ(win.window->state().seRemoteServerPort, win.station.port());
    ASSERT_EQ(win.window->state().edPwd, U("482913"));
    const model::PanelConfig before = win.window->config();

    win.page(Page::Zones);
    EXPECT_EQ(win.w<QPushButton>("btnReadConf")->text(), U(" Зчитати \"Шлейфи\" по Internet"));
    win.click("btnReadConf");
    EXPECT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(win.mark(Page::Zones), PageMark::Synced);
    EXPECT_EQ(win.mark(Page::Params), PageMark::None);
    EXPECT_EQ(win.w<QComboBox>("cbType1")->currentIndex(), 2);
    EXPECT_EQ(win.w<QComboBox>("cbGr7")->currentText(), U("2"));
    EXPECT_EQ(win.w<QComboBox>("cbStatus7")->currentText(), U("Тривожна кнопка"));
    // The other pages keep what they showed.
    EXPECT_EQ(win.window->config().timeDelay2, before.timeDelay2);
    EXPECT_EQ(win.window->config().users, before.users);

    // An accepted change, written back to the station.
    test::pick(win.w<QComboBox>("cbStatus2"), 3);
    EXPECT_EQ(win.mark(Page::Zones), PageMark::Edited);
    win.shell.messages.clear();
    win.click("btnWriteConf");
    EXPECT_EQ(win.shell.texts(), QStringList{U("Конфігурація записана успішно")});
    EXPECT_EQ(win.mark(Page::Zones), PageMark::Synced);
    EXPECT_EQ(win.station.panel(1201)->lines[1].modifier, 3);
}

TEST(RemoteWindow, UsersArriveHiddenAndTheWriteSendsTheRealPasswords) {
    RemoteWindow win;
    win.page(Page::Users);
    win.click("btnReadConf");
    auto* users = win.w<QTableWidget>("sgUsers");
    for (int row = 0; row < model::kUserCount; ++row)
        EXPECT_EQ(users->item(row, 2)->text(), U("****")) << row;
    EXPECT_EQ(users->item(3, 1)->text(), U("2"));
    EXPECT_EQ(win.mark(Page::Users), PageMark::Synced);

    // The groups must have zones: read the zones too, then write the users untouched.
    win.page(Page::Zones);
    win.click("btnReadConf");
    win.page(Page::Users);
    win.shell.messages.clear();
    win.click("btnWriteConf");
    EXPECT_EQ(win.shell.texts(), QStringList{U("Конфігурація записана успішно")});
    const model::PanelConfig stored = *win.station.panel(1201);
    EXPECT_EQ(stored.users[0].password, U("4321"));
    EXPECT_EQ(stored.users[3].password, U("7777"));
}

TEST(RemoteWindow, WrongPasswordIsReportedAndThePageKeepsItsValues) {
    RemoteWindow win;
    win.type(win.w<QLineEdit>("edPwd"), QStringLiteral("111111"));
    win.page(Page::Params);
    const model::PanelConfig before = win.window->config();
    win.click("btnReadConf");
    EXPECT_EQ(win.shell.texts(),
              QStringList{U("Не має доступу до ППК! Перевірте активацію режима \"Програмування\", "
                            "пароль і зняття всіх груп з охорони!")});
    EXPECT_EQ(win.window->config(), before);
    EXPECT_EQ(win.mark(Page::Params), PageMark::None);
}

TEST(RemoteWindow, PanelNumberZeroSendsNothing) {
    RemoteWindow win;
    win.type(win.w<QSpinBox>("seNumPPK"), QStringLiteral("0"));
    win.station.clearRequests();
    QTest::mouseClick(win.w<QPushButton>("btnReadConf"), Qt::LeftButton);
    EXPECT_EQ(win.shell.texts(), QStringList{U("Введіть номер ППК, відмінний від 0!")});
    EXPECT_TRUE(win.station.requests().empty());
    EXPECT_TRUE(win.idle());
}
