// The window's two links share one command watchdog: a USB read on a silent port, then, a little
// later, Internet mode and a read of a block from the simulated station. Driven by clicks and keys
// with short timers; waits are bounded and nothing is judged by speed.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "Settings.h"
#include "TfrmMain.h"
#include "sim/PanelSim.h"
#include "sim/StationSim.h"
#include "usb/QtSerialPort.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace zorel8z;
using model::PageMark;
using rules::Page;
using test::rules::U;

namespace {

constexpr int kWatchdogMs = 3000;

void clickRadio(QRadioButton* radio) {
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
}

void type(QWidget* field, const QString& text) {
    test::typeInto(field, text);
}

} // namespace

TEST(LinkWindow, SilentUsbReadThenInternetReadEndsWithTheBlock) {
    test::guiApp();
    sim::PanelSim panel;
    sim::PanelFaults silent;
    silent.silent = true;
    panel.setFaults(silent);
    ASSERT_TRUE(panel.open()) << panel.errorString().toStdString();
    const QStringList ports = usb::QtSerialPort::systemPorts() + QStringList{panel.devicePath()};
    gui::writeSettings(int(ports.indexOf(panel.devicePath())), QStringLiteral("127.000.000.001"), 15001);

    sim::StationSim station;
    model::PanelConfig held = test::rules::validConfig();
    held.lines[2] = {2, 1, 0};
    station.addPanel(1201, QStringLiteral("482913"), held);
    sim::StationFaults waiting;
    waiting.noDataReplies = 0;
    waiting.noDataForever = true; // until the test lets the block through
    station.setFaults(waiting);
    ASSERT_TRUE(station.start()) << station.errorString().toStdString();

    test::TestShell shell;
    gui::WindowOptions options;
    options.extraPorts = {panel.devicePath()};
    options.shell = &shell;
    options.usbTimings = {100, kWatchdogMs};
    options.remoteTimings.pollMs = 100;
    gui::TfrmMain window(std::move(options));
    ASSERT_TRUE(test::showAndWaitForPorts(window));
    auto* local = test::find<QRadioButton>(window, "rbtn_Local");
    auto* remote = test::find<QRadioButton>(window, "rbtn_Remote");
    auto* read = test::find<QPushButton>(window, "btnReadConf");

    // The station's access, typed once in Internet mode; then back to USB.
    clickRadio(remote);
    type(test::find<QLineEdit>(window, "meRemoteServerIP"), QStringLiteral("127000000001"));
    type(test::find<QSpinBox>(window, "seRemoteServerPort"), QString::number(station.port()));
    type(test::find<QSpinBox>(window, "seNumPPK"), QStringLiteral("1201"));
    type(test::find<QLineEdit>(window, "edPwd"), QStringLiteral("482913"));
    clickRadio(local);
    ASSERT_EQ(window.state().mode, rules::Mode::Local);

    // The USB read on the silent port ends by its delay check.
    QElapsedTimer sinceUsbRead;
    sinceUsbRead.start();
    QTest::mouseClick(read, Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return window.state().commandsEnabled; }));
    ASSERT_EQ(shell.texts().size(), 1);
    EXPECT_TRUE(shell.texts()[0].startsWith(U("Не має доступу до ППК через порт: ")));

    // A second later: Internet, the zones page, read.
    QElapsedTimer pause;
    pause.start();
    ASSERT_TRUE(test::waitFor([&] { return pause.elapsed() >= 1000; }));
    clickRadio(remote);
    test::find<QTabWidget>(window, "pcConf")->setCurrentIndex(int(Page::Zones));
    QElapsedTimer sinceRemoteRead;
    sinceRemoteRead.start();
    QTest::mouseClick(read, Qt::LeftButton);
    ASSERT_FALSE(window.state().commandsEnabled);

    // Past the time the USB read's watchdog had, the read still waits for its block.
    ASSERT_TRUE(test::waitFor([&] { return sinceUsbRead.elapsed() > kWatchdogMs + 300; }));
    const bool stillReading = !window.state().commandsEnabled;
    EXPECT_EQ(shell.texts().size(), 1) << shell.texts().join(QLatin1Char('|')).toStdString();
    if (sinceRemoteRead.elapsed() >= kWatchdogMs - 300)
        GTEST_SKIP() << "the machine was too slow to tell the two watchdogs apart";
    EXPECT_TRUE(stillReading);

    station.setFaults(sim::StationFaults{});
    ASSERT_TRUE(test::waitFor([&] { return window.state().commandsEnabled; }));
    EXPECT_EQ(window.state().mark(Page::Zones), PageMark::Synced);
    EXPECT_EQ(window.config().lines[2], held.lines[2]);
    for (const QString& text : shell.texts())
        EXPECT_NE(text, U("ППК не відповідає! Повторіть спробу!"));
    EXPECT_EQ(shell.texts().size(), 1) << shell.texts().join(QLatin1Char('|')).toStdString();
}
