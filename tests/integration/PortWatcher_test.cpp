// Serial devices that come and go: the Qt port lists an extra path while it is there, and the watcher
// reports a changed list, from its own thread to the owner's, only when it changed.
#include "sim/PanelSim.h"
#include "sim/PtyClient.h"
#include "support/Printers.h"
#include "usb/PortWatcher.h"
#include "usb/QtSerialPort.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <mutex>

using namespace zorel8z;

namespace {

// A list of devices the test changes while the watcher's thread reads it.
class Devices {
  public:
    void set(const QStringList& names) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_names = names;
    }
    QStringList list() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_listings;
        return m_names;
    }
    int listings() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_listings;
    }

  private:
    std::mutex m_mutex;
    QStringList m_names;
    int m_listings = 0;
};

struct Report {
    QStringList ports;
    bool onOwnerThread;
};

} // namespace

TEST(PortWatcher, ReportsEachChangeOnTheOwnersThread) {
    test::ensureApp();
    Devices devices;
    devices.set({QStringLiteral("ttyS0")});
    usb::PortWatcher watcher([&devices] { return devices.list(); }, 50);
    std::vector<Report> reports;
    QObject::connect(&watcher, &usb::PortWatcher::changed, [&reports](const QStringList& ports) {
        reports.push_back({ports, QThread::currentThread() == QCoreApplication::instance()->thread()});
    });
    watcher.start({QStringLiteral("ttyS0")});
    ASSERT_TRUE(watcher.watching());

    // The list the owner shows already: nothing to report, however often it is listed.
    ASSERT_TRUE(test::waitUntil([&] { return devices.listings() >= 4; }));
    test::spin(test::kQuietMs);
    EXPECT_TRUE(reports.empty());

    const QStringList plugged = {QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")};
    devices.set(plugged);
    ASSERT_TRUE(test::waitUntil([&] { return !reports.empty(); }));
    const int after = devices.listings();
    ASSERT_TRUE(test::waitUntil([&] { return devices.listings() >= after + 4; }));
    test::spin(test::kQuietMs);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].ports, plugged);
    EXPECT_TRUE(reports[0].onOwnerThread);

    devices.set({});
    ASSERT_TRUE(test::waitUntil([&] { return reports.size() == 2; }));
    EXPECT_EQ(reports[1].ports, QStringList());
    EXPECT_TRUE(reports[1].onOwnerThread);
}

// An extra path is a device like any other: listed while it is there. A link that dangles leads to no
// device. The system tells nothing of such a path.
TEST(PortWatcher, ExtraPathsAreListedWhileTheyAreThere) {
    test::ensureApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("panel"));
    const QString never = dir.filePath(QStringLiteral("never"));
    usb::QtSerialPort port({link, never});
    const QStringList system = usb::QtSerialPort::systemPorts();
    EXPECT_EQ(port.availablePorts(), system);

    usb::PortWatcher watcher(
        [extra = QStringList{link, never}] { return usb::QtSerialPort(extra).availablePorts(); }, 50);
    std::vector<QStringList> reports;
    QObject::connect(&watcher, &usb::PortWatcher::changed,
                     [&reports](const QStringList& ports) { reports.push_back(ports); });
    watcher.start(port.availablePorts());

    {
        sim::PanelSim panel;
        ASSERT_TRUE(panel.open(link)) << panel.errorString().toStdString();
        EXPECT_EQ(port.availablePorts(), system + QStringList{link});
        EXPECT_EQ(port.portDescription(link), QString());
        ASSERT_TRUE(test::waitUntil([&] { return !reports.empty(); }));
        EXPECT_EQ(reports.back(), system + QStringList{link});
    }
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(port.availablePorts(), system);
    ASSERT_TRUE(test::waitUntil([&] { return reports.size() == 2; }));
    EXPECT_EQ(reports.back(), system);

    const QString target = dir.filePath(QStringLiteral("device"));
    ASSERT_TRUE(QFile::link(target, never));
    EXPECT_EQ(port.availablePorts(), system);
    ASSERT_TRUE(QFile(target).open(QIODevice::WriteOnly));
    EXPECT_EQ(port.availablePorts(), system + QStringList{never});
}
