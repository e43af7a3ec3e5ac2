#include "AllocationCounter.h"
#include "HeavyFixture.h"

#include "foundation/HXPropertyList.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

// Encoding and decoding the heavy configuration in both formats. QD_FIXTURE_SCALE shrinks or grows it.

namespace {

const HXValue& fixture() {
    static const HXValue configuration = [] {
        HeavyFixtureOptions options;
        if (const char* scale = std::getenv("QD_FIXTURE_SCALE"))
            options.scale = std::atof(scale);
        return HXValue(makeHeavyConfiguration(options));
    }();
    return configuration;
}

const QByteArray& encoded(HXPropertyListFormat format) {
    static const QByteArray binary = HXPropertyList::writeBinary(fixture()).value_or(QByteArray());
    static const QByteArray xml = HXPropertyList::writeXML(fixture()).value_or(QByteArray());
    return format == HXPropertyListFormat::Binary ? binary : xml;
}

void encode(benchmark::State& state, HXPropertyListFormat format) {
    const HXValue& configuration = fixture();
    qsizetype size = 0;
    for (auto _ : state) {
        const std::optional<QByteArray> data = format == HXPropertyListFormat::Binary
                                                   ? HXPropertyList::writeBinary(configuration)
                                                   : HXPropertyList::writeXML(configuration);
        if (!data) {
            state.SkipWithError("cannot encode");
            return;
        }
        size = data->size();
        benchmark::DoNotOptimize(data->constData());
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["MB"] = static_cast<double>(size) / 1e6;
}

void decode(benchmark::State& state, HXPropertyListFormat format) {
    const QByteArray& data = encoded(format);
    const auto numbers = static_cast<double>(eventLogNumberCount(fixture()));
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        const std::uint64_t before = allocationCount();
        HXPropertyListResult result = format == HXPropertyListFormat::Binary
                                          ? HXPropertyList::readBinary(data)
                                          : HXPropertyList::readXML(data);
        allocations = allocationCount() - before;
        if (!result.ok()) {
            state.SkipWithError("cannot decode");
            return;
        }
        benchmark::DoNotOptimize(result.value);
        // Freeing the tree is part of the cost of a load.
        state.PauseTiming();
        result = {};
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * data.size());
    state.counters["MB"] = static_cast<double>(data.size()) / 1e6;
    state.counters["numbers"] = numbers;
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["allocations/number"] = static_cast<double>(allocations) / numbers;
}

} // namespace

BENCHMARK_CAPTURE(encode, binary, HXPropertyListFormat::Binary)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_CAPTURE(decode, binary, HXPropertyListFormat::Binary)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_CAPTURE(encode, xml, HXPropertyListFormat::XML)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, xml, HXPropertyListFormat::XML)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
