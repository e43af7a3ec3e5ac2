#include "reports/HXEventStream.h"
#include "reports/HXClippedEventLog.h"

#include "ReportsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace HXKeys;

namespace {

struct Clip {
    std::vector<double> values;
    double total = 0;
};

Clip clip(const HXArrayRef& log, double a, double b) {
    Clip c;
    c.total = recordEventStream(*log, c.values, a, b);
    return c;
}

Clip walk(const HXArrayRef& log, double a, double b) {
    Clip c;
    c.total = recordEventStreamByWalking(*log, c.values, a, b);
    return c;
}

// The same numbers as an ordinary array: a non-number element unpacks it, removing it keeps it so.
HXArrayRef unpacked(const std::vector<double>& numbers) {
    std::vector<HXValue> values(numbers.begin(), numbers.end());
    values.emplace_back(QStringLiteral("not a number"));
    auto mixed = HXArray::createWithValues(values);
    mixed->removeLast();
    return mixed;
}

} // namespace

TEST(EventStreamClip, InsideAcrossAndOutsideTheInterval) {
    const auto log = makeLog({100, -200});
    Clip c = clip(log, 150, 300);
    EXPECT_EQ(c.values, (std::vector<double>{150, -200}));
    EXPECT_DOUBLE_EQ(c.total, 50);
    c = clip(log, 0, 150);
    EXPECT_EQ(c.values, (std::vector<double>{100, -150}));
    EXPECT_DOUBLE_EQ(c.total, 50);
    c = clip(log, 250, 300);
    EXPECT_TRUE(c.values.empty());
    EXPECT_EQ(c.total, 0);

    const auto open = makeLog({100});
    c = clip(open, 150, 300);
    EXPECT_EQ(c.values, (std::vector<double>{150, -300}));
    EXPECT_DOUBLE_EQ(c.total, 150);
    c = clip(open, 50, 300);
    EXPECT_EQ(c.values, (std::vector<double>{100, -300}));
    EXPECT_DOUBLE_EQ(c.total, 200);

    c = clip(makeLog({-120}), 100, 300);
    EXPECT_EQ(c.values, (std::vector<double>{100, -120}));
    EXPECT_DOUBLE_EQ(c.total, 20);

    c = clip(log, 100.0005, 300);
    EXPECT_EQ(c.values, (std::vector<double>{100.0005, -200}));
    EXPECT_NEAR(c.total, 99.9995, 1e-9);

    c = clip(log, 200, 300);
    EXPECT_TRUE(c.values.empty());
    EXPECT_EQ(c.total, 0);
}

TEST(EventStreamClip, BoundsInEitherOrderAndNearTheEnd) {
    const auto log = makeLog({100, -200, 300, -400, 500});
    for (const auto& [a, b] :
         std::vector<std::pair<double, double>>{{150, 450}, {0, 1000}, {350, 360}, {199.9995, 300.0004}}) {
        const Clip forward = clip(log, a, b);
        const Clip backward = clip(log, b, a);
        EXPECT_EQ(forward.values, backward.values) << a << " " << b;
        EXPECT_EQ(forward.total, backward.total);
    }
    // A begin within ε of the clip's end lies outside: the stretch before it closes at hi.
    Clip c = clip(log, 250, 299.9995);
    EXPECT_TRUE(c.values.empty());
    EXPECT_EQ(c.total, 0);
    // An end exactly at hi stops the walk; the open stretch is closed at hi all the same.
    c = clip(log, 150, 200);
    EXPECT_EQ(c.values, (std::vector<double>{150, -200}));
    EXPECT_DOUBLE_EQ(c.total, 50);
    // The open entry at the end runs to hi.
    c = clip(log, 450, 600);
    EXPECT_EQ(c.values, (std::vector<double>{500, -600}));
    EXPECT_DOUBLE_EQ(c.total, 100);
    // Inside one stretch: lo and -hi only.
    c = clip(log, 320, 380);
    EXPECT_EQ(c.values, (std::vector<double>{320, -380}));
    EXPECT_DOUBLE_EQ(c.total, 60);
}

