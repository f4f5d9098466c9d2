// The window on small screens: 1366 × 768 at 100 %, 125 % and 150 %, 1280 × 720, and the same with a
// panel taking part of the screen. It must start wholly inside the screen's available area, with
// the menu bar and both command buttons in sight, and every control of every page must be reachable
// (scrolled into view where the pages area is too low for a page). Where the screen has room the
// window keeps its designed size.
//
// The offscreen platform takes its screen at start-up only, so each screen is tried by this test
// program run again in a process of its own, with the screen in the platform's configuration file
// and the scale in QT_SCALE_FACTOR.
#include "gui/GuiSupport.h"

#include "Application.h"
#include "TfrmMain.h"
#include "support/FakeSerialPort.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zorel8z;

namespace {

const char* const kScreenVariable = "ZOREL_TEST_SMALL_SCREEN";

struct Screen {
    const char* name;
    int width;
    int height; // what the desktop leaves to windows, a panel taken off
    const char* scale;
    // Whether the window keeps its designed size there, or its pages area gets lower.
    bool fullSize;
};

void PrintTo(const Screen& s, std::ostream* os) {
    *os << s.name;
}

const Screen kScreens[] = {
    {"1366x768_100", 1366, 768, "1", true},
    {"1366x768_125", 1366, 768, "1.25", true},
    {"1366x768_150", 1366, 768, "1.5", false},
    {"1280x720_100", 1280, 720, "1", true},
    // A 40-pixel panel at the bottom of the screen.
    {"1366x728_150", 1366, 728, "1.5", false},
    {"1280x680_125", 1280, 680, "1.25", false},
};

QRect global(const QWidget* widget) {
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

QString describe(const QWidget* widget) {
    QString name = widget->objectName();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        name += QStringLiteral(" \"%1\"").arg(label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        name += QStringLiteral(" \"%1\"").arg(button->text());
    return QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') + name;
}

// What a user reads or works on: captions and controls, not the parts of composite controls.
bool isControl(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    if (qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent) ||
        qobject_cast<const QAbstractScrollArea*>(parent) || qobject_cast<const QTabBar*>(parent))
        return false;
    for (const QWidget* up = parent; up; up = up->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(up))
            return false;
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractItemView*>(widget) ||
           qobject_cast<const QTabBar*>(widget);
}

// Every control of the open page, scrolled into view one by one, lies wholly inside the pages area.
void expectPageReachable(QScrollArea* area, const QString& where) {
    QWidget* viewport = area->viewport();
    for (QWidget* control : area->widget()->findChildren<QWidget*>()) {
        if (!control->isVisible() || !isControl(control))
            continue;
        area->ensureWidgetVisible(control, 0, 0);
        QApplication::processEvents();
        const QRect inViewport(control->mapTo(viewport, QPoint(0, 0)), control->size());
        EXPECT_TRUE(viewport->rect().contains(inViewport))
            << where.toStdString() << ": " << describe(control).toStdString()
            << " cannot be brought into view";
    }
}

// Every page (and every page of the parameters' inner page control), chosen by a click on its tab.
// In a window of the designed size no page scrolls: each looks as it always has.
void expectEveryPageReachable(gui::TfrmMain& window, const QString& mode, bool fullSize) {
    auto* pages = test::find<QTabWidget>(window, "pcConf");
    for (int i = 0; i < pages->count(); ++i) {
        if (!pages->isTabVisible(i))
            continue;
        test::clickTab(pages, i);
        ASSERT_EQ(pages->currentIndex(), i);
        auto* area = qobject_cast<QScrollArea*>(pages->currentWidget());
        ASSERT_NE(area, nullptr) << "page " << i << " does not scroll";
        // The pages area itself is in sight.
        EXPECT_TRUE(global(window.centralWidget()).contains(global(area->viewport())));
        const QString where = mode + QStringLiteral(", page %1").arg(i);
        if (fullSize) {
            EXPECT_EQ(area->verticalScrollBar()->maximum(), 0) << where.toStdString() << " scrolls";
            EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0) << where.toStdString() << " scrolls";
        }
        const auto inner = area->widget()->findChildren<QTabWidget*>();
        if (inner.isEmpty()) {
            expectPageReachable(area, where);
            continue;
        }
        for (QTabWidget* tabs : inner) {
            for (int j = 0; j < tabs->count(); ++j) {
                area->ensureWidgetVisible(tabs->tabBar(), 0, 0);
                test::clickTab(tabs, j);
                ASSERT_EQ(tabs->currentIndex(), j);
                expectPageReachable(area, where + QStringLiteral(".%1").arg(j));
            }
        }
    }
}

// The window on the screen this process was started with. Run by SmallScreens below.
void checkWindowOnThisScreen(bool fullSize) {
    static QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    static int argc = 1;
    static char name[] = "small_screen";
    static char* argv[] = {name, nullptr};
    gui::Application app(argc, argv);
    gui::Application::useProgramFont();

    test::TestShell shell;
    gui::WindowOptions options;
    options.shell = &shell;
    options.panelPort = std::make_unique<test::FakeSerialPort>();
    options.readerPort = std::make_unique<test::FakeSerialPort>();
    gui::TfrmMain window(std::move(options));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();

    const QRect available = window.screen()->availableGeometry();
    std::printf("screen %dx%d, available %d,%d %dx%d, window frame %d,%d %dx%d, client %dx%d\n",
                window.screen()->geometry().width(), window.screen()->geometry().height(), available.x(),
                available.y(), available.width(), available.height(), window.frameGeometry().x(),
                window.frameGeometry().y(), window.frameGeometry().width(), window.frameGeometry().height(),
                window.centralWidget()->width(), window.centralWidget()->height());

    // Wholly on the screen, menu bar and command buttons in sight.
    EXPECT_TRUE(available.contains(window.frameGeometry()));
    EXPECT_TRUE(window.frameGeometry().contains(window.geometry()));
    const QWidget* bar = window.menuWidget();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(available.contains(global(bar)));
    for (const char* button : {"btnReadConf", "btnWriteConf"}) {
        auto* b = test::find<QPushButton>(window, button);
        EXPECT_TRUE(b->isVisible()) << button;
        EXPECT_TRUE(available.contains(global(b))) << button;
        EXPECT_TRUE(global(window.centralWidget()).contains(global(b))) << button;
    }

    // Not resizable, whatever the screen; the designed size where there is room for it.
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    auto* pages = test::find<QTabWidget>(window, "pcConf");
    if (fullSize) {
        EXPECT_EQ(window.centralWidget()->size(), QSize(794, 524));
    } else {
        EXPECT_LT(window.centralWidget()->height(), 524);
        EXPECT_EQ(window.centralWidget()->width(), 794);
        // The zones, the tallest page, no longer fit: they scroll.
        test::clickTab(pages, int(rules::Page::Zones));
        auto* zones = qobject_cast<QScrollArea*>(pages->currentWidget());
        ASSERT_NE(zones, nullptr);
        EXPECT_GT(zones->verticalScrollBar()->maximum(), 0);
        test::clickTab(pages, int(rules::Page::Network));
    }

    // Everything outside the pages stays inside the client area.
    for (QWidget* w : window.centralWidget()->findChildren<QWidget*>()) {
        if (!w->isVisible() || !isControl(w) || pages->isAncestorOf(w))
            continue;
        EXPECT_TRUE(window.centralWidget()->rect().contains(
            QRect(w->mapTo(window.centralWidget(), QPoint(0, 0)), w->size())))
            << describe(w).toStdString();
    }

    expectEveryPageReachable(window, QStringLiteral("USB"), fullSize);
    auto* remote = test::find<QRadioButton>(window, "rbtn_Remote");
    QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
    ASSERT_EQ(window.state().mode, rules::Mode::Remote);
    expectEveryPageReachable(window, QStringLiteral("Internet"), fullSize);
    window.close();
}

class SmallScreens : public ::testing::TestWithParam<Screen> {};

} // namespace

