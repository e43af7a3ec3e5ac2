// The sampling tick, saving, loading and undo snapshots on a configuration like three years of heavy use,
// with a fake window system showing 40 running applications and 200 windows.
#include "HeavyFixture.h"
#include "engine/HXMainController.h"
#include "engine/HXRegisteredDefaults.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXUserDefaults.h"
#include "foundation/HXVirtualTime.h"
#include "platform/fake/HXFakeWindowSystem.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

class SilentUserInterface final : public HXUserInterfacePort {
public:
    void bringToFront() override {}
    void beep() override {}
    int runAlert(const HXAlert&) override { return 0; }
    std::optional<QString> runOpenPanel(const HXOpenPanelRequest&) override { return std::nullopt; }
};

struct Rig {
    explicit Rig(bool showInactive) : time(1767225600.0), defaults(QString()) {
        HXRegisterDefaults(defaults);
        defaults.setBool(u"Show Inactive Applications", showInactive);
        defaults.setBool(u"Show Inactive Pools", showInactive);
        configuration = makeHeavyConfiguration();
        const HXDictionaryRef applications = configuration->dictionaryForKey(u"Applications");
        std::vector<HXFakeApplication> running;
        for (int i = 0; i < 40; ++i) {
            const QString key = QStringLiteral("org.example.App%1").arg(i * 7);
            const HXDictionaryRef app = applications->dictionaryForKey(key);
            HXFakeApplication a;
            a.application.bundleIdentifier = key;
            a.application.bundlePath = app->stringForKey(HXKeys::Path);
            a.application.localizedName = app->stringForKey(HXKeys::Name);
            a.application.processIdentifier = 1000 + i;
            const HXDictionaryRef windowsByName = app->dictionaryForKey(HXKeys::WindowsByName);
            for (int w = 0; w < 5; ++w) {
                const QString title = windowsByName && windowsByName->count() > w
                                          ? windowsByName->entries()[static_cast<std::size_t>(w)].key
                                          : QStringLiteral("Window %1").arg(w);
                a.windows.push_back(HXFakeWindow{static_cast<std::uint64_t>(i * 10 + w), title});
            }
            running.push_back(std::move(a));
        }
        windows.setApplications(std::move(running));
        windows.setFrontProcess(1000);
        controller = std::make_unique<HXMainController>(HXEngineServices{
            defaults, time, time, windows, windows, ui, nullptr, nullptr, nullptr, library.path()});
        controller->restoreSettings();
        controller->configurationStore().setConfiguration(configuration);
        controller->updateLists(HXTrigger::Command);
    }

    QTemporaryDir library;
    HXVirtualTime time;
    HXUserDefaults defaults;
    HXFakeWindowSystem windows;
    SilentUserInterface ui;
    HXDictionaryRef configuration;
    std::unique_ptr<HXMainController> controller;
};

void reportPercentiles(benchmark::State& state, std::vector<double>& samples) {
    std::sort(samples.begin(), samples.end());
    if (samples.empty())
        return;
    state.counters["median_ms"] = samples[samples.size() / 2];
    state.counters["p99_ms"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
}

void BM_Tick(benchmark::State& state) {
    Rig rig(state.range(0) != 0);
    std::vector<double> samples;
    int step = 0;
    for (auto _ : state) {
        // Every tenth tick the front application changes, as it does in real use.
        if (++step % 10 == 0)
            rig.windows.setFrontProcess(1000 + step % 40);
        rig.time.setNow(rig.time.now() + 0.5);
        const auto begin = std::chrono::steady_clock::now();
        rig.controller->updateLists(HXTrigger::Schedule);
        samples.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
    }
    reportPercentiles(state, samples);
}
BENCHMARK(BM_Tick)->Arg(0)->Arg(1)->ArgName("showInactive")->Unit(benchmark::kMillisecond)->Iterations(400);

void BM_Save(benchmark::State& state) {
    Rig rig(true);
    for (auto _ : state)
        rig.controller->configurationStore().saveConfiguration({.write = true});
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_Load(benchmark::State& state) {
    Rig rig(true);
    rig.controller->configurationStore().saveConfiguration({.write = true});
    for (auto _ : state) {
        rig.controller->configurationStore().load();
        benchmark::DoNotOptimize(rig.controller->configuration());
    }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_UndoPush(benchmark::State& state) {
    Rig rig(true);
    for (auto _ : state) {
        rig.controller->pushUndoStateAndClearRedoStatesAfterDelay();
        rig.time.runDue();
    }
}
BENCHMARK(BM_UndoPush)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
