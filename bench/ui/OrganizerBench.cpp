// The organizer's share of a sampling tick: both outlines brought up to the lists a tick just built and
// the rows that changed drawn again, as the list window does. The heavy fixture lists its 300
// applications and 60 pools (three running applications expanded: about 400 rows) in the organizer of a
// list window of the default size on a 1920 x 1080 screen, shown offscreen; the "tall" variant makes the
// window tall enough for every row to be on screen at once; with days:0 durations read in seconds ("3:25:07"
// rather than "12.4 days"), so that the running applications' rows change every second. median_ms and p99_ms
// are this thread's CPU time per tick (models_median_ms: the models' part alone); changed_rows and drawn_rows
// are per tick: rows the models said changed and rows' worth of viewport drawn again. BM_OrganizerQuietTick
// is a tick in which nothing shown changed.
//   QT_QPA_PLATFORM=offscreen build/bench/ui/organizer_bench
#include "HeavyEngineRig.h"
#include "support/PaintedArea.h"
#include "ui/organizer/HXItemIcons.h"
#include "ui/organizer/HXItemList.h"
#include "ui/organizer/HXOrganizerModel.h"
#include "ui/organizer/HXOrganizerView.h"

#include <QApplication>
#include <QHeaderView>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr QSize kListWindow(735, 780);

struct Rig : HeavyEngineRig {
    Rig(bool tall, bool days)
        : HeavyEngineRig([days](HXUserDefaults& settings, HXDictionary& fixture) {
              settings.setBool(u"Express Time Intervals As Days", days);
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
        organizer = std::make_unique<HXOrganizerView>(*controller, nullptr, icons);
        // Reloaded by hand below, so that only the organizer's part is timed.
        QObject::disconnect(controller.get(), nullptr, &organizer->applicationModel(), nullptr);
        QObject::disconnect(controller.get(), nullptr, &organizer->poolModel(), nullptr);
        controller->updateLists(HXTrigger::Command);
        reload();
        const int rowHeight = organizer->applicationList().sizeHintForRow(0);
        const int headerHeight = organizer->applicationList().header()->sizeHint().height();
        organizer->resize(tall ? QSize(kListWindow.width(), 2 * headerHeight + (rows() + 8) * rowHeight)
                               : kListWindow);
        organizer->show();
        organizer->setSizes({organizer->height() / 2, organizer->height() / 2});
        for (HXItemList* list : {&organizer->applicationList(), &organizer->poolList()}) {
            list->viewport()->installEventFilter(&painted);
            list->header()->viewport()->installEventFilter(&painted);
            QObject::connect(list->organizerModel(), &QAbstractItemModel::dataChanged,
                             [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                                 changedRows += bottomRight.row() - topLeft.row() + 1;
                             });
        }
        settle();
        rowPixels = static_cast<qint64>(rowHeight) * organizer->applicationList().viewport()->width();
        onScreen = 0;
        for (HXItemList* list : {&organizer->applicationList(), &organizer->poolList()})
            onScreen += list->viewport()->height() / rowHeight;
        changedRows = 0;
        painted.pixels = 0;
    }
    void reload() {
        organizer->applicationModel().reloadAfterTick();
        organizer->poolModel().reloadAfterTick();
    }
    // What the event loop does after the tick: the window's pending updates are drawn (at once: main sets
    // the platform's wait before an update to none).
    static void settle() { QCoreApplication::processEvents(); }
    int rows() const {
        return rowsBelow(organizer->applicationModel(), {}) + rowsBelow(organizer->poolModel(), {});
    }
    static int rowsBelow(const QAbstractItemModel& model, const QModelIndex& parent) {
        int rows = model.rowCount(parent);
        for (int row = 0; row < model.rowCount(parent); ++row)
            rows += rowsBelow(model, model.index(row, 0, parent));
        return rows;
    }

    HXItemIcons icons;
    std::unique_ptr<HXOrganizerView> organizer;
    PaintedArea painted;
    qint64 rowPixels = 1;
    int onScreen = 0;
    qint64 changedRows = 0;
};

// CPU time of this thread: the machine may be busy with other work.
double threadMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void runTicks(benchmark::State& state, Rig& rig, double step) {
    std::vector<double> samples;
    std::vector<double> reloads;
    int tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (step > 0 && ++tick % 10 == 0)
            rig.windows.setFrontProcess(1000 + tick % 40);
        rig.time.setNow(rig.time.now() + step);
        rig.controller->updateLists(HXTrigger::Schedule);
        state.ResumeTiming();
        const double begin = threadMilliseconds();
        rig.reload();
        const double reloaded = threadMilliseconds();
        Rig::settle();
        samples.push_back(threadMilliseconds() - begin);
        reloads.push_back(reloaded - begin);
    }
    std::sort(reloads.begin(), reloads.end());
    state.counters["models_median_ms"] = reloads[reloads.size() / 2];
    const auto ticks = static_cast<double>(samples.size());
    state.counters["rows"] = rig.rows();
    state.counters["rows_on_screen"] = rig.onScreen;
    reportPercentiles(state, samples);
    state.counters["changed_rows"] = static_cast<double>(rig.changedRows) / ticks;
    state.counters["drawn_rows"] = static_cast<double>(rig.painted.pixels) / rig.rowPixels / ticks;
}

void BM_OrganizerShareOfATick(benchmark::State& state) {
    Rig rig(state.range(0) != 0, state.range(1) != 0);
    runTicks(state, rig, 0.5);
}
BENCHMARK(BM_OrganizerShareOfATick)
    ->ArgNames({"tall", "days"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(400);

// The lists built again with nothing new to show.
void BM_OrganizerQuietTick(benchmark::State& state) {
    Rig rig(false, true);
    runTicks(state, rig, 0);
}
BENCHMARK(BM_OrganizerQuietTick)->Unit(benchmark::kMillisecond)->Iterations(400);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
