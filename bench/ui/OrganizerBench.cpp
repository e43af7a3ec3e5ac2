// The organizer's share of a sampling tick: both outlines brought up to the lists a tick just built, on
// the heavy fixture with every application and pool listed (360 top-level rows, three running applications
// expanded: about 390 rows), with a
// tree view attached to each outline as in the list window. median_ms and p99_ms are this thread's CPU
// time per tick. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/ui/organizer_bench
#include "HeavyEngineRig.h"
#include "ui/organizer/HXOrganizerModel.h"

#include <QApplication>
#include <QTreeView>

#include <ctime>
#include <memory>
#include <vector>

namespace {

struct Rig : HeavyEngineRig {
    Rig()
        : HeavyEngineRig([](HXUserDefaults&, HXDictionary& fixture) {
              // Three running applications with a handful of windows show them as well.
              const HXDictionaryRef applications = fixture.dictionaryForKey(u"Applications");
              int expanded = 0;
              for (int i = 0; i < 40 && expanded < 3; ++i) {
                  const HXDictionaryRef app =
                      applications->dictionaryForKey(QStringLiteral("org.example.App%1").arg(i * 7));
                  const HXDictionaryRef windowsByName = app->dictionaryForKey(HXKeys::WindowsByName);
                  if (windowsByName && windowsByName->count() >= 5 && windowsByName->count() <= 12) {
                      app->setBool(true, HXKeys::Expanded);
                      ++expanded;
                  }
              }
          }) {
        applicationsModel =
            std::make_unique<HXOrganizerModel>(*controller, HXOrganizerModel::Outline::Applications, nullptr);
        poolsModel =
            std::make_unique<HXOrganizerModel>(*controller, HXOrganizerModel::Outline::Pools, nullptr);
        // Reloaded by hand below, so that only the organizer's part is timed.
        QObject::disconnect(controller.get(), nullptr, applicationsModel.get(), nullptr);
        QObject::disconnect(controller.get(), nullptr, poolsModel.get(), nullptr);
        applicationsView.setModel(applicationsModel.get());
        poolsView.setModel(poolsModel.get());
        controller->updateLists(HXTrigger::Command);
        reload();
    }
    void reload() {
        applicationsModel->reload();
        poolsModel->reload();
    }

    std::unique_ptr<HXOrganizerModel> applicationsModel;
    std::unique_ptr<HXOrganizerModel> poolsModel;
    QTreeView applicationsView;
    QTreeView poolsView;
};

int rowsBelow(const QAbstractItemModel& model, const QModelIndex& parent) {
    int rows = model.rowCount(parent);
    for (int row = 0; row < model.rowCount(parent); ++row)
        rows += rowsBelow(model, model.index(row, 0, parent));
    return rows;
}

// CPU time of this thread: the machine may be busy with other work.
double threadMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void BM_OrganizerShareOfATick(benchmark::State& state) {
    Rig rig;
    state.counters["rows"] = rowsBelow(*rig.applicationsModel, {}) + rowsBelow(*rig.poolsModel, {});
    std::vector<double> samples;
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (++step % 10 == 0)
            rig.windows.setFrontProcess(1000 + step % 40);
        rig.time.setNow(rig.time.now() + 0.5);
        rig.controller->updateLists(HXTrigger::Schedule);
        state.ResumeTiming();
        const double begin = threadMilliseconds();
        rig.reload();
        samples.push_back(threadMilliseconds() - begin);
    }
    reportPercentiles(state, samples);
}
BENCHMARK(BM_OrganizerShareOfATick)->Unit(benchmark::kMillisecond)->Iterations(400);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
