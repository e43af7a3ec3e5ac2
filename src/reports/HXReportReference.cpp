#include "reports/HXReportReference.h"

#include "reports/HXEventStream.h"

#include "foundation/HXDictionary.h"

#include <algorithm>
#include <cmath>

using namespace HXKeys;

double HXReportReferenceInterval(const HXArray& reportList, double begin, double end, bool rawInterval) {
    if (rawInterval)
        return std::fabs(end - begin);
    std::vector<HXArrayRef> streams;
    for (const HXValue& v : reportList.values()) {
        const HXDictionaryRef& record = v.toDictionary();
        if (!record)
            continue;
        const QString& path = record->stringForKey(Path);
        const bool pool = path == QStringView(kPoolPath);
        if (!pool &&
            (record->stringForKey(Type) == QStringView(kPoolItemType) || path == QStringView(kWindowPath)))
            continue;
        HXArrayRef log = record->arrayForKey(ActiveLog);
        if (!log || log->isEmpty())
            log = record->arrayForKey(FrontActiveLog);
        if (log && !log->isEmpty())
            streams.push_back(log);
    }
    const HXArrayRef merged = eventStreamByMergingEventStreams(streams, std::min(begin, end));
    double total = 0;
    double open = -1;
    for (const double v : merged->doubles()) {
        if (v > 0) {
            open = v;
        } else if (open > 0) {
            total += std::fabs(v) - open;
            open = -1;
        }
    }
    return total;
}