TEST(SmallScreenRun, WindowOnThisScreen) {
    const QByteArray wanted = qgetenv(kScreenVariable);
    if (wanted.isEmpty())
        GTEST_SKIP() << "run by SmallScreens.* in a process of its own, on the screen it configures";
    checkWindowOnThisScreen(wanted == "full");
}

TEST_P(SmallScreens, WindowStartsOnTheScreenWithEveryControlReachable) {
    const Screen& screen = GetParam();
    test::guiApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("{\"screens\": [{\"name\": \"small\", \"x\": 0, \"y\": 0, \"width\": %1, "
                              "\"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                   .arg(screen.width)
                   .arg(screen.height)
                   .toUtf8());
    file.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(screen.scale));
    env.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));
    env.remove(QStringLiteral("QT_AUTO_SCREEN_SCALE_FACTOR"));
    env.insert(QString::fromLatin1(kScreenVariable),
               screen.fullSize ? QStringLiteral("full") : QStringLiteral("low"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SmallScreenRun.WindowOnThisScreen")});
    ASSERT_TRUE(child.waitForStarted());
    // Generous: bounds a hang, never judges speed.
    ASSERT_TRUE(child.waitForFinished(240000)) << "the run on " << screen.name << " did not end";
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
    for (const QString& line : output.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("screen ")))
            std::printf("%s: %s\n", screen.name, qPrintable(line));
}

INSTANTIATE_TEST_SUITE_P(Screens, SmallScreens, ::testing::ValuesIn(kScreens),
                         [](const ::testing::TestParamInfo<Screen>& info) {
                             return std::string(info.param.name);
                         });
