// Start-up time to the first shown window and the memory after start: the configurator's window
// against a bare Qt Widgets window, each in fresh processes, alternating, medians reported.
//
//   gui_startup_bench [RUNS]          (default 15 runs of each)
//
// Each child is this program with --child bare|window; it prints the resident set once its window
// has been shown and the event loop has settled. The parent measures from spawn to that line.
#include "TfrmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

int child(int argc, char* argv[], bool bare) {
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (bare) {
        auto* w = new QMainWindow;
        w->setWindowTitle(QStringLiteral("bare"));
        w->resize(794, 524);
        window.reset(w);
    } else {
        window = std::make_unique<zorel8z::gui::TfrmMain>();
    }
    window->show();
    // Once the first paint has been queued and handled.
    QTimer::singleShot(0, &app, [&] {
        std::printf("shown %ld\n", residentKiB());
        std::fflush(stdout);
        app.quit();
    });
    return app.exec();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc >= 3 && QByteArray(argv[1]) == "--child")
        return child(argc, argv, QByteArray(argv[2]) == "bare");

    QCoreApplication app(argc, argv);
    const int runs = argc >= 2 ? std::max(1, QByteArray(argv[1]).toInt()) : 15;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<double> ms[2], kib[2];
    const char* kinds[2] = {"bare", "window"};
    for (int r = 0; r < runs; ++r) {
        for (int k = 0; k < 2; ++k) {
            QProcess p;
            QElapsedTimer clock;
            clock.start();
            p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QString::fromLatin1(kinds[k])});
            if (!p.waitForFinished(60000)) {
                std::fprintf(stderr, "child %s did not finish\n", kinds[k]);
                return 1;
            }
            const QByteArray out = p.readAllStandardOutput();
            const int at = out.indexOf("shown ");
            if (at < 0 || p.exitCode() != 0) {
                std::fprintf(stderr, "child %s failed: %s\n", kinds[k], p.readAllStandardError().constData());
                return 1;
            }
            ms[k].push_back(clock.nsecsElapsed() / 1e6);
            kib[k].push_back(out.mid(at + 6).trimmed().toDouble());
        }
    }
    const double t0 = median(ms[0]), t1 = median(ms[1]);
    const double m0 = median(kib[0]), m1 = median(kib[1]);
    std::printf("platform %s, %d runs each (medians)\n",
                qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? "default" : qgetenv("QT_QPA_PLATFORM").constData(),
                runs);
    std::printf("start to first shown window: bare %.1f ms, configurator %.1f ms, ratio %.2f\n", t0, t1, t1 / t0);
    std::printf("resident memory after start: bare %.0f KiB, configurator %.0f KiB, ratio %.2f\n", m0, m1, m1 / m0);
    return 0;
}
