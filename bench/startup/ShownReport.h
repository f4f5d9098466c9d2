#pragma once

#include <QApplication>
#include <QMap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace bench {

// Tells the bench's driver that the window is up: once the first paint has been queued and handled,
// one line on stdout, then the program ends.
inline void reportWhenShown(QApplication& app) {
    QTimer::singleShot(0, &app, [&app] {
        std::printf("shown\n");
        std::fflush(stdout);
        app.quit();
    });
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
