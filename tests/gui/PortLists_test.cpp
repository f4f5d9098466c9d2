// The window's two port lists as an installer meets them: each device says what it is, devices plugged
// in or pulled out show without pressing "Оновити список" and the chosen port stays chosen while it is
// there, and a port the user may not open says which group to join. Simulated panels on ptys stand for
// USB devices; their links come and go as a cable is plugged and pulled. Waits are bounded by
// conditions, never judged by speed.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "Settings.h"
#include "TfrmMain.h"
#include "check/CheckTexts.h"
#include "sim/PanelSim.h"
#include "support/FakeSerialPort.h"
#include "usb/QtSerialPort.h"
#include "usb/UsbCommands.h"

#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <grp.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace zorel8z;
using test::rules::U;

namespace {

QStringList entries(const QComboBox* box) {
    QStringList names;
    for (int i = 0; i < box->count(); ++i)
        names << box->itemText(i);
    return names;
}

QString tooltip(const QComboBox* box, int index) {
    return box->itemData(index, Qt::ToolTipRole).toString();
}

// The cable pulled: the line drops, and the device's link goes with the device. (A link left
// dangling could meet the next terminal that gets the same number, here another test's.)
void pullOut(sim::PanelSim& panel) {
    panel.hangUp();
    QFile::remove(panel.devicePath());
}

// A panel behind a link that appears when its cable is plugged in.
std::unique_ptr<sim::PanelSim> plugIn(const QString& link, quint16 serial) {
    auto panel = std::make_unique<sim::PanelSim>();
    panel->setConfig(test::rules::validConfig());
    panel->setSerialNumber(serial);
    EXPECT_TRUE(panel->open(link)) << panel->errorString().toStdString();
    return panel;
}

struct Window {
    Window(const QStringList& extra, const QString& chosen, usb::UsbTimings timings = {4000, 8000}) {
        test::guiApp();
        const QStringList ports = usb::QtSerialPort(extra).availablePorts();
        gui::writeSettings(int(ports.indexOf(chosen)), QStringLiteral("127.000.000.001"), 15001);
        gui::WindowOptions options;
        options.extraPorts = extra;
        options.shell = &shell;
        options.usbTimings = timings;
        window = std::make_unique<gui::TfrmMain>(std::move(options));
        EXPECT_TRUE(test::showAndWaitForPorts(*window));
        panelList = test::find<QComboBox>(*window, "ComComboBox1");
        readerList = test::find<QComboBox>(*window, "ComComboBox2");
    }
    bool idle() const { return window->state().commandsEnabled; }
    void read() {
        QTest::mouseClick(test::find<QPushButton>(*window, "btnReadConf"), Qt::LeftButton);
        ASSERT_TRUE(test::waitFor([this] { return idle(); }));
    }
    // Both lists show `ports`, whatever the system adds before them.
    bool listing(const QStringList& ports) const {
        return entries(panelList) == ports && entries(readerList) == ports;
    }

    test::TestShell shell;
    std::unique_ptr<gui::TfrmMain> window;
    QComboBox* panelList = nullptr;
    QComboBox* readerList = nullptr;
};

} // namespace

