// The window on hostile ground, driven as a user drives it: a station reply nested a hundred thousand
// levels deep, a save on a full disk, a FIFO chosen in the open dialog. Each ends with a message and
// the window going on, the configuration on display and the file on disk untouched.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "TfrmMain.h"
#include "model/ConfigFile.h"
#include "model/ConfigJson.h"
#include "support/FakeSerialPort.h"
#include "support/FullDisk.h"
#include "support/LoopbackServer.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

using namespace zorel8z;
using model::PageMark;
using rules::Page;
using test::rules::U;

namespace {

const QString kDemo = QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json");

model::PanelConfig demo() {
    QFile f(kDemo);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    model::PanelConfig cfg;
    QString error;
    EXPECT_TRUE(model::configFromJson(f.readAll(), cfg, error)) << error.toStdString();
    return cfg;
}

struct Window {
    Window() {
        test::guiApp();
        gui::WindowOptions options;
        options.shell = &shell;
        options.panelPort = std::make_unique<test::FakeSerialPort>();
        options.readerPort = std::make_unique<test::FakeSerialPort>();
        options.remoteTimings.pollMs = 50;
        options.usbTimings.watchdogMs = 20000;
        window = std::make_unique<gui::TfrmMain>(std::move(options));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
    }

    template <typename W> W* w(const char* name) { return test::find<W>(*window, name); }
    void type(QWidget* field, const QString& text) { test::typeInto(field, text); }
    void key(int k, Qt::KeyboardModifiers mods = {}) {
        if (QApplication::activeWindow() != window.get()) {
            window->activateWindow();
            (void)QTest::qWaitForWindowActive(window.get());
        }
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, Qt::Key(k), mods);
        QApplication::processEvents();
    }
    void peekMenu(const char* name) {
        QMenu* menu = w<QMenu>(name);
        menu->popup(window->mapToGlobal(QPoint(10, 10)));
        QApplication::processEvents();
        menu->hide();
    }
    void toRemote(int port) {
        auto* remote = w<QRadioButton>("rbtn_Remote");
        QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
        type(w<QLineEdit>("meRemoteServerIP"), QStringLiteral("127000000001"));
        type(w<QSpinBox>("seRemoteServerPort"), QString::number(port));
        type(w<QSpinBox>("seNumPPK"), QStringLiteral("57"));
        type(w<QLineEdit>("edPwd"), QStringLiteral("123456"));
    }
    bool idle() { return window->state().commandsEnabled; }
    // Opens a file through the menu's shortcut and the (answered) dialog.
    void open(const QString& path) {
        shell.openPath = path;
        key(Qt::Key_O, Qt::ControlModifier);
    }

    test::TestShell shell;
    std::unique_ptr<gui::TfrmMain> window;
};

} // namespace

TEST(HostileWindow, ANestedStationReplyIsABrokenBlockAndTheWindowGoesOn) {
    const std::string deep = "{\"n\":" + std::string(100000, '[') + std::string(100000, ']') + "}";
    test::LoopbackServer station([&](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.path == "/get_config" ? std::string("ok") : deep, "text/plain");
    });
    Window win;
    win.toRemote(station.port());
    const model::PanelConfig before = win.window->config();
    win.window->findChild<QTabWidget*>(QStringLiteral("pcConf"))->setCurrentIndex(int(Page::Network));
    QTest::mouseClick(win.w<QPushButton>("btnReadConf"), Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return win.idle() && !win.shell.messages.empty(); }));
    EXPECT_EQ(win.shell.texts(), QStringList{U("Помилковий формат конфігурації!")});
    EXPECT_EQ(win.window->config(), before);
    EXPECT_NE(win.window->state().mark(Page::Network), PageMark::Synced);
    // Still there and still working: the next read goes out again.
    const int asked = station.requests();
    win.shell.messages.clear();
    QTest::mouseClick(win.w<QPushButton>("btnReadConf"), Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return win.idle() && !win.shell.messages.empty(); }));
    EXPECT_GT(station.requests(), asked);
}

TEST(HostileWindow, SaveAsOnAFullDiskFailsAndKeepsTheOldFile) {
    test::FullDisk disk;
    QString why;
    if (!disk.mount(why))
        GTEST_SKIP() << "no small file system to fill on this machine: " << why.toStdString();
    // An earlier save of another configuration, then the disk fills up.
    const QString target = disk.filePath(QStringLiteral("conf.c8z"));
    {
        model::PanelConfig other = demo();
        other.numPPK = 4321;
        test::RecordingUi quiet;
        ASSERT_TRUE(model::saveConfigFile(controller::TController(), target, other, quiet));
    }
    const QByteArray old = [&] {
        QFile f(target);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_FALSE(old.isEmpty());
    ASSERT_TRUE(disk.fill());

    Window win;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("demo.c8z"));
    test::RecordingUi quiet;
    ASSERT_TRUE(model::saveConfigFile(controller::TController(), source, demo(), quiet));
    win.open(source);
    ASSERT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(QLatin1Char('|')).toStdString();
    const model::PanelConfig shown = win.window->config();

    win.peekMenu("N1");
    win.shell.savePath = target;
    win.key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(win.shell.texts(), QStringList{U("Не вдалося зберегти файл\r\n") + qt_error_string(ENOSPC)});
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), old);
    EXPECT_EQ(win.window->config(), shown);
}

TEST(HostileWindow, OpeningAFifoOrADeviceNeitherWaitsNorChangesAnything) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.c8z"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    Window win;
    const model::PanelConfig before = win.window->config();
    for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
        win.shell.messages.clear();
        win.open(path);
        EXPECT_EQ(win.shell.texts(), QStringList{U("Не вдалося відкрити файл\r\n"
                                                   "Це не звичайний файл (канал, пристрій чи тека)")})
            << path.toStdString();
        EXPECT_EQ(win.window->config(), before);
    }
}

TEST(HostileWindow, ASavedFileIsTheOwnersOnly) {
    const mode_t mask = ::umask(022);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("demo.c8z"));
    test::RecordingUi quiet;
    ASSERT_TRUE(model::saveConfigFile(controller::TController(), source, demo(), quiet));
    Window win;
    win.open(source);
    win.peekMenu("N1");
    win.shell.savePath = dir.filePath(QStringLiteral("mine.c8z"));
    win.key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(win.shell.messages.empty()) << win.shell.texts().join(QLatin1Char('|')).toStdString();
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(win.shell.savePath).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, mode_t(0600));
    ::umask(mask);
}
