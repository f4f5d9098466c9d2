// The configurator's window started as its program starts it, for the start-up bench. Prints "shown"
// once the first paint has been handled; with --count it prints the number of widgets of each class
// instead (the plain anchor window is built to match), with --texts the window's fonts and captions
// (which the plain anchor can take on, see plain_window.cpp).
#include "ShownReport.h"

#include "Application.h"
#include "SingleInstance.h"
#include "TfrmMain.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    zorel8z::gui::Application app(argc, argv);
    const bool count = app.arguments().contains(QStringLiteral("--count"));
    const bool texts = app.arguments().contains(QStringLiteral("--texts"));
    zorel8z::gui::SingleInstance guard;
    if (!guard.claim(zorel8z::gui::SingleInstance::Listen::Later))
        return 1;
    zorel8z::gui::Application::useProgramFont();
    zorel8z::gui::TfrmMain window;
    if (texts) {
        bench::printTexts(window);
        return 0;
    }
    QObject::connect(&window, &zorel8z::gui::TfrmMain::firstPainted, &guard,
                     &zorel8z::gui::SingleInstance::listen);
    bench::reportWhenShown(app, window); // before show(), which may paint at once
    window.show();
    if (count) {
        bench::printWidgetCounts(window);
        return 0;
    }
    return app.exec();
}
