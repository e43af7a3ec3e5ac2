// The sampling tick, saving, loading and undo snapshots on a configuration like three years of heavy use,
// with a fake window system showing 40 running applications and 200 windows.
#include "HeavyEngineRig.h"

#include <chrono>
#include <vector>

namespace {

struct Rig : HeavyEngineRig {
    explicit Rig(bool showInactive)
        : HeavyEngineRig([showInactive](HXUserDefaults& settings, HXDictionary&) {
              settings.setBool(u"Show Inactive Applications", showInactive);
              settings.setBool(u"Show Inactive Pools", showInactive);
          }) {
        controller->updateLists(HXTrigger::Command);
    }
};

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
