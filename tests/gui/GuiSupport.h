#pragma once

#include "Application.h"
#include "Shell.h"
#include "TfrmMain.h"
#include "support/RecordingUi.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace zorel8z::test {

// Shows `window` and waits, as a person looking at it would, until it is on the screen and its port
// lists hold the system's ports (they are listed off the window's thread, just after the first paint).
inline bool showAndWaitForPorts(gui::TfrmMain& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    return QTest::qWaitFor([&window] { return window.portListsFilled(); }, 10000);
}

// One application for the whole test program, on the offscreen platform, with a settings store of
// its own so that the tests never touch the user's settings.
inline gui::Application& guiApp() {
    static QTemporaryDir configHome;
    static int argc = 1;
    static char name[] = "gui_test";
    static char* argv[] = {name, nullptr};
    static gui::Application* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
        return new gui::Application(argc, argv);
    }();
    return *app;
}

// Generous: bounds how long a broken case may hang, never judges speed.
constexpr int kGuiWaitMs = 30000;

inline bool waitFor(const std::function<bool()>& done, int timeoutMs = kGuiWaitMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Answers the dialogs as a test tells it and records the messages instead of showing boxes.
class TestShell : public gui::Shell {
  public:
    void showMessage(MsgIcon icon, const QString& text) override { m_recorded.showMessage(icon, text); }
    QString askOpenPath(const QString& filter) override {
        lastFilter = filter;
        return openPath;
    }
    QString askSavePath(const QString& filter, const QString& defaultName,
                        const QString& defaultSuffix) override {
        lastFilter = filter;
        lastDefaultName = defaultName;
        lastDefaultSuffix = defaultSuffix;
        return savePath;
    }
    QString askExportPath(const QString& filter) override {
        lastFilter = filter;
        return exportPath;
    }
    bool openDocument(const QString& path, QString& error) override {
        openedDocuments << path;
        error = documentError;
        return documentError.isEmpty();
    }

    QStringList texts() const { return m_recorded.texts(); }

  private:
    RecordingUi m_recorded;

  public:
    std::vector<std::pair<MsgIcon, QString>>& messages = m_recorded.messages;
    QString openPath, savePath, exportPath, documentError;
    QString lastFilter, lastDefaultName, lastDefaultSuffix;
    QStringList openedDocuments;
};

// Records the messages like TestShell, and shows each in a real modal box that a user closes with
// OK: the box's own event loop runs, the focus leaves the window and comes back, as on the desktop.
class ModalShell : public TestShell {
  public:
    void showMessage(MsgIcon icon, const QString& text) override {
        TestShell::showMessage(icon, text);
        QWidget* parent = QApplication::activeWindow();
        QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok, parent);
        QTimer user;
        int looks = 0;
        QObject::connect(&user, &QTimer::timeout, &box, [&box, &looks] {
            // The user reads the box once it has come up and has the focus.
            if (QApplication::activeModalWidget() == &box && (box.isActiveWindow() || ++looks > 50))
                QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
        });
        user.start(20);
        box.exec();
        ++boxesClosed;
        // The desktop gives the activation back to the window the box belonged to.
        if (parent) {
            parent->activateWindow();
            (void)QTest::qWaitForWindowActive(parent);
        }
    }
    int boxesClosed = 0;
};

template <typename W> W* find(QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QString::fromLatin1(name));
    if (!w)
        ADD_FAILURE() << "no control named " << name;
    return w;
}

// Replaces a field's text by typing, as a user selecting it all and typing over it.
inline void typeInto(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->setCursorPosition(0);
    QTest::keyClicks(field, text);
}

// Picks an item of a drop-down list as a user does: opens the list and clicks the item.
inline void pick(QComboBox* box, int index) {
    box->showPopup();
    QAbstractItemView* view = box->view();
    waitFor([view] { return view->isVisible(); }, 2000);
    const QModelIndex item = view->model()->index(index, box->modelColumn(), view->rootIndex());
    view->scrollTo(item);
    const QPoint at = view->visualRect(item).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
    // A list left open would take the next keys.
    if (view->isVisible())
        ADD_FAILURE() << "the list stayed open";
}

// A click at `pos` of `widget` lands where a user's click lands: on the topmost child there (an
// open cell editor over its cell, for one). QTest hands the click to the widget it is given.
inline void clickAt(QWidget* widget, QPoint pos) {
    QWidget* target = widget;
    if (QWidget* child = widget->childAt(pos)) {
        pos = child->mapFrom(widget, pos);
        target = child;
    }
    QTest::mouseClick(target, Qt::LeftButton, {}, pos);
    QApplication::processEvents();
}

// A click on a cell of a grid, as a user's mouse does it.
inline void clickCell(QTableWidget* grid, int row, int column) {
    const QModelIndex index = grid->model()->index(row, column);
    if (!grid->viewport()->rect().contains(grid->visualRect(index).center()))
        ADD_FAILURE() << "cell " << row << "," << column << " is not in sight";
    clickAt(grid->viewport(), grid->visualRect(index).center());
}

// A click on a page's tab.
inline void clickTab(QTabWidget* tabs, int page) {
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(page).center());
    QApplication::processEvents();
}

// Keys go where a user's keys go: to the widget with the focus.
inline void typeKeys(const QString& text) {
    for (QChar c : text) {
        QWidget* target = QApplication::focusWidget();
        if (!target) {
            ADD_FAILURE() << "no widget has the focus";
            return;
        }
        if (c.unicode() > 0xff) {
            // Beyond Latin-1 QTest has no key of its own: the key a Ukrainian layout reports.
            const auto key = Qt::Key(c.toUpper().unicode());
            QTest::sendKeyEvent(QTest::Press, target, key, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, target, key, QString(c), Qt::NoModifier);
        } else {
            QTest::keyClicks(target, QString(c));
        }
    }
    QApplication::processEvents();
}

inline void pressKey(int key, Qt::KeyboardModifiers mods = {}) {
    QWidget* target =
        QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    if (!target) {
        ADD_FAILURE() << "no window to type into";
        return;
    }
    QTest::keyClick(target, Qt::Key(key), mods);
    QApplication::processEvents();
}

// Whatever the focused editor holds goes, as a user selecting it all and deleting it.
inline void clearField() {
    pressKey(Qt::Key_A, Qt::ControlModifier);
    pressKey(Qt::Key_Delete);
    pressKey(Qt::Key_Home);
}

} // namespace zorel8z::test
