// The report view's costs on the heavy fixture: drawing 300 rows into a 1200x900 picture, and a view
// update of the live report (report list, bounds and reference interval) for "This Year".
#include "HeavyFixture.h"

#include "reports/HXLiveReport.h"
#include "reports/HXLiveReportDelegate.h"
#include "reports/HXReportController.h"
#include "reports/HXReportInterval.h"
#include "reports/HXReportViewContent.h"
#include "reports/cli/HXCommandLineDefaults.h"
#include "reports/cli/HXStoredReportSource.h"
#include "reports/widgets/HXReportDrawing.h"

#include "foundation/HXClock.h"
#include "foundation/HXUserDefaults.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The clock of the fixture's last moment.
class FixedClock final : public HXClock {
public:
    explicit FixedClock(double now) : m_now(now) {}
    double now() const override { return m_now; }

private:
    double m_now;
};

struct Fixture {
    HXDictionaryRef configuration;
    std::unique_ptr<HXUserDefaults> defaults;
    std::unique_ptr<HXStoredReportSource> source;
    std::unique_ptr<HXLiveReportDelegate> delegate;
    std::unique_ptr<FixedClock> clock;
    double first = 0;
    double last = 0;
};

Fixture& fixture() {
    static Fixture* const f = [] {
        auto* made = new Fixture;
        made->configuration = makeHeavyConfiguration();
        made->defaults = std::make_unique<HXUserDefaults>(
            QDir::tempPath() + QStringLiteral("/qd-bench-none.plist"), HXUserDefaults::ReadOnly{});
        made->defaults->registerDefaults(*HXReportsRegisteredDefaults());
        HXReportSettings::registerLiveReportDefaults(*made->defaults, QStringLiteral("Default"));
        made->source = std::make_unique<HXStoredReportSource>(made->configuration, *made->defaults);
        made->delegate = std::make_unique<HXLiveReportDelegate>(*made->source);
        made->first = firstTimestamp(made->configuration.get());
        made->last = made->configuration->timeIntervalForKey(u"Last Timestamp");
        // Just before the last moment: "This Year" is the fixture's last year.
        made->clock = std::make_unique<FixedClock>(made->last - 1);
        return made;
    }();
    return *f;
}

// 300 rows of the last year: applications with their windows and pools, as the live report lists them.
void BM_DrawReport300Rows(benchmark::State& state) {
    Fixture& f = fixture();
    f.defaults->setInteger(u"Live Report Content (1252)", 2);
    double begin = f.first;
    HXGetReportIntervalSpecificBeginTimestamp(&begin, HXReportIntervalThisYear, f.last - 1, f.first, f.last,
                                              0);
    const HXArrayRef all = eventLogsClippedBetweenTimestamp(*f.source, begin, f.last);
    HXReportViewContent content;
    content.begin = begin;
    content.end = f.last;
    content.first = f.first;
    content.last = f.last;
    for (qsizetype i = 0; i < all->count() && content.list->count() < 300; ++i)
        content.list->append(all->at(i));
    content.hasApplications = true;
    const HXReportDrawingStyle style = HXReportDrawingStyle::fromDefaults(*f.defaults);
    QImage image(1200, 900, QImage::Format_ARGB32_Premultiplied);
    const QRectF bounds(0, 0, 1200, 900);
    qsizetype bars = 0;
    for (const HXValue& v : content.list->values()) {
        for (const HXKey key : {HXKeys::ActiveLog, HXKeys::FrontActiveLog}) {
            if (const HXArray* log = v.toDictionary()->arrayPointerForKey(key))
                bars += log->count() / 2;
        }
    }
    for (auto _ : state) {
        QPainter painter(&image);
        drawReportInBounds(painter, content, style, HXReportPointerState(), bounds, bounds, true,
                           state.range(0) != 0, false);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows"] = static_cast<double>(content.rowCount());
    state.counters["stretches"] = static_cast<double>(bars);
}
BENCHMARK(BM_DrawReport300Rows)->Arg(1)->Arg(0)->ArgName("labels")->Unit(benchmark::kMillisecond);

// What the live report does at every sampling tick: its list, bounds and reference interval.
void BM_LiveReportViewUpdate(benchmark::State& state) {
    Fixture& f = fixture();
    f.defaults->setInteger(u"Live Report Content (1252)", state.range(0));
    HXReportController controller(HXReportSettings(QStringLiteral("Default"), *f.defaults), f.delegate.get(),
                                  *f.clock, *f.defaults, true);
    controller.selectInterval(HXReportIntervalThisYear);
    qsizetype rows = 0;
    // The view keeps its last content while it makes the next.
    HXReportViewContent content = HXReportViewContentFromController(controller);
    for (auto _ : state) {
        HXReportViewContent next = HXReportViewContentFromController(controller, &content);
        rows = next.rowCount();
        benchmark::DoNotOptimize(next.reference);
        content = std::move(next);
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_LiveReportViewUpdate)->Arg(0)->Arg(2)->ArgName("content")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
