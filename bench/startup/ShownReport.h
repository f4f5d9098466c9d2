#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

// The peak resident set so far, in KiB (0 where the system does not say).
inline long peakResidentKiB() {
    long kib = 0;
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::strncmp(line, "VmHWM:", 6) == 0)
                kib = std::atol(line + 6);
        std::fclose(status);
    }
    return kib;
}

// Tells the bench's driver that the window is up: once the window has had its first paint event and
// that paint (the whole window's, flushed to the screen) is over, one line on stdout with the peak
// resident set up to then (what the start needed, before the work a window does once it is up), then
// the program ends. A timer of 0 ms started before exec() fires before the platform has even exposed the
// window, so it would leave the painting out.
inline void reportWhenShown(QApplication& app, QWidget& window) {
    struct FirstPaint : QObject {
        explicit FirstPaint(QApplication& a) : QObject(&a), app(a) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                watched->removeEventFilter(this);
                // Posted from inside the paint, it runs once the paint pass has finished.
                QTimer::singleShot(0, &app, [this] {
                    std::printf("shown %ld\n", peakResidentKiB());
                    std::fflush(stdout);
                    app.quit();
                });
            }
            return false;
        }
        QApplication& app;
    };
    window.installEventFilter(new FirstPaint(app));
}

// The number of widgets of each class in `window`, and their total with the window: the plain anchor
// window is built to match the configurator's.
inline void printWidgetCounts(QWidget& window) {
    QMap<QByteArray, int> classes;
    for (QWidget* w : window.findChildren<QWidget*>())
        ++classes[w->metaObject()->className()];
    int total = 1;
    for (auto it = classes.cbegin(); it != classes.cend(); ++it) {
        std::printf("%5d %s\n", it.value(), it.key().constData());
        total += it.value();
    }
    std::printf("%5d widgets with the window\n", total);
}

// The window's fonts and captions, one a line: "font<TAB>families<TAB>pixel size" for the application's
// font and "tabfont<TAB>pixel size" for the first page control's, then a kind (label, button, group,
// tab, menu, action, head, item) and its text, in the order the window made them.
inline void printTexts(QWidget& window) {
    const QFont font = QApplication::font();
    std::printf("font\t%s\t%d\n", qPrintable(font.families().join(QLatin1Char(','))), font.pixelSize());
    if (auto* bar = window.findChild<QTabBar*>())
        std::printf("tabfont\t%d\n", bar->font().pixelSize());
    auto line = [](const char* kind, const QString& text) {
        if (!text.isEmpty())
            std::printf("%s\t%s\n", kind,
                        qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    };
    for (QObject* o : window.findChildren<QObject*>()) {
        if (auto* label = qobject_cast<QLabel*>(o)) {
            line("label", label->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(o)) {
            line("button", button->text());
        } else if (auto* group = qobject_cast<QGroupBox*>(o)) {
            line("group", group->title());
        } else if (auto* bar = qobject_cast<QTabBar*>(o)) {
            for (int i = 0; i < bar->count(); ++i)
                line("tab", bar->tabText(i));
        } else if (auto* menu = qobject_cast<QMenu*>(o)) {
            line("menu", menu->title());
            for (QAction* action : menu->actions())
                line("action", action->text());
        } else if (auto* table = qobject_cast<QTableWidget*>(o)) {
            for (int i = 0; i < table->columnCount(); ++i)
                if (QTableWidgetItem* head = table->horizontalHeaderItem(i))
                    line("head", head->text());
        } else if (auto* box = qobject_cast<QComboBox*>(o)) {
            for (int i = 0; i < box->count(); ++i)
                line("item", box->itemText(i));
        }
    }
}

} // namespace bench