TEST(EventStreamClip, MalformedStreams) {
    // A run of begins: the first one opens, every one is copied, the last closes at hi.
    Clip c = clip(makeLog({100, 120, 140, -200}), 50, 300);
    EXPECT_EQ(c.values, (std::vector<double>{100, 120, 140, -200}));
    EXPECT_DOUBLE_EQ(c.total, 100);
    // A run of ends: only the first counts.
    c = clip(makeLog({100, -150, -180, 250}), 50, 300);
    EXPECT_EQ(c.values, (std::vector<double>{100, -150, -180, 250, -300}));
    EXPECT_DOUBLE_EQ(c.total, 50 + 50);
    // Leading ends inside the clip: running since lo.
    c = clip(makeLog({-120, -130, 140, -160}), 100, 300);
    EXPECT_EQ(c.values, (std::vector<double>{100, -120, -130, 140, -160}));
    EXPECT_DOUBLE_EQ(c.total, 20 + 20);
    // A trailing run of begins is closed at hi from the last copied begin.
    c = clip(makeLog({100, 150}), 50, 300);
    EXPECT_EQ(c.values, (std::vector<double>{100, 150, -300}));
    EXPECT_DOUBLE_EQ(c.total, 150);
    // An end before the clip and nothing inside: nothing.
    c = clip(makeLog({100, -120}), 150, 300);
    EXPECT_TRUE(c.values.empty());
    // A begin similar to lo starts exactly at lo.
    c = clip(makeLog({149.9995, -200}), 150, 300);
    EXPECT_EQ(c.values, (std::vector<double>{150, -200}));
    EXPECT_DOUBLE_EQ(c.total, 50);
}

TEST(EventStreamClip, ExistingOutputIsNotMistakenForTheClip) {
    std::vector<double> out{10, 20};
    const double total = recordEventStream(*makeLog({100, -120}), out, 150, 300);
    EXPECT_EQ(out, (std::vector<double>{10, 20}));
    EXPECT_EQ(total, 0);
}

TEST(EventStreamClip, OrdinaryArraysClipLikePackedOnes) {
    const std::vector<double> numbers{100, -200, 300, -400, 500};
    const auto mixed = unpacked(numbers);
    ASSERT_FALSE(mixed->isPacked());
    const auto packed = HXArray::createWithDoubles(numbers);
    for (double lo : {0.0, 150.0, 200.0, 299.9995, 450.0}) {
        const Clip a = clip(mixed, lo, 600);
        const Clip b = clip(packed, lo, 600);
        EXPECT_EQ(a.values, b.values) << lo;
        EXPECT_EQ(a.total, b.total);
    }
    // Integers stored in a log read as their values.
    auto integers = HXArray::createWithValues({HXValue(100), HXValue(-200)});
    ASSERT_FALSE(integers->isPacked());
    EXPECT_EQ(clip(integers, 150, 300).values, (std::vector<double>{150, -200}));
}

