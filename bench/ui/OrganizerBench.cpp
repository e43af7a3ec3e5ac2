// The organizer's share of a sampling tick: both outlines brought up to the lists a tick just built, on
// the heavy fixture with every application and pool listed (360 top-level rows, three running applications
// expanded: about 390 rows), with a
// tree view attached to each outline as in the list window. median_ms and p99_ms are this thread's CPU
// time per tick. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/ui/organizer_bench
#include "HeavyFixture.h"
#include "engine/HXMainController.h"
#include "engine/HXRegisteredDefaults.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXUserDefaults.h"
#include "foundation/HXVirtualTime.h"
#include "platform/fake/HXFakeWindowSystem.h"
#include "ui/organizer/HXOrganizerModel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <ctime>
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
    Rig() : time(1767225600.0), defaults(QString()) {
        HXRegisterDefaults(defaults);
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
        // Three running applications with a handful of windows show them as well.
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
        windows.setApplications(std::move(running));
        windows.setFrontProcess(1000);
        controller = std::make_unique<HXMainController>(HXEngineServices{
            defaults, time, time, windows, windows, ui, nullptr, nullptr, nullptr, library.path()});
        controller->restoreSettings();
        controller->configurationStore().setConfiguration(configuration);
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

    QTemporaryDir library;
    HXVirtualTime time;
    HXUserDefaults defaults;
    HXFakeWindowSystem windows;
    SilentUserInterface ui;
    HXDictionaryRef configuration;
    std::unique_ptr<HXMainController> controller;
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
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples[samples.size() / 2];
    state.counters["p99_ms"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
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
