#include "engine/HXEventLogConsolidation.h"
#include "engine/HXIntervalAttribution.h"
#include "foundation/HXDictionary.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace HXKeys;

namespace {

// One tick for one record: mark it when seen, then consolidate.
bool tick(HXDictionary& record, bool seen, bool front, bool gap, double now, double previous) {
    if (seen)
        record.setBool(true, ActiveTransient);
    if (front)
        record.setBool(true, FrontActiveTransient);
    return HXConsolidateEventLogs(record, HXTickTime{.now = now, .previous = previous, .gap = gap});
}

} // namespace

TEST(HXEventLogConsolidation, SingleTickLeavesNoEntry) {
    auto r = HXDictionary::create();
    EXPECT_TRUE(tick(*r, true, false, true, 100, 0));
    EXPECT_EQ(logValues(r->arrayForKey(ActiveLog)), std::vector<double>({100}));
    EXPECT_FALSE(tick(*r, false, false, false, 101, 100));
    EXPECT_TRUE(logValues(r->arrayForKey(ActiveLog)).empty());
    EXPECT_FALSE(r->contains(Active));
}

TEST(HXEventLogConsolidation, EntryEndsAtTheLastTickThatSawTheItem) {
    auto r = HXDictionary::create();
    tick(*r, true, true, true, 100, 0);
    for (double t : {101.0, 102.0}) {
        HXAttributeInterval(*r, HXTickTime{.gap = false, .interval = 1.0}, true);
        HXConsolidateEventLogs(*r, HXTickTime{.now = t, .previous = t - 1, .gap = false});
    }
    EXPECT_FALSE(tick(*r, false, false, false, 103, 102));
    EXPECT_EQ(logValues(r->arrayForKey(ActiveLog)), std::vector<double>({100, -102}));
    EXPECT_EQ(logValues(r->arrayForKey(FrontActiveLog)), std::vector<double>({100, -102}));
    EXPECT_EQ(r->timeIntervalForKey(Time), 2.0);
    EXPECT_EQ(r->timeIntervalForKey(FrontTime), 2.0);
    EXPECT_FALSE(r->contains(ActiveTransient));
}

TEST(HXEventLogConsolidation, GapClosesOpenEntryAtThePreviousTick) {
    auto r = HXDictionary::create();
    r->setValue(ActiveLog, makeLog({100}));
    r->setBool(true, Active);
    EXPECT_TRUE(tick(*r, true, false, true, 200, 102));
    EXPECT_EQ(logValues(r->arrayForKey(ActiveLog)), std::vector<double>({100, -102, 200}));

    // A gap right after the begin would leave an entry without length: the begin goes instead.
    auto s = HXDictionary::create();
    s->setValue(ActiveLog, makeLog({300}));
    tick(*s, false, false, true, 400, 300.0005);
    EXPECT_TRUE(logValues(s->arrayForKey(ActiveLog)).empty());

    // Nothing seen before the very first tick: an end at "now" closes a stray begin.
    auto u = HXDictionary::create();
    u->setValue(ActiveLog, makeLog({50}));
    tick(*u, false, false, false, 60, 0);
    EXPECT_EQ(logValues(u->arrayForKey(ActiveLog)), std::vector<double>({50, -60}));
}

TEST(HXEventLogConsolidation, MalformedLogIsReplacedAndLogsWithIntegersStillWork) {
    auto r = makeDictionary({{QStringLiteral("Active Log"), HXValue(QStringLiteral("garbage"))}});
    tick(*r, true, false, true, 10, 0);
    EXPECT_EQ(logValues(r->arrayForKey(ActiveLog)), std::vector<double>({10}));

    auto ints = makeDictionary(
        {{QStringLiteral("Active Log"), HXValue(makeArray({HXValue(5), HXValue(-7), HXValue(8)}))},
         {QStringLiteral("Active"), HXValue(true)}});
    tick(*ints, false, false, false, 12, 11);
    EXPECT_EQ(logValues(ints->arrayForKey(ActiveLog)), std::vector<double>({5, -7, 8, -11}));
    EXPECT_EQ(ints->arrayForKey(ActiveLog)->at(0).type(), HXValueType::Integer);
}

TEST(HXIntervalAttribution, AddTimeOncePerTickAndOnlyWhenActiveBefore) {
    auto pool = makeDictionary({{QStringLiteral("Active"), HXValue(true)}});
    HXAttributeInterval(*pool, HXTickTime{.gap = false, .interval = 0.5}, false);
    HXAttributeInterval(*pool, HXTickTime{.gap = false, .interval = 0.5}, true);
    HXAttributeInterval(*pool, HXTickTime{.gap = false, .interval = 0.5}, true);
    EXPECT_EQ(pool->timeIntervalForKey(Time), 0.5);
    // Not front-active at the previous tick: no foreground time yet.
    EXPECT_FALSE(pool->contains(FrontTime));
    EXPECT_TRUE(pool->boolForKey(FrontActiveTransient));

    auto fresh = HXDictionary::create();
    HXAttributeInterval(*fresh, HXTickTime{.gap = true, .interval = 3.0}, true);
    EXPECT_FALSE(fresh->contains(Time));
}