TEST(EventStreamClip, BinarySearchEqualsTheWalk) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    int sortedLogs = 0;
    int unsortedClipsOfSortedLogs = 0;
    for (int round = 0; round < 3000; ++round) {
        const int n = static_cast<int>(unit(random) * 60);
        std::vector<double> numbers;
        double t = 1000;
        const bool shuffled = round % 5 == 4;
        for (int i = 0; i < n; ++i) {
            // Steps of zero and below ε make similar neighbours; signs are mostly alternating.
            const double r = unit(random);
            t += r < 0.15 ? 0 : (r < 0.3 ? 0.0004 : std::floor(unit(random) * 50));
            const bool begin = unit(random) < 0.8 ? (i % 2 == 0) : unit(random) < 0.5;
            numbers.push_back(begin ? t : -t);
        }
        if (shuffled)
            std::shuffle(numbers.begin(), numbers.end(), random);
        const auto log = HXArray::createWithDoubles(numbers);
        if (log->isSortedByMagnitude())
            ++sortedLogs;
        // Bounds at stored values, within ε of them, and in between.
        std::vector<double> bounds{0, 999, t + 10};
        for (double v : numbers) {
            bounds.push_back(std::fabs(v));
            bounds.push_back(std::fabs(v) + 0.0005);
            bounds.push_back(std::fabs(v) - 0.0009);
            bounds.push_back(std::fabs(v) - 0.001);
            bounds.push_back(std::fabs(v) + kHXEventStreamTolerance); // lo - ε lands on the value itself
        }
        for (int k = 0; k < 8; ++k) {
            const double a =
                bounds[static_cast<std::size_t>(unit(random) * static_cast<double>(bounds.size()))];
            const double b =
                bounds[static_cast<std::size_t>(unit(random) * static_cast<double>(bounds.size()))];
            const Clip fast = clip(log, a, b);
            const Clip slow = walk(log, a, b);
            ASSERT_EQ(fast.values, slow.values) << "round " << round << " a " << a << " b " << b;
            ASSERT_EQ(fast.total, slow.total) << "round " << round;
            const bool sortedClip = HXArray::createWithDoubles(fast.values)->isSortedByMagnitude();
            ASSERT_EQ(isClipSortedByMagnitude(fast.values, log->isSortedByMagnitude()), sortedClip)
                << "round " << round << " a " << a << " b " << b;
            if (log->isSortedByMagnitude() && !sortedClip && fast.values.size() > 5)
                ++unsortedClipsOfSortedLogs;
        }
    }
    // Both paths were exercised.
    EXPECT_GT(sortedLogs, 1000);
    EXPECT_LT(sortedLogs, 3000);
    // A bound within ε of a value can come out of order; the junction look must see it.
    EXPECT_GT(unsortedClipsOfSortedLogs, 0);
}

TEST(EventStreamClip, NewStreamAndTotalAgree) {
    const auto log = makeLog({100, -200, 300});
    double interval = -1;
    const auto clipped = eventStreamClippedBetweenTimestamp(*log, 150, 350, &interval);
    EXPECT_EQ(logValues(clipped), (std::vector<double>{150, -200, 300, -350}));
    EXPECT_DOUBLE_EQ(interval, 100);
    EXPECT_DOUBLE_EQ(totalIntervalBetweenTimestamp(*log, 150, 350), 100);
    EXPECT_EQ(logValues(log), (std::vector<double>{100, -200, 300})); // the source is untouched
    EXPECT_EQ(totalIntervalBetweenTimestamp(*HXArray::create(), 0, 100), 0);
}

TEST(EventStreamClean, StrayEndsAndRunsOfBeginsOrEnds) {
    const auto log = makeLog({-50, 60, 70, -80, -90, 100});
    EXPECT_EQ(logValues(cleanedEventStreamBeginningAtTimestamp(*log, 40)),
              (std::vector<double>{40, -50, 60, -80, 100}));
    EXPECT_EQ(logValues(cleanedEventStreamBeginningAtTimestamp(*log, 65)),
              (std::vector<double>{70, -80, 100}));
    // Values within ε before T are kept; an end right after T gets a begin at T.
    EXPECT_EQ(logValues(cleanedEventStreamBeginningAtTimestamp(*makeLog({-99.9995, 120}), 100)),
              (std::vector<double>{100, -99.9995, 120}));
    EXPECT_EQ(logValues(cleanedEventStreamBeginningAtTimestamp(*makeLog({-50, -60}), 0)),
              (std::vector<double>{0, -50}));
    EXPECT_TRUE(cleanedEventStreamBeginningAtTimestamp(*makeLog({10, -20}), 100)->isEmpty());
}