TEST(PortLists, EachEntryTellsWhatDeviceItIs) {
    test::guiApp();
    test::TestShell shell;
    auto panel = std::make_unique<test::FakeSerialPort>();
    auto reader = std::make_unique<test::FakeSerialPort>();
    test::FakeSerialPort* panelPort = panel.get();
    const QString adapter = QStringLiteral("FT232R USB UART\nВиробник: FTDI\nСерійний номер: A50285BI");
    for (test::FakeSerialPort* port : {panel.get(), reader.get()}) {
        port->ports = {QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")};
        port->descriptions.insert(QStringLiteral("ttyUSB0"), adapter);
    }
    gui::WindowOptions options;
    options.shell = &shell;
    options.panelPort = std::move(panel);
    options.readerPort = std::move(reader);
    gui::TfrmMain window(std::move(options));
    ASSERT_TRUE(test::showAndWaitForPorts(window));
    auto* panelList = test::find<QComboBox>(window, "ComComboBox1");
    auto* readerList = test::find<QComboBox>(window, "ComComboBox2");

    for (QComboBox* box : {panelList, readerList}) {
        EXPECT_EQ(entries(box), (QStringList{QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")}));
        EXPECT_EQ(tooltip(box, 0), QString());
        EXPECT_EQ(tooltip(box, 1), adapter);
    }

    // Another adapter under the same name, listed again by the refresh button.
    const QString other = QStringLiteral("USB-Serial Controller\nВиробник: Prolific Technology Inc.");
    panelPort->descriptions.insert(QStringLiteral("ttyUSB0"), other);
    panelPort->ports = {QStringLiteral("ttyUSB0")};
    QTest::mouseClick(test::find<QToolButton>(window, "SpeedButton1"), Qt::LeftButton);
    EXPECT_EQ(entries(panelList), QStringList{QStringLiteral("ttyUSB0")});
    EXPECT_EQ(tooltip(panelList, 0), other);
    EXPECT_EQ(tooltip(readerList, 1), adapter);
}

TEST(PortLists, FollowDevicesPluggedAndPulledAndKeepTheChosenPort) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString linkA = dir.filePath(QStringLiteral("panelA"));
    const QString linkB = dir.filePath(QStringLiteral("panelB"));
    test::guiApp();
    std::unique_ptr<sim::PanelSim> panelA = plugIn(linkA, 1111);
    const QStringList system = usb::QtSerialPort::systemPorts();
    Window w({linkA, linkB}, linkA);
    ASSERT_TRUE(w.listing(system + QStringList{linkA}));
    ASSERT_EQ(w.panelList->currentText(), linkA);
    ASSERT_EQ(w.readerList->currentText(), linkA); // the last entry

    // Plugged in: both lists show it; the chosen ports stay chosen, and a read goes to the chosen panel.
    std::unique_ptr<sim::PanelSim> panelB = plugIn(linkB, 2222);
    ASSERT_TRUE(test::waitFor([&] { return w.listing(system + QStringList{linkA, linkB}); }));
    EXPECT_EQ(w.panelList->currentText(), linkA);
    EXPECT_EQ(w.readerList->currentText(), linkA);
    w.read();
    EXPECT_EQ(panelA->readRequests(), 1);
    EXPECT_EQ(panelB->readRequests(), 0);
    EXPECT_EQ(test::find<QLabel>(*w.window, "edSerialNum")->text(), QStringLiteral("0001111"));

    // Pulled out: gone from both lists; the chosen port, still there, stays chosen and open.
    panelB.reset();
    ASSERT_TRUE(test::waitFor([&] { return w.listing(system + QStringList{linkA}); }));
    EXPECT_EQ(w.panelList->currentText(), linkA);
    EXPECT_EQ(w.readerList->currentText(), linkA);
    w.read();
    EXPECT_EQ(panelA->readRequests(), 2);

    // The chosen panel pulled out: the line breaks, and the lists are made as the refresh button makes
    // them, the first entry chosen.
    pullOut(*panelA);
    ASSERT_TRUE(test::waitFor([&] { return w.listing(system); }));
    EXPECT_EQ(w.panelList->currentIndex(), system.isEmpty() ? -1 : 0);
    EXPECT_EQ(w.readerList->currentIndex(), system.isEmpty() ? -1 : 0);
    // Whether the line's break or the new list comes first is the system's affair.
    for (const QString& text : w.shell.texts())
        EXPECT_EQ(text, U("Розірвано підключення по USB"));

    // Plugged in again under the other link: chosen when the list had nothing else to choose.
    panelB = plugIn(linkB, 3333);
    ASSERT_TRUE(test::waitFor([&] { return w.listing(system + QStringList{linkB}); }))
        << entries(w.panelList).join(QLatin1Char('|')).toStdString();
    const QString first = system.isEmpty() ? linkB : system.first();
    EXPECT_EQ(w.panelList->currentText(), first);
    EXPECT_EQ(w.readerList->currentText(), first);
    if (first == linkB) {
        w.read();
        EXPECT_EQ(panelB->readRequests(), 1);
        EXPECT_EQ(test::find<QLabel>(*w.window, "edSerialNum")->text(), QStringLiteral("0003333"));
    }
}

// The chosen panel pulled out during a read: the read keeps its port to the end, so its report names
// the port it read from; the list follows once the read is over.
TEST(PortLists, AReadKeepsItsPortWhenTheDeviceGoesDuringIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString linkA = dir.filePath(QStringLiteral("panelA"));
    const QString linkB = dir.filePath(QStringLiteral("panelB"));
    test::guiApp();
    std::unique_ptr<sim::PanelSim> panelA = plugIn(linkA, 1111);
    sim::PanelFaults silent;
    silent.silent = true;
    panelA->setFaults(silent);
    std::unique_ptr<sim::PanelSim> panelB = plugIn(linkB, 2222);
    const QStringList system = usb::QtSerialPort::systemPorts();
    // Long enough for the lists to hear of the change while the read still waits.
    Window w({linkA, linkB}, linkA, {6000, 12000});
    ASSERT_EQ(w.panelList->currentText(), linkA);

    QTest::mouseClick(test::find<QPushButton>(*w.window, "btnReadConf"), Qt::LeftButton);
    ASSERT_FALSE(w.idle());
    pullOut(*panelA);
    // The reader list follows at once; the panel list waits for the read.
    ASSERT_TRUE(
        test::waitFor([&] { return entries(w.readerList) == system + QStringList{linkB} || w.idle(); }));
    if (w.idle())
        GTEST_SKIP() << "the machine was too slow: the read ended before the lists heard of the change";
    EXPECT_EQ(w.panelList->currentText(), linkA);
    ASSERT_TRUE(test::waitFor([&] { return w.idle(); }));
    const QStringList texts = w.shell.texts();
    ASSERT_EQ(texts.size(), 2) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(texts[0], U("Розірвано підключення по USB"));
    EXPECT_EQ(texts[1],
              usb::msg::kNoAccessPrefix + linkA + QStringLiteral(".\r\n") + usb::msg::kNoAccessAdvice);

    ASSERT_TRUE(test::waitFor([&] { return w.listing(system + QStringList{linkB}); }));
    EXPECT_EQ(w.panelList->currentIndex(), 0);
    if (system.isEmpty()) {
        w.read();
        EXPECT_EQ(panelB->readRequests(), 1);
    }
}

// The system's ports reach the lists just after the window is first painted. Closed at once, before
// or after they came, the window keeps the stored port choice; shown again, it chooses that port.
TEST(PortLists, AWindowClosedAtOnceKeepsTheStoredPort) {
    test::guiApp();
    sim::PanelSim first;
    sim::PanelSim second;
    ASSERT_TRUE(first.open()) << first.errorString().toStdString();
    ASSERT_TRUE(second.open()) << second.errorString().toStdString();
    const QStringList extra{first.devicePath(), second.devicePath()};
    const QStringList ports = usb::QtSerialPort(extra).availablePorts();
    const int stored = int(ports.indexOf(first.devicePath()));
    ASSERT_GE(stored, 0);
    ASSERT_NE(stored, ports.size() - 1); // the choice made when nothing is stored would hide a loss
    gui::writeSettings(stored, QStringLiteral("127.000.000.001"), 15001);
    for (int round = 0; round < 3; ++round) {
        test::TestShell shell;
        gui::WindowOptions options;
        options.extraPorts = extra;
        options.shell = &shell;
        auto window = std::make_unique<gui::TfrmMain>(std::move(options));
        window->show();
        window->close();
        EXPECT_EQ(gui::readSettings().defaultCom, stored) << "round " << round;
    }
    Window shown(extra, first.devicePath());
    EXPECT_EQ(shown.panelList->currentText(), first.devicePath());
}

// A port this user may not open: the box that says so names the group that owns the device and how
// to join it. Root opens any device, so as root the test hands the device to the serial-port group,
// as the system does with adapters, and runs itself again as a user outside that group.
TEST(PortAccess, APortWithoutPermissionSaysWhichGroupToJoin) {
    test::guiApp();
    const QString given = qEnvironmentVariable("ZOREL_TEST_DENIED_PORT");
    if (::geteuid() == 0 && given.isEmpty()) {
        sim::PanelSim panel;
        ASSERT_TRUE(panel.open()) << panel.errorString().toStdString();
        const group* dialout = ::getgrnam("dialout");
        ASSERT_NE(dialout, nullptr);
        const QByteArray device = QFile::encodeName(panel.devicePath());
        ASSERT_EQ(::chown(device.constData(), uid_t(-1), dialout->gr_gid), 0);
        ASSERT_EQ(::chmod(device.constData(), 0660), 0);
        QTemporaryDir data;
        ASSERT_TRUE(data.isValid());
        ASSERT_TRUE(QFile::setPermissions(data.path(), QFileDevice::Permissions(0x7777)));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZOREL_TEST_DENIED_PORT"), panel.devicePath());
        env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
        env.insert(QStringLiteral("HOME"), data.path());
        QProcess again;
        again.setProcessEnvironment(env);
        again.setProcessChannelMode(QProcess::MergedChannels);
        again.start(QStringLiteral("setpriv"),
                    {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                     QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                     QStringLiteral("--gtest_filter=PortAccess.APortWithoutPermissionSaysWhichGroupToJoin")});
        ASSERT_TRUE(again.waitForFinished(240000));
        const QString out = QString::fromUtf8(again.readAll());
        EXPECT_EQ(again.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test"))) << out.toStdString();
        return;
    }

    std::unique_ptr<sim::PanelSim> own;
    QString path = given;
    if (path.isEmpty()) {
        // The device is the tester's own: take the access away.
        own = std::make_unique<sim::PanelSim>();
        ASSERT_TRUE(own->open()) << own->errorString().toStdString();
        path = own->devicePath();
        ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));
    }
    ASSERT_NE(::access(QFile::encodeName(path).constData(), R_OK | W_OK), 0);

    test::ModalShell shell;
    const QStringList ports = usb::QtSerialPort({path}).availablePorts();
    gui::writeSettings(int(ports.indexOf(path)), QStringLiteral("127.000.000.001"), 15001);
    gui::WindowOptions options;
    options.extraPorts = {path};
    options.shell = &shell;
    options.usbTimings = {300, 8000};
    gui::TfrmMain window(std::move(options));
    ASSERT_TRUE(test::showAndWaitForPorts(window));
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
    ASSERT_EQ(test::find<QComboBox>(window, "ComComboBox1")->currentText(), path);

    QTest::mouseClick(test::find<QPushButton>(window, "btnReadConf"), Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return window.state().commandsEnabled && shell.boxesClosed == 2; }));
    const QStringList texts = shell.texts();
    ASSERT_EQ(texts.size(), 2) << texts.join(QLatin1Char('|')).toStdString();
    const QString group = QFileInfo(path).group();
    const QString advice = group == QLatin1String("root") || group == QLatin1String("wheel")
                               ? check::msg::kPermissionNoGroup.arg(path)
                               : check::msg::kPermissionGroup.arg(path, group);
    EXPECT_TRUE(texts[0].startsWith(usb::msg::kUsbErrorPrefix)) << texts[0].toStdString();
    EXPECT_TRUE(texts[0].endsWith(QStringLiteral("\r\n") + advice)) << texts[0].toStdString();
    if (!given.isEmpty()) {
        EXPECT_EQ(group, QStringLiteral("dialout"));
        EXPECT_TRUE(texts[0].contains(QStringLiteral("sudo usermod -aG dialout $USER")))
            << texts[0].toStdString();
    }
    // The read's own report follows, as before.
    EXPECT_TRUE(texts[1].startsWith(usb::msg::kNoAccessPrefix + path)) << texts[1].toStdString();
}
