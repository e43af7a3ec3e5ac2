// The live report list for Today, This Month and This Year (first asked, and asked again as at every tick),
// the export of all data and reading that file back, on three years of heavy use. "--export-csv=PATH" also
// writes the exported file for comparisons with other readers (compare_python_csv.py).
#include "HeavyFixture.h"

#include "reports/HXCSVExport.h"
#include "reports/HXLiveReport.h"
#include "reports/HXReportInterval.h"
#include "reports/HXReportListRelease.h"
#include "reports/HXReportSnapshot.h"
#include "reports/cli/HXCommandLineDefaults.h"
#include "reports/cli/HXStoredReportSource.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXUserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QThreadPool>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <thread>
#include <utility>

namespace {

struct Fixture {
    HXDictionaryRef configuration;
    std::unique_ptr<HXUserDefaults> defaults;
    std::unique_ptr<HXStoredReportSource> source;
    double first = 0;
    double last = 0;
    QByteArray exported;
};

Fixture& fixture() {
    static Fixture* const f = [] {
        auto* made = new Fixture;
        made->configuration = makeHeavyConfiguration();
        // Settings that are never written: registered defaults only, plus the total columns.
        made->defaults = std::make_unique<HXUserDefaults>(
            QDir::tempPath() + QStringLiteral("/qd-bench-none.plist"), HXUserDefaults::ReadOnly{});
        made->defaults->registerDefaults(*HXReportsRegisteredDefaults());
        made->defaults->setBool(u"Export Column: Total", true);
        made->source = std::make_unique<HXStoredReportSource>(made->configuration, *made->defaults);
        made->first = firstTimestamp(made->configuration.get());
        made->last = made->configuration->timeIntervalForKey(u"Last Timestamp");
        return made;
    }();
    return *f;
}

void liveReport(benchmark::State& state, int kind, int content) {
    Fixture& f = fixture();
    f.defaults->setInteger(u"Live Report Content (1252)", content);
    double begin = f.first;
    HXGetReportIntervalSpecificBeginTimestamp(&begin, kind, f.last - 1, f.first, f.last, 0);
    qsizetype records = 0;
    for (auto _ : state) {
        HXArrayRef list = eventLogsClippedBetweenTimestamp(*f.source, begin, f.last);
        records = list->count();
        benchmark::DoNotOptimize(list);
        // As the report view lets go of the list it showed before. The next list must not find this one
        // still held (its records would come back from their memos), so it is waited for untimed; not
        // with waitForDone, which ends the pool's threads and with them their clipped-log storage.
        HXReleaseReportList(std::move(list));
        state.PauseTiming();
        while (QThreadPool::globalInstance()->activeThreadCount() > 0)
            std::this_thread::yield();
        state.ResumeTiming();
    }
    state.counters["records"] = static_cast<double>(records);
}

void BM_LiveReport(benchmark::State& state) {
    liveReport(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}

// As the live report's view asks at every sampling tick: it holds the last list while it asks for the
// next, so records whose logs did not change come back as they were.
void BM_LiveReportAgain(benchmark::State& state) {
    Fixture& f = fixture();
    f.defaults->setInteger(u"Live Report Content (1252)", state.range(1));
    double begin = f.first;
    HXGetReportIntervalSpecificBeginTimestamp(&begin, static_cast<int>(state.range(0)), f.last - 1, f.first,
                                              f.last, 0);
    HXArrayRef previous = eventLogsClippedBetweenTimestamp(*f.source, begin, f.last);
    for (auto _ : state) {
        HXArrayRef list = eventLogsClippedBetweenTimestamp(*f.source, begin, f.last);
        benchmark::DoNotOptimize(list);
        HXReleaseReportList(std::exchange(previous, std::move(list)));
    }
    state.counters["records"] = static_cast<double>(previous->count());
}
// Kinds 1 (Today), 3 (This Month), 4 (This Year); content 0 (organizer, with events), 2 (all items, with
// events) and 3 (all items, with or without events).
BENCHMARK(BM_LiveReport)
    ->ArgsProduct({{HXReportIntervalToday, HXReportIntervalThisMonth, HXReportIntervalThisYear}, {0, 2, 3}})
    ->ArgNames({"kind", "content"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_LiveReportAgain)
    ->ArgsProduct({{HXReportIntervalThisYear}, {0, 2, 3}})
    ->ArgNames({"kind", "content"})
    ->Unit(benchmark::kMillisecond);

const QByteArray& exportedFile();

void BM_ExportAllData(benchmark::State& state) {
    Fixture& f = fixture();
    qsizetype bytes = 0;
    for (auto _ : state) {
        const std::optional<QByteArray> data = exportPoolAsCSVData(*f.source, nullptr, f.first, f.last);
        bytes = data->size();
        benchmark::DoNotOptimize(data);
    }
    const qsizetype rows = exportedFile().count('\n') - 1;
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
}
BENCHMARK(BM_ExportAllData)->Unit(benchmark::kMillisecond)->MinTime(2);

const QByteArray& exportedFile() {
    Fixture& f = fixture();
    if (f.exported.isEmpty())
        f.exported = *exportPoolAsCSVData(*f.source, nullptr, f.first, f.last);
    return f.exported;
}

void BM_ReadExportBack(benchmark::State& state) {
    const QByteArray& data = exportedFile();
    for (auto _ : state) {
        QStringList errors;
        const HXDictionaryRef snapshot = reportSnapshotConfigurationFromCSVData(
            data, QStringLiteral("/bench.csv"), &errors, QStringLiteral(","));
        if (!snapshot)
            state.SkipWithError("the export did not read back");
        benchmark::DoNotOptimize(snapshot);
    }
    state.counters["MB"] = static_cast<double>(data.size()) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * data.size());
}
BENCHMARK(BM_ReadExportBack)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        constexpr const char* kExport = "--export-csv=";
        if (std::strncmp(argv[i], kExport, std::strlen(kExport)) == 0) {
            if (!HXAtomicFile::write(QString::fromLocal8Bit(argv[i] + std::strlen(kExport)), exportedFile()))
                return 1;
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            --i;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