TEST(EventStreamMerge, OverlappingSeparateOpenAndTouchingStreams) {
    const auto merge = [](std::vector<HXArrayRef> streams) {
        return logValues(eventStreamByMergingEventStreams(streams, 0));
    };
    EXPECT_EQ(merge({makeLog({10, -20}), makeLog({15, -30})}), (std::vector<double>{10, -30}));
    EXPECT_EQ(merge({makeLog({10, -20}), makeLog({25, -30})}), (std::vector<double>{10, -20, 25, -30}));
    EXPECT_EQ(merge({makeLog({10}), makeLog({15, -30})}), (std::vector<double>{10}));
    // A stream nested in another, three streams, a null stream and malformed runs.
    EXPECT_EQ(merge({makeLog({10, -100}), makeLog({20, -30, 40, -50}), nullptr}),
              (std::vector<double>{10, -100}));
    EXPECT_EQ(merge({makeLog({10, 12, -20, -22}), makeLog({-5, 30, -40})}),
              (std::vector<double>{0, -5, 10, -20, 30, -40}));
    // Touching intervals: one's end and the other's begin at the same moment.
    const auto touching = merge({makeLog({20, -30}), makeLog({10, -20})});
    EXPECT_TRUE(touching == (std::vector<double>{10, -30}) ||
                touching == (std::vector<double>{10, -20, 20, -30}));
    // T cuts everything before it.
    EXPECT_EQ(logValues(eventStreamByMergingEventStreams({makeLog({10, -20, 30, -40})}, 25)),
              (std::vector<double>{30, -40}));
}

TEST(EventStreamSimilarity, ToleranceAndOrdering) {
    EXPECT_TRUE(HXSimilarAbsoluteTimeIntervals(100, -100.0009));
    EXPECT_FALSE(HXSimilarAbsoluteTimeIntervals(100, 100.0011));
    EXPECT_EQ(HXSortAbsoluteDoubleNumbers(-5, 4), 1);
    EXPECT_EQ(HXSortAbsoluteDoubleNumbers(4, -5), -1);
    EXPECT_EQ(HXSortAbsoluteDoubleNumbers(-5, 5), 0);
}

TEST(ClippedEventLog, RecordKeys) {
    const auto window = record({{u"Name", u"Inbox"},
                                {u"Path", u"_Window"},
                                {u"Active Log", makeLog({100, -200})},
                                {u"Front Active Log", makeLog({400, -500})}});
    bool hasEvents = false;
    auto clipped = eventLogClippedBetweenTimestamp(window, 150, 300, &hasEvents);
    EXPECT_TRUE(hasEvents);
    EXPECT_EQ(clipped->stringForKey(Name), u"Inbox");
    EXPECT_EQ(clipped->stringForKey(Path), u"_Window");
    EXPECT_FALSE(clipped->contains(Type));
    EXPECT_EQ(logValues(clipped->arrayForKey(ActiveLog)), (std::vector<double>{150, -200}));
    EXPECT_DOUBLE_EQ(clipped->timeIntervalForKey(Time), 50);
    EXPECT_FALSE(clipped->contains(FrontActiveLog));
    EXPECT_FALSE(clipped->contains(FrontTime));
    EXPECT_EQ(clipped->find(Source)->toDictionary().get(), window.get());

    clipped = eventLogClippedBetweenTimestamp(window, 600, 700, &hasEvents);
    EXPECT_FALSE(hasEvents);
    EXPECT_FALSE(clipped->contains(ActiveLog));
    EXPECT_FALSE(clipped->contains(Time));

    // A pool without a name is named by its children; a log of the wrong type counts as empty.
    const auto pool = record({{u"Path", u"_Pool"},
                              {u"Type", u"Pool Item"},
                              {u"Active Log", u"garbage"},
                              {u"Children", makeArray({record({{u"Name", u"Mail"}})})}});
    clipped = eventLogClippedBetweenTimestamp(pool, 0, 1000, &hasEvents);
    EXPECT_FALSE(hasEvents);
    EXPECT_EQ(clipped->stringForKey(Name), u"Mail");
    EXPECT_EQ(clipped->stringForKey(Type), u"Pool Item");
}
