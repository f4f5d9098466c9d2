// The two grids as a user edits them: click a cell, type, leave it by any of the ways a user leaves
// a cell; then what the cell shows is what the record holds and what a write hands to the panel or
// the station. Messages come up as real modal boxes that the user closes with OK.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "Settings.h"
#include "TfrmMain.h"
#include "sim/PanelSim.h"
#include "sim/StationSim.h"
#include "support/FakeSerialPort.h"
#include "usb/QtSerialPort.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace zorel8z;
using model::PageMark;
using rules::Page;
using test::rules::U;

namespace {

const QString kBadCode = QStringLiteral("Невірний формат коду!");

// A configuration every check accepts, users in groups 1 and 2, zones in groups 1 and 2.
model::PanelConfig panelConfig() {
    model::PanelConfig c = test::rules::validConfig();
    c.numPPK = 1201;
    c.users[1] = {QStringLiteral("2"), QStringLiteral("2580")};
    c.lines[4] = {2, 0, 0};
    c.UVICode[0] = QStringLiteral("01A2B3C4D5E6F701");
    return c;
}

// The window as the installer has it: reading from a simulated panel on a pty, or in Internet mode
// against the simulated station.
struct Desk {
    enum class Link { Usb, Station };

    explicit Desk(Link link) : link(link) {
        test::guiApp();
        gui::WindowOptions options;
        options.shell = &shell;
        if (link == Link::Usb) {
            panel.setConfig(panelConfig());
            EXPECT_TRUE(panel.open()) << panel.errorString().toStdString();
            const QStringList ports = usb::QtSerialPort::systemPorts() + QStringList{panel.devicePath()};
            gui::writeSettings(int(ports.indexOf(panel.devicePath())), QStringLiteral("127.000.000.001"),
                               15001);
            options.extraPorts = QStringList{panel.devicePath()};
            options.usbTimings = {4000, 8000};
        } else {
            model::PanelConfig atStation = panelConfig();
            atStation.users[0].password = QStringLiteral("4321");
            atStation.users[3] = {QStringLiteral("2"), QStringLiteral("7777")};
            for (int k = 5; k < model::kUserCount; ++k)
                atStation.users[size_t(k)].password = QString::number(3000 + 10 * k);
            station.addPanel(1201, QStringLiteral("482913"), atStation);
            EXPECT_TRUE(station.start()) << station.errorString().toStdString();
            options.panelPort = std::make_unique<test::FakeSerialPort>();
            options.readerPort = std::make_unique<test::FakeSerialPort>();
            options.remoteTimings.pollMs = 100;
        }
        window = std::make_unique<gui::TfrmMain>(std::move(options));
        EXPECT_TRUE(test::showAndWaitForPorts(*window));
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        if (link == Link::Usb) {
            click("btnReadConf");
            return;
        }
        auto* remote = w<QRadioButton>("rbtn_Remote");
        QTest::mouseClick(remote, Qt::LeftButton, {}, QPoint(8, remote->height() / 2));
        typeInto("meRemoteServerIP", QStringLiteral("127000000001"));
        typeInto("seRemoteServerPort", QString::number(station.port()));
        typeInto("seNumPPK", QStringLiteral("1201"));
        typeInto("edPwd", QStringLiteral("482913"));
        // The users arrive hidden; the zones give their groups for the users' write.
        page(Page::Zones);
        click("btnReadConf");
        page(Page::Users);
        click("btnReadConf");
    }

