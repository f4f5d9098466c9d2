#pragma once

#include <QApplication>
#include <QTimer>

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

} // namespace bench
