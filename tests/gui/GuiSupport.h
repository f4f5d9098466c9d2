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
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace zorel8z::test {

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
    QString askSavePath(const QString& filter, const QString& defaultName, const QString& defaultSuffix) override {
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

template <typename W>
W* find(QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QString::fromLatin1(name));
    if (!w)
        ADD_FAILURE() << "no control named " << name;
    return w;
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

} // namespace zorel8z::test
