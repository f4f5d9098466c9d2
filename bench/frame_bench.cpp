// Building a whole write frame, and parsing + unpacking one, for a full random configuration.
#include "model/FrameCodec.h"
#include "model/ConfigFile.h"
#include "support/RandomConfig.h"

#include <benchmark/benchmark.h>

using namespace zorel8z;

namespace {

class NullUi : public Ui {
public:
    void showMessage(MsgIcon, const QString&) override {}
};

const controller::TController ctl;

void BM_BuildFrame(benchmark::State& state) {
    const model::PanelConfig cfg = test::RandomConfig(1).next();
    for (auto _ : state)
        benchmark::DoNotOptimize(model::buildWriteFrame(ctl, cfg));
}
BENCHMARK(BM_BuildFrame);

void BM_ParseAndUnpackFrame(benchmark::State& state) {
    const QString received = model::buildWriteFrame(ctl, test::RandomConfig(1).next()).mid(2);
    NullUi ui;
    for (auto _ : state) {
        model::PanelConfig cfg;
        model::decodeFileText(ctl, received, cfg, ui);
        benchmark::DoNotOptimize(cfg);
    }
}
BENCHMARK(BM_ParseAndUnpackFrame);

void BM_OpenFileContent(benchmark::State& state) {
    const QByteArray content = model::configFileContent(ctl, test::RandomConfig(1).next());
    NullUi ui;
    for (auto _ : state) {
        model::PanelConfig cfg;
        benchmark::DoNotOptimize(model::loadConfigFileContent(ctl, content, cfg, ui));
    }
}
BENCHMARK(BM_OpenFileContent);

} // namespace
