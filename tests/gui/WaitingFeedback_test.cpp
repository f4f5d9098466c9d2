// While a command waits for the panel or the station the window says so, with the seconds gone
// against the command's limit, the marquee bar and a busy cursor; all of it goes when the command
// ends. The simulated panel (on a pty) and station hold their answers until the test lets them go,
// as a slow panel or station would. Driven by clicks; waits are bounded and nothing is timed.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "Settings.h"
#include "TfrmMain.h"
#include "sim/PanelSim.h"
#include "sim/StationSim.h"
#include "usb/QtSerialPort.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace zorel8z;
using model::PageMark;
using rules::Page;
using test::rules::U;

namespace {

model::PanelConfig heldConfig() {
    model::PanelConfig c = test::rules::validConfig();
    c.numPPK = 1201;
    c.lines[0] = {1, 2, 0};
    c.lines[6] = {2, 1, 1};
    c.timeDelay = 23;
    return c;
}

// The seconds gone that a waiting text shows; -1 when it shows none.
int secondsGone(const QString& text) {
    static const QRegularExpression seconds(QStringLiteral("(\\d+) с із \\d+$"));
    const QRegularExpressionMatch m = seconds.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QRect inWindow(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

struct WaitingWindow {
    WaitingWindow() {
        test::guiApp();
        panel.setConfig(heldConfig());
        panel.setSerialNumber(4242);
        panel.setFirmwareByte(12);
        EXPECT_TRUE(panel.open()) << panel.errorString().toStdString();
        const QStringList ports = usb::QtSerialPort::systemPorts() + QStringList{panel.devicePath()};
        gui::writeSettings(int(ports.indexOf(panel.devicePath())), QStringLiteral("127.000.000.001"), 15001);
        station.addPanel(1201, QStringLiteral("482913"), heldConfig());
        EXPECT_TRUE(station.start()) << station.errorString().toStdString();

        gui::WindowOptions options;
        options.extraPorts = {panel.devicePath()};
        options.shell = &shell;
        // The limits the program has; only the station is polled more often than every 4 s.
        options.remoteTimings.pollMs = 100;
        window = std::make_unique<gui::TfrmMain>(std::move(options));
        EXPECT_TRUE(test::showAndWaitForPorts(*window));
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
    }

    template <typename W> W* w(const char* name) { return test::find<W>(*window, name); }
    bool idle() { return window->state().commandsEnabled; }
    QLabel* text() { return w<QLabel>("stextWaiting"); }
    bool waitingShown() { return text()->isVisible() && secondsGone(text()->text()) >= 0; }
    bool busyCursor() {
        // Set on the window, and so over every control that has no cursor of its own.
        return window->cursor().shape() == Qt::BusyCursor &&
               w<QTabWidget>("pcConf")->cursor().shape() == Qt::BusyCursor;
    }
    void click(const char* button) { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }
    // The panel's answer, let through late by the test as a slow panel would send it.
    void panelSends(const QByteArray& bytes) {
        ASSERT_EQ(::write(panel.pty().masterFd(), bytes.constData(), size_t(bytes.size())),
                  ssize_t(bytes.size()));
    }
    void type(QWidget* field, const QString& value) { test::typeInto(field, value); }
    void goRemote() {
        auto* remote = w<QRadioButton>("rbtn_Remote");
        QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
        type(w<QLineEdit>("meRemoteServerIP"), QStringLiteral("127000000001"));
        type(w<QSpinBox>("seRemoteServerPort"), QString::number(station.port()));
        type(w<QSpinBox>("seNumPPK"), QStringLiteral("1201"));
        type(w<QLineEdit>("edPwd"), QStringLiteral("482913"));
    }

    // What a waiting command shows: whom it waits for, the seconds against `limit`, the bar clear of
    // both command buttons and of the text, the text clear of the group's caption, a busy cursor.
    void expectWaiting(const QString& peer, int limit) {
        ASSERT_TRUE(test::waitFor([this] { return waitingShown(); }));
        const QString shown = text()->text();
        EXPECT_TRUE(shown.startsWith(U("Очікування відповіді ") + peer + U("… "))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(QStringLiteral(" с із %1").arg(limit))) << shown.toStdString();
        EXPECT_LE(secondsGone(shown), limit);
        EXPECT_TRUE(busyCursor());

        auto* bar = w<QProgressBar>("ProgressBar1");
        EXPECT_TRUE(bar->isVisible());
        for (const char* name : {"btnReadConf", "btnWriteConf"}) {
            auto* button = w<QPushButton>(name);
            EXPECT_TRUE(button->isVisible()) << name;
            EXPECT_FALSE(inWindow(bar).intersects(inWindow(button)))
                << name << " lies under the bar, its glyph and caption hidden";
        }
        // The text as drawn: right-aligned in its label, whole, left of the bar, right of the
        // caption "Конфігурація ППК".
        const int textWidth = QFontMetrics(text()->font()).horizontalAdvance(shown);
        const QRect label = inWindow(text());
        EXPECT_LE(textWidth, text()->contentsRect().width()) << "the text is cut";
        const QRect drawn(label.right() + 1 - textWidth, label.top(), textWidth, label.height());
        EXPECT_FALSE(drawn.intersects(inWindow(bar)));
        auto* group = w<QGroupBox>("gbox_Conf");
        const int captionRight =
            inWindow(group).left() + QFontMetrics(group->font()).horizontalAdvance(group->title()) + 16;
        EXPECT_GT(drawn.left(), captionRight) << "the text runs into the group's caption";
    }
    void expectGone() {
        EXPECT_FALSE(text()->isVisible());
        EXPECT_FALSE(w<QProgressBar>("ProgressBar1")->isVisible());
        EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(w<QTabWidget>("pcConf")->cursor().shape(), Qt::ArrowCursor);
    }

    sim::PanelSim panel;
    sim::StationSim station;
    test::TestShell shell;
    std::unique_ptr<gui::TfrmMain> window;
};

} // namespace

TEST(WaitingFeedback, UsbReadAndWriteSayTheyWaitForThePanel) {
    WaitingWindow win;
    sim::PanelFaults silent;
    silent.silent = true;
    win.panel.setFaults(silent);

    // The read: the panel has 4 s to answer (its delay check).
    win.click("btnReadConf");
    win.expectWaiting(U("ППК"), 4);
    ASSERT_TRUE(test::waitFor([&] { return win.panel.readRequests() == 1; }));
    ASSERT_FALSE(win.idle());
    win.panelSends(win.panel.readReply());
    ASSERT_TRUE(test::waitFor([&] { return win.idle(); }));
    win.expectGone();
    EXPECT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(win.window->config().lines, heldConfig().lines);
    EXPECT_EQ(win.window->state().mark(Page::Zones), PageMark::Synced);

    // The write: 20 s for the acknowledgement (the command watchdog).
    sim::PanelFaults unacknowledged;
    unacknowledged.noAck = true;
    win.panel.setFaults(unacknowledged);
    win.click("btnWriteConf");
    win.expectWaiting(U("ППК"), 20);
    ASSERT_TRUE(test::waitFor([&] { return win.panel.acceptedWrites() == 1; }));
    ASSERT_FALSE(win.idle());
    EXPECT_TRUE(win.text()->isVisible());
    win.panelSends(QByteArrayLiteral("-<\r\n"));
    ASSERT_TRUE(test::waitFor([&] { return win.idle(); }));
    win.expectGone();
    // The check after the write read the panel back before the window gave the commands back.
    EXPECT_EQ(win.shell.texts(),
              (QStringList{U("Конфігурація записана успішно"), U("Записане перевірено.")}));
    EXPECT_EQ(win.panel.config().timeDelay, 23);
}

TEST(WaitingFeedback, UsbReadOfASilentPanelStopsShowingWhenItsDelayCheckEndsIt) {
    WaitingWindow win;
    sim::PanelFaults silent;
    silent.silent = true;
    win.panel.setFaults(silent);
    win.click("btnReadConf");
    win.expectWaiting(U("ППК"), 4);
    // Nothing comes: the read ends with its report, and the window waits no more.
    ASSERT_TRUE(test::waitFor([&] { return win.idle(); }));
    win.expectGone();
    ASSERT_EQ(win.shell.texts().size(), 1);
    EXPECT_TRUE(win.shell.texts()[0].startsWith(U("Не має доступу до ППК через порт: ")));
}

TEST(WaitingFeedback, RemoteReadAndWriteSayTheyWaitForTheStation) {
    WaitingWindow win;
    win.goRemote();
    test::clickTab(win.w<QTabWidget>("pcConf"), int(Page::Zones));
    sim::StationFaults waiting;
    waiting.noDataReplies = 0;
    waiting.noDataForever = true; // until the test lets the block through
    win.station.setFaults(waiting);

    // The read: 20 s for the block (the command watchdog). The seconds move on while it waits.
    win.click("btnReadConf");
    win.expectWaiting(U("ПЦС"), 20);
    ASSERT_TRUE(test::waitFor([&] { return secondsGone(win.text()->text()) >= 1; }))
        << win.text()->text().toStdString();
    ASSERT_FALSE(win.idle());
    EXPECT_TRUE(win.busyCursor());
    win.station.setFaults(sim::StationFaults{});
    ASSERT_TRUE(test::waitFor([&] { return win.idle(); }));
    win.expectGone();
    EXPECT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(win.window->state().mark(Page::Zones), PageMark::Synced);
    EXPECT_EQ(win.window->config().lines[6], heldConfig().lines[6]);

    // The write: 30 s, the time limit of its request; the station takes its time to answer.
    test::pick(win.w<QComboBox>("cbStatus2"), 3);
    sim::StationFaults slow;
    slow.slowMs = 1500;
    win.station.setFaults(slow);
    win.click("btnWriteConf");
    win.expectWaiting(U("ПЦС"), 30);
    ASSERT_TRUE(test::waitFor([&] { return win.idle(); }));
    win.expectGone();
    EXPECT_EQ(win.shell.texts(), QStringList{U("Конфігурація записана успішно")});
    EXPECT_EQ(win.station.panel(1201)->lines[1].modifier, 3);
}

TEST(WaitingFeedback, RefusedCommandsShowNothing) {
    WaitingWindow win;
    win.goRemote();
    // No password: the read is refused at once, before any request.
    win.type(win.w<QLineEdit>("edPwd"), QString());
    win.click("btnReadConf");
    EXPECT_TRUE(win.idle());
    EXPECT_EQ(win.shell.messages.size(), 1u);
    win.expectGone();
    EXPECT_TRUE(win.station.requests().empty());
}
