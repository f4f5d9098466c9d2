// Anchor of the start-up bench: an empty Qt Widgets window of the configurator's size, in a binary
// that links nothing but Qt Widgets. Prints "shown" once its first paint has been handled.
#include "ShownReport.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("empty"));
    window.resize(794, 545);
    bench::reportWhenShown(app, window); // before show(), which may paint at once
    window.show();
    return app.exec();
}
