// The two links as the user meets them, measured over the real transports: a USB read through the
// Qt serial port from the simulated panel on a pty, and the spacing of the first poll after the
// station accepted a remote read's query (libcurl against the simulated station on loopback).
// Figures only: the tests never judge speed.
#include "remote/CurlHttpClient.h"
#include "remote/RemoteCommands.h"
#include "rules/RulesSupport.h"
#include "sim/PanelSim.h"
#include "sim/PtyClient.h"
#include "sim/StationSim.h"
#include "support/RandomConfig.h"
#include "usb/CommandWatchdog.h"
#include "usb/QtSerialPort.h"
#include "usb/UsbCommands.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

using namespace zorel8z;

namespace {

class NullUi : public Ui {
  public:
    void showMessage(MsgIcon, const QString&) override { ++count; }
    int count = 0;
};

// From the read command to the decoded frame, for a panel that delivers in the given way.
void usbRead(benchmark::State& state, const sim::PanelFaults& faults) {
    test::ensureApp();
    sim::PanelSim panel;
    panel.setConfig(test::RandomConfig(3).next());
    panel.setSerialNumber(2573);
    panel.setFaults(faults);
    if (!panel.open()) {
        state.SkipWithError("no pty");
        return;
    }
    model::PanelConfig cfg;
    rules::EditorState editor;
    usb::QtSerialPort port;
    NullUi ui;
    usb::CommandWatchdog watchdog(editor, ui);
    usb::UsbCommands commands(cfg, editor, port, ui, watchdog);
    commands.choosePort(panel.devicePath());
    for (auto _ : state) {
        commands.readCommand();
        if (!test::waitUntil([&] { return editor.commandsEnabled; }, 30000) || ui.count > 0) {
            state.SkipWithError("the read failed");
            break;
        }
    }
}

void BM_UsbReadOneBurst(benchmark::State& state) {
    usbRead(state, {});
}
BENCHMARK(BM_UsbReadOneBurst)->Unit(benchmark::kMillisecond)->UseRealTime();

// Cut where the serial number 2573 puts CR LF, 20 ms apart: the frame waits for the rest and the quiet.
void BM_UsbReadSplitAtTrailerCrLf(benchmark::State& state) {
    sim::PanelFaults f;
    f.splitAt = {952};
    f.splitGapMs = 20;
    usbRead(state, f);
}
BENCHMARK(BM_UsbReadSplitAtTrailerCrLf)->Unit(benchmark::kMillisecond)->UseRealTime();

// As fast as a 9600-baud line carries the 999 bytes.
void BM_UsbReadPaced9600(benchmark::State& state) {
    sim::PanelFaults f;
    f.paced = true;
    usbRead(state, f);
}
BENCHMARK(BM_UsbReadPaced9600)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Records when each request starts and ends, by path.
class TimedClient : public remote::HttpClient {
  public:
    QString post(const QString& url, const QByteArray& body, int timeoutMs) override {
        const qint64 started = m_clock.nsecsElapsed();
        const QString reply = m_http.post(url, body, timeoutMs);
        const qint64 ended = m_clock.nsecsElapsed();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_log.push_back({url.section(QLatin1Char('/'), 3), started, ended});
        return reply;
    }
    struct Entry {
        QString path;
        qint64 startNs;
        qint64 endNs;
    };
    std::vector<Entry> log() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_log;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_log.clear();
    }
    TimedClient() { m_clock.start(); }

  private:
    remote::CurlHttpClient m_http;
    QElapsedTimer m_clock;
    std::mutex m_mutex;
    std::vector<Entry> m_log;
};

// From the end of the accepted query to the start of the first poll: the poll timer's 4000 ms, as the
// station sees it. Ten reads; the median and the worst distance from 4000 ms.
void BM_FirstPollSpacing(benchmark::State& state) {
    test::ensureApp();
    sim::StationSim station;
    station.addPanel(57, QStringLiteral("123456"), test::rules::validConfig());
    sim::StationFaults faults;
    faults.noDataReplies = 0;
    station.setFaults(faults);
    if (!station.start()) {
        state.SkipWithError("the station did not start");
        return;
    }
    model::PanelConfig cfg = test::rules::validConfig();
    rules::EditorState editor = test::rules::remoteState(rules::Page::Zones);
    editor.seRemoteServerPort = station.port();
    TimedClient http;
    NullUi ui;
    usb::CommandWatchdog watchdog(editor, ui);
    remote::RemoteCommands commands(cfg, editor, http, ui, watchdog);
    std::vector<double> spacings;
    for (auto _ : state) {
        http.clear();
        commands.readCommand();
        if (!test::waitUntil([&] { return !commands.busy(); }, 30000) || ui.count > 0) {
            state.SkipWithError("the read failed");
            break;
        }
        qint64 queryEnd = -1;
        for (const auto& e : http.log()) {
            if (e.path == QLatin1String("get_config"))
                queryEnd = e.endNs;
            else if (e.path == QLatin1String("read_config") && queryEnd >= 0) {
                spacings.push_back(double(e.startNs - queryEnd) / 1e6);
                break;
            }
        }
    }
    if (spacings.empty())
        return;
    std::sort(spacings.begin(), spacings.end());
    const double median = spacings.size() % 2
                              ? spacings[spacings.size() / 2]
                              : (spacings[spacings.size() / 2 - 1] + spacings[spacings.size() / 2]) / 2;
    double worst = spacings.front();
    for (double s : spacings)
        if (std::abs(s - 4000) > std::abs(worst - 4000))
            worst = s;
    state.counters["median_ms"] = median;
    state.counters["worst_ms"] = worst;
    state.counters["worst_off_ms"] = std::abs(worst - 4000);
    state.counters["min_ms"] = spacings.front();
    state.counters["max_ms"] = spacings.back();
}
BENCHMARK(BM_FirstPollSpacing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
