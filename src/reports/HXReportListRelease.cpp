#include "reports/HXReportListRelease.h"

#include <QThreadPool>

namespace {

// Shorter lists free in less time than handing them over takes.
constexpr qsizetype kRecordsWorthAPoolThread = 256;
constexpr qsizetype kRecordsLookedAt = 8;

// Whether most of a few records spread over the list would be freed with it.
bool recordsAreMostlyItsOwn(const HXArray& list) {
    const std::vector<HXValue>& values = list.values();
    const std::size_t step = values.size() / kRecordsLookedAt;
    int own = 0;
    for (std::size_t i = step / 2; i < values.size(); i += step) {
        const HXValue& value = values[i];
        if (value.isDictionary() && value.toDictionary().use_count() == 1)
            ++own;
    }
    return own * 2 > kRecordsLookedAt;
}

} // namespace

void HXReleaseReportList(HXArrayRef list) {
    if (!list || list.use_count() > 1 || list->count() < kRecordsWorthAPoolThread ||
        !recordsAreMostlyItsOwn(*list))
        return;
    QThreadPool* pool = QThreadPool::globalInstance();
    if (pool->maxThreadCount() < 2)
        return;
    pool->start([held = std::move(list)]() mutable { held.reset(); });
}