    template <typename W> W* w(const char* name) { return test::find<W>(*window, name); }
    bool idle() { return window->state().commandsEnabled; }
    void click(const char* button) {
        QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton);
        EXPECT_TRUE(test::waitFor([this] { return idle(); }));
    }
    void page(Page p) {
        auto* tabs = w<QTabWidget>("pcConf");
        if (tabs->currentIndex() != int(p))
            test::clickTab(tabs, int(p));
    }
    void typeInto(const char* field, const QString& text) {
        QWidget* widget = w<QWidget>(field);
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
        test::clearField();
        test::typeKeys(text);
    }
    // A click on a control outside the grids that changes nothing: the port list picked again, or
    // the panel number's field.
    void clickOtherControl() {
        if (link == Link::Station) {
            QWidget* number = w<QWidget>("seNumPPK");
            QTest::mouseClick(number, Qt::LeftButton, {}, QPoint(4, number->height() / 2));
            QApplication::processEvents();
            return;
        }
        auto* ports = w<QComboBox>("ComComboBox1");
        QTest::mouseClick(ports, Qt::LeftButton);
        QAbstractItemView* list = ports->view();
        ASSERT_TRUE(test::waitFor([list] { return list->isVisible(); }));
        test::pressKey(Qt::Key_Escape);
        ASSERT_TRUE(test::waitFor([list] { return !list->isVisible(); }));
        // The desktop hands the activation back from the closed list to the window.
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    Link link;
    sim::PanelSim panel;
    sim::StationSim station;
    test::ModalShell shell;
    std::unique_ptr<gui::TfrmMain> window;
};

enum class Kind { Group, Password, HiddenPassword, KeyCode };
enum class Leave { Enter, Tab, Down, SameColumn, OtherColumn, OtherControl, Button, Shortcut, PageChange };

const char* name(Leave leave) {
    switch (leave) {
    case Leave::Enter:
        return "Enter";
    case Leave::Tab:
        return "Tab";
    case Leave::Down:
        return "arrow down";
    case Leave::SameColumn:
        return "click in the same column";
    case Leave::OtherColumn:
        return "click in another column";
    case Leave::OtherControl:
        return "click on another control";
    case Leave::Button:
        return "the write button";
    case Leave::Shortcut:
        return "Control+D";
    case Leave::PageChange:
        return "another page";
    }
    return "?";
}

constexpr Leave kLeaves[] = {Leave::Enter,      Leave::Tab,         Leave::Down,
                             Leave::SameColumn, Leave::OtherColumn, Leave::OtherControl,
                             Leave::Button,     Leave::Shortcut,    Leave::PageChange};

struct Typing {
    // Keys typed into the emptied cell (nullptr: the cell is only visited, nothing is typed).
    const char* typed;
    // What the cell holds while it is edited, blanks included; "=": what it held before.
    const char* shown;
    // What it holds once the grid has brought it into shape; "=": what it held before.
    const char* shaped;
    // Whether a write of the cell as shown goes through (a shortcut takes the cells as they stand).
    bool writable;
    // The box that shaping it brings up, if any.
    const char* message = nullptr;
};

struct KindCases {
    Kind kind;
    std::vector<Typing> typings;
};

const KindCases kKinds[] = {
    {Kind::Group,
     {{"9", "9", "=", false},
      {"0", "0", "=", false},
      {"2", "2", "2", true},
      {"", " ", "=", false},
      {nullptr, "=", "=", true}}},
    {Kind::Password,
     {{"12", "12  ", "1200", false},
      {"5678", "5678", "5678", true},
      {"", "    ", "0000", false},
      {"7", "7   ", "7000", false},
      {nullptr, "=", "=", true}}},
    {Kind::HiddenPassword,
     {{nullptr, "****", "****", true},
      {"65", "65  ", "6500", false},
      {nullptr, "****", "****", true},
      {"6543", "6543", "6543", true}}},
    {Kind::KeyCode,
     {{"ABC", "ABC             ", "ABC0000000000000", false},
      {"0000000000000ABC", "0000000000000ABC", "0000000000000000", true, "Невірний формат коду!"},
      {"000000000000abcd", "000000000000ABCD", "000000000000ABCD", true},
      {"", "                ", "0000000000000000", false},
      {"12g4", "124             ", "1240000000000000", false},
      {nullptr, "=", "=", true}}},
};

QString resolve(const char* text, const QString& before) {
    return QString::fromUtf8(text) == U("=") ? before : U(text);
}

// One kind of cell, left by one way: each typing goes into a row of its own (rows 1, 2, 3...),
// the cell and the record are compared after leaving, and a final write must hand the panel (or
// the station) exactly what every cell shows.
void editAndLeave(Kind kind, Leave leave, const std::vector<Typing>& typings) {
    Desk desk(kind == Kind::HiddenPassword ? Desk::Link::Station : Desk::Link::Usb);
    const bool keys = kind == Kind::KeyCode;
    const Page page = keys ? Page::Keys : Page::Users;
    auto* grid = desk.w<QTableWidget>(keys ? "sgSmartButton" : "sgUsers");
    const int column = kind == Kind::Group ? 1 : keys ? 1 : 2;
    const model::PanelConfig& cfg = desk.window->config();
    auto held = [&](int row) -> QString {
        if (keys)
            return cfg.UVICode[size_t(row)];
        return column == 1 ? cfg.users[size_t(row)].group : cfg.users[size_t(row)].password;
    };
    const model::PanelConfig original = desk.link == Desk::Link::Station ? *desk.station.panel(1201) : cfg;

    for (size_t i = 0; i < typings.size(); ++i) {
        const Typing& t = typings[i];
        const int row = int(i + 1);
        SCOPED_TRACE(testing::Message() << "row " << row << " typed \"" << (t.typed ? t.typed : "(nothing)")
                                        << "\", left by " << name(leave));
        desk.page(page);
        const QString before = grid->item(row, column)->text();
        desk.shell.messages.clear();
        const int writesBefore = desk.panel.acceptedWrites();

        test::clickCell(grid, row, column);
        if (t.typed) {
            // The user types once the cell's editor is there: a click on the current cell opens it
            // only after the double-click time, and a box that the click brought up about the cell
            // just left takes the editor away, so the user clicks again.
            auto editing = [grid] {
                QWidget* focus = QApplication::focusWidget();
                return qobject_cast<QLineEdit*>(focus) && grid->isAncestorOf(focus);
            };
            for (int attempt = 0; attempt < 3 && !test::waitFor(editing, 5000); ++attempt)
                test::clickCell(grid, row, column);
            ASSERT_TRUE(editing());
            test::clearField();
            test::typeKeys(U(t.typed));
        }
        const QString shown = resolve(t.shown, before);
        if (t.typed) {
            // What is typed is in the cell and the record at once.
            EXPECT_EQ(grid->item(row, column)->text(), shown);
            EXPECT_EQ(held(row), shown);
        }

        bool shapes = true;
        switch (leave) {
        case Leave::Enter:
            test::pressKey(Qt::Key_Return);
            break;
        case Leave::Tab:
            test::pressKey(Qt::Key_Tab);
            break;
        case Leave::Down:
            test::pressKey(Qt::Key_Down);
            break;
        case Leave::SameColumn:
            test::clickCell(grid, row + 1, column);
            break;
        case Leave::OtherColumn:
            test::clickCell(grid, row + 1, keys ? 0 : 3 - column);
            break;
        case Leave::OtherControl:
            desk.clickOtherControl();
            break;
        case Leave::Button:
            desk.click("btnWriteConf");
            break;
        case Leave::Shortcut:
            // The menu's command leaves the focus in the grid: the cells are written as they stand.
            shapes = false;
            test::pressKey(Qt::Key_D, Qt::ControlModifier);
            EXPECT_TRUE(test::waitFor([&] { return desk.idle(); }));
            break;
        case Leave::PageChange:
            test::clickTab(desk.w<QTabWidget>("pcConf"), int(Page::Zones));
            break;
        }
        const QString expected = shapes ? resolve(t.shaped, before) : shown;
        EXPECT_TRUE(test::waitFor([&] { return grid->item(row, column)->text() == expected; }));
        EXPECT_EQ(grid->item(row, column)->text(), expected);
        EXPECT_EQ(held(row), expected);
        if (shapes) {
            EXPECT_EQ(desk.shell.texts().contains(kBadCode), t.message != nullptr)
                << desk.shell.texts().join(U("|")).toStdString();
        }
        if (leave == Leave::Shortcut && desk.link == Desk::Link::Usb) {
            // Written exactly as shown, or not at all.
            EXPECT_EQ(desk.panel.acceptedWrites() > writesBefore, t.writable);
            if (t.writable) {
                const model::PanelConfig& onPanel = desk.panel.config();
                const QString written = keys          ? onPanel.UVICode[size_t(row)]
                                        : column == 1 ? onPanel.users[size_t(row)].group
                                                      : onPanel.users[size_t(row)].password;
                EXPECT_EQ(written, expected);
            }
        }
        if (!t.typed && kind == Kind::HiddenPassword) {
            EXPECT_EQ(grid->item(row, column)->text(), U("****"));
        }
    }

    // Whatever was left in the cells goes out as shown.
    desk.page(page);
    desk.shell.messages.clear();
    desk.click("btnWriteConf");
    // Over USB the panel is read back after the write and the window says it holds what was written.
    const QStringList done = desk.link == Desk::Link::Station
                                 ? QStringList{U("Конфігурація записана успішно")}
                                 : QStringList{U("Конфігурація записана успішно"), U("Записане перевірено.")};
    EXPECT_EQ(desk.shell.texts().mid(desk.shell.texts().size() - done.size()), done)
        << desk.shell.texts().join(U("|")).toStdString();
    if (desk.link == Desk::Link::Station) {
        const model::PanelConfig stored = *desk.station.panel(1201);
        for (int row = 0; row < model::kUserCount; ++row) {
            const QString cell = grid->item(row, 2)->text();
            EXPECT_EQ(stored.users[size_t(row)].password,
                      cell == U("****") ? original.users[size_t(row)].password : cell)
                << "user " << row + 1;
            EXPECT_EQ(stored.users[size_t(row)].group, grid->item(row, 1)->text()) << "user " << row + 1;
        }
        return;
    }
    const model::PanelConfig& written = desk.panel.config();
    for (int row = 0; row < model::kUserCount; ++row) {
        if (keys) {
            EXPECT_EQ(written.UVICode[size_t(row)], grid->item(row, 1)->text()) << "user " << row + 1;
            continue;
        }
        EXPECT_EQ(written.users[size_t(row)].group, grid->item(row, 1)->text()) << "user " << row + 1;
        EXPECT_EQ(written.users[size_t(row)].password, grid->item(row, 2)->text()) << "user " << row + 1;
    }
}

} // namespace

