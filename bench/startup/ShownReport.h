#pragma once

#include <QApplication>
#include <QEvent>
#include <QMap>
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
// the program ends. A timer of 0 ms started before exec() fires before the platform has even exposed the window,
// so it would leave the painting out.
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

} // namespace bench
