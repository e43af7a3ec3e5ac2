#include "filters/HXFilterKeys.h"
#include "filters/HXFilterString.h"
#include "foundation/HXDictionary.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// Titles as a tick sees them: many windows of one application, most passing the delimiter.
std::vector<QString> titles() {
    std::vector<QString> list;
    const QString names[] = {QStringLiteral("quarterly report"), QStringLiteral("notes 2024-05-01"),
                             QStringLiteral("draft of the budget plan"), QStringLiteral("README"),
                             QStringLiteral("meeting minutes (edited)")};
    for (int i = 0; i < 64; ++i) {
        const QString& name = names[i % 5];
        list.push_back(i % 8 == 7 ? name : QStringLiteral("Text Editor \u2014 %1 %2.txt").arg(name).arg(i));
    }
    return list;
}

HXArrayRef typicalFilters() {
    auto record = HXDictionary::create();
    record->setValue(HXFilterKeys::PrefixDelimiter, QStringLiteral(" \u2014 "));
    record->setValue(HXFilterKeys::RegularExpressionQuery, QStringLiteral("^(\\w+) (.*)\\.txt$"));
    record->setValue(HXFilterKeys::RegularExpressionReplacement, QStringLiteral("\\u$1: $2"));
    auto filters = HXArray::create();
    filters->append(record);
    return filters;
}

void runOverTitles(benchmark::State& state, const HXArray* filters) {
    const std::vector<QString> list = titles();
    std::size_t next = 0;
    for (auto _ : state) {
        QString result = HXFilterString(list[next], filters);
        benchmark::DoNotOptimize(result);
        next = (next + 1) % list.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_HXFilterStringTypicalRecord(benchmark::State& state) {
    const HXArrayRef filters = typicalFilters();
    runOverTitles(state, filters.get());
}
BENCHMARK(BM_HXFilterStringTypicalRecord);

void BM_HXFilterStringNoFilter(benchmark::State& state) {
    runOverTitles(state, nullptr);
}
BENCHMARK(BM_HXFilterStringNoFilter);

void BM_HXFilterStringEmptyFilterArray(benchmark::State& state) {
    const HXArrayRef filters = HXArray::create();
    runOverTitles(state, filters.get());
}
BENCHMARK(BM_HXFilterStringEmptyFilterArray);

} // namespace

BENCHMARK_MAIN();