TEST(GridEditing, GroupCells) {
    for (Leave leave : kLeaves)
        editAndLeave(Kind::Group, leave, kKinds[0].typings);
}

TEST(GridEditing, PasswordCells) {
    for (Leave leave : kLeaves)
        editAndLeave(Kind::Password, leave, kKinds[1].typings);
}

TEST(GridEditing, HiddenPasswordCells) {
    for (Leave leave : kLeaves)
        editAndLeave(Kind::HiddenPassword, leave, kKinds[2].typings);
}

TEST(GridEditing, KeyCodeCells) {
    for (Leave leave : kLeaves)
        editAndLeave(Kind::KeyCode, leave, kKinds[3].typings);
}

TEST(GridEditing, ABadCodeConfirmedWithEnterIsReportedAndTheWindowGoesOn) {
    // The box comes up while the cell's editor handles Enter; closing it once ended the program.
    const struct {
        const char* how;
        std::function<void(QTableWidget*)> leave;
    } ways[] = {
        {"Enter", [](QTableWidget*) { test::pressKey(Qt::Key_Return); }},
        {"a click on the next cell", [](QTableWidget* grid) { test::clickCell(grid, 3, 1); }},
        {"Enter, then a click on the next cell at once",
         [](QTableWidget* grid) {
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
             test::clickCell(grid, 3, 1);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        Desk desk(Desk::Link::Usb);
        desk.page(Page::Keys);
        auto* grid = desk.w<QTableWidget>("sgSmartButton");
        desk.shell.messages.clear();
        test::clickCell(grid, 2, 1);
        test::typeKeys(U("0000000000000ABC"));
        way.leave(grid);
        ASSERT_TRUE(test::waitFor([&] { return desk.shell.boxesClosed == 1; }));
        EXPECT_EQ(desk.shell.texts(), QStringList{kBadCode});
        EXPECT_TRUE(test::waitFor([&] { return grid->item(2, 1)->text() == U("0000000000000000"); }));
        EXPECT_EQ(desk.window->config().UVICode[2], U("0000000000000000"));
        EXPECT_EQ(desk.window->state().mark(Page::Keys), PageMark::Edited);
        // The window goes on: the next code is typed, confirmed and written.
        test::clickCell(grid, 4, 1);
        ASSERT_TRUE(test::waitFor([grid] { return grid->isAncestorOf(QApplication::focusWidget()); }));
        test::typeKeys(U("00ab12cd34ef5678"));
        test::pressKey(Qt::Key_Return);
        desk.click("btnWriteConf");
        EXPECT_EQ(desk.panel.config().UVICode[4], U("00AB12CD34EF5678"));
        EXPECT_EQ(desk.panel.config().UVICode[2], U("0000000000000000"));
    }
}

TEST(GridEditing, BackspaceMarksTheUsersPageAndIsDiscardedInKeyCodes) {
    Desk desk(Desk::Link::Usb);
    desk.page(Page::Users);
    auto* users = desk.w<QTableWidget>("sgUsers");
    test::clickCell(users, 1, 2);
    ASSERT_EQ(desk.window->state().mark(Page::Users), PageMark::Synced);
    test::pressKey(Qt::Key_End);
    test::pressKey(Qt::Key_Backspace);
    EXPECT_EQ(users->item(1, 2)->text(), U("258 "));
    EXPECT_EQ(desk.window->config().users[1].password, U("258 "));
    EXPECT_EQ(desk.window->state().mark(Page::Users), PageMark::Edited);
    test::pressKey(Qt::Key_Return);
    EXPECT_EQ(users->item(1, 2)->text(), U("2580"));

    desk.page(Page::Keys);
    auto* codes = desk.w<QTableWidget>("sgSmartButton");
    ASSERT_EQ(desk.window->state().mark(Page::Keys), PageMark::Synced);
    test::clickCell(codes, 0, 1);
    test::pressKey(Qt::Key_End);
    for (int i = 0; i < 3; ++i)
        test::pressKey(Qt::Key_Backspace);
    EXPECT_EQ(codes->item(0, 1)->text(), U("01A2B3C4D5E6F701"));
    EXPECT_EQ(desk.window->state().mark(Page::Keys), PageMark::Edited);
    // Letters past F and a pasted text do not reach the cell either.
    QApplication::clipboard()->setText(U("GHIJKLMNOPQRSTUV"));
    test::pressKey(Qt::Key_Home);
    test::pressKey(Qt::Key_V, Qt::ControlModifier);
    test::typeKeys(U("xyz"));
    EXPECT_EQ(codes->item(0, 1)->text(), U("01A2B3C4D5E6F701"));
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && codes->isAncestorOf(editor));
    QTest::mouseClick(editor, Qt::RightButton, {}, QPoint(4, editor->height() / 2));
    QContextMenuEvent menuAsked(QContextMenuEvent::Mouse, QPoint(4, editor->height() / 2),
                                editor->mapToGlobal(QPoint(4, editor->height() / 2)));
    QApplication::sendEvent(editor, &menuAsked);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* paste = nullptr;
    for (QAction* a : menu->actions())
        if (a->text().endsWith(QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText)))
            paste = a;
    ASSERT_NE(paste, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(paste).center());
    QApplication::processEvents();
    EXPECT_EQ(desk.window->config().UVICode[0], U("01A2B3C4D5E6F701"));
}

