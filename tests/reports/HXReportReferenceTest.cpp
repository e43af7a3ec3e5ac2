// The reference interval of percentages: the union of every application's and pool's activity, checked
// against merging the streams one by one, for clips of well-kept and of malformed stored logs.
#include "reports/HXReportReference.h"
#include "reports/HXClippedEventLog.h"
#include "reports/HXEventStream.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

double mergedTotal(const std::vector<HXArrayRef>& streams, double timestamp) {
    const HXArrayRef merged = eventStreamByMergingEventStreams(streams, timestamp);
    double total = 0;
    double open = -1;
    for (const double v : merged->doubles()) {
        if (v > 0) {
            open = v;
        } else if (open > 0) {
            total += -v - open;
            open = -1;
        }
    }
    return total;
}

HXDictionaryRef recordWith(const HXArrayRef& log, const QString& path = QString()) {
    HXDictionaryRef r = makeDictionary({{QStringLiteral("Active Log"), log}});
    if (!path.isEmpty())
        r->setValue(HXKeys::Path, path);
    return r;
}

} // namespace

TEST(HXReportReference, UnionOfActivityMatchesTheMergedStreams) {
    std::mt19937_64 random(11);
    for (int round = 0; round < 200; ++round) {
        const int streams = 1 + static_cast<int>(random() % 12);
        const bool malformed = round % 4 == 3;
        std::vector<HXArrayRef> logs;
        HXArrayRef list = HXArray::create();
        for (int s = 0; s < streams; ++s) {
            std::vector<double> values;
            double t = 1000 + static_cast<double>(random() % 50);
            const int pairs = static_cast<int>(random() % 20);
            for (int p = 0; p < pairs; ++p) {
                const double b = t + static_cast<double>(random() % 30);
                const double e = b + static_cast<double>(random() % 40);
                values.push_back(b);
                values.push_back(-e);
                t = e;
            }
            if (malformed && !values.empty()) {
                // A repeated begin, an end first, a value out of order.
                values.insert(values.begin(), -(values.front() - 5));
                values.push_back(t + 7);
                values.push_back(t + 3);
            }
            // As the report list holds it: clipped to the report's interval.
            HXArrayRef log =
                eventStreamClippedBetweenTimestamp(*HXArray::createWithDoubles(values), 1000, 9000);
            logs.push_back(log);
            list->append(recordWith(log));
        }
        // Windows do not count.
        list->append(recordWith(makeLog({1.0, -99999.0}), QStringLiteral("_Window")));
        EXPECT_NEAR(HXReportReferenceInterval(*list, 1000, 9000, false), mergedTotal(logs, 1000), 1e-6)
            << "round " << round;
    }
}

namespace {

HXArrayRef clippedList(const std::vector<HXDictionaryRef>& sources, double a, double b) {
    HXArrayRef list = HXArray::create();
    for (const HXDictionaryRef& s : sources) {
        bool events = false;
        HXDictionaryRef clipped = eventLogClippedBetweenTimestamp(s, a, b, &events);
        if (events)
            list->append(clipped);
    }
    return list;
}

} // namespace

TEST(HXReportReference, KeptUnionGrowsWithTheLogsAndStartsAfreshWhenTheListChanges) {
    std::mt19937_64 random(5);
    std::vector<HXDictionaryRef> sources;
    for (int s = 0; s < 8; ++s) {
        std::vector<double> values;
        double t = 1000 + s * 13;
        for (int p = 0; p < 10; ++p) {
            const double b = t + static_cast<double>(random() % 50);
            const double e = b + static_cast<double>(1 + random() % 60);
            values.insert(values.end(), {b, -e});
            t = e;
        }
        // Half of them still run.
        if (s % 2 == 0)
            values.push_back(t + 5);
        sources.push_back(
            makeDictionary({{QStringLiteral("Active Log"), HXArray::createWithDoubles(values)}}));
    }
    double end = 2000;
    HXArrayRef list = clippedList(sources, 1000, end);
    auto kept = HXReportActivityUnion::make(*list, 1000, end, nullptr);
    EXPECT_NEAR(kept->length(), HXReportReferenceInterval(*list, 1000, end, false), 1e-9);
    for (int tick = 0; tick < 30; ++tick) {
        end += 10;
        // Now and then an item stops, or starts again.
        HXArray& log =
            *sources[static_cast<std::size_t>(random() % sources.size())]->arrayForKey(u"Active Log");
        if (log.numberAt(log.count() - 1) > 0)
            log.appendDouble(-(end - 3));
        else
            log.appendDouble(end - 2);
        HXArrayRef next = clippedList(sources, 1000, end);
        kept = HXReportActivityUnion::make(*next, 1000, end, kept.get());
        ASSERT_NEAR(kept->length(), HXReportReferenceInterval(*next, 1000, end, false), 1e-9)
            << "tick " << tick;
    }
    // An item gone from the list, a new one with old activity, another begin: all counted afresh.
    std::vector<HXDictionaryRef> fewer(sources.begin() + 1, sources.end());
    HXArrayRef smaller = clippedList(fewer, 1000, end);
    EXPECT_NEAR(HXReportActivityUnion::make(*smaller, 1000, end, kept.get())->length(),
                HXReportReferenceInterval(*smaller, 1000, end, false), 1e-9);
    sources.push_back(makeDictionary({{QStringLiteral("Active Log"), makeLog({1001, -1999})}}));
    HXArrayRef more = clippedList(sources, 1000, end);
    EXPECT_NEAR(HXReportActivityUnion::make(*more, 1000, end, kept.get())->length(),
                HXReportReferenceInterval(*more, 1000, end, false), 1e-9);
    HXArrayRef later = clippedList(sources, 1500, end);
    EXPECT_NEAR(HXReportActivityUnion::make(*later, 1500, end, kept.get())->length(),
                HXReportReferenceInterval(*later, 1500, end, false), 1e-9);
}