TEST(GridEditing, ClosingOrDestroyingTheWindowWithAnEditorOpen) {
    // "Вихід" from the menu while a code is being typed: the settings are saved, nothing breaks.
    {
        Desk desk(Desk::Link::Usb);
        desk.page(Page::Keys);
        auto* codes = desk.w<QTableWidget>("sgSmartButton");
        test::clickCell(codes, 5, 1);
        test::typeKeys(U("ABC"));
        auto* bar = desk.window->menuBar();
        QMenu* file = desk.w<QMenu>("N1");
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file->menuAction()).center());
        ASSERT_TRUE(test::waitFor([file] { return file->isVisible(); }));
        QAction* exit = desk.window->findChild<QAction*>(QStringLiteral("N2"));
        QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(exit).center());
        EXPECT_TRUE(test::waitFor([&] { return !desk.window->isVisible(); }));
        EXPECT_EQ(desk.window->config().UVICode[5].left(3), U("ABC"));
        EXPECT_TRUE(desk.shell.messages.empty());
        QApplication::processEvents();
        desk.window.reset();
    }
    // Destroyed while a cell is being edited in each grid (the sanitizer build watches the memory).
    for (const char* gridName : {"sgUsers", "sgSmartButton"}) {
        Desk desk(Desk::Link::Usb);
        const bool keys = QLatin1String(gridName) == QLatin1String("sgSmartButton");
        desk.page(keys ? Page::Keys : Page::Users);
        auto* grid = desk.w<QTableWidget>(gridName);
        test::clickCell(grid, 2, keys ? 1 : 2);
        test::typeKeys(U("0000000000000ABC").left(keys ? 16 : 2));
        desk.window.reset();
        QApplication::processEvents();
        EXPECT_TRUE(desk.shell.messages.empty()) << gridName;
    }
}

TEST(GridEditing, EscapeGivesTheCellBackWhatItHeld) {
    Desk desk(Desk::Link::Usb);
    const struct {
        Page page;
        const char* grid;
        int column;
        const char* typed;
    } cases[] = {
        {Page::Users, "sgUsers", 1, "9"},
        {Page::Users, "sgUsers", 2, "12"},
        {Page::Keys, "sgSmartButton", 1, "ABC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        desk.page(c.page);
        auto* grid = desk.w<QTableWidget>(c.grid);
        const QString before = grid->item(1, c.column)->text();
        test::clickCell(grid, 1, c.column);
        test::clearField();
        test::typeKeys(U(c.typed));
        ASSERT_NE(grid->item(1, c.column)->text(), before);
        test::pressKey(Qt::Key_Escape);
        EXPECT_EQ(grid->item(1, c.column)->text(), before);
        EXPECT_FALSE(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        // Leaving the cell afterwards changes nothing either.
        test::clickCell(grid, 3, c.column);
        EXPECT_TRUE(test::waitFor([&] { return grid->item(1, c.column)->text() == before; }));
        desk.click("btnWriteConf");
        const model::PanelConfig& onPanel = desk.panel.config();
        const QString written = c.page == Page::Keys ? onPanel.UVICode[1]
                                : c.column == 1      ? onPanel.users[1].group
                                                     : onPanel.users[1].password;
        EXPECT_EQ(written, before);
    }
}
