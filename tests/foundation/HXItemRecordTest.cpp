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
    return record.consolidateStates(gap, now, previous);
}

} // namespace

TEST(HXItemRecordAccessors, WrongTypesReadAsZeroAndMutatorsReplaceThem) {
    auto r = makeDictionary({{QStringLiteral("Time"), HXValue(QStringLiteral("12"))},
                             {QStringLiteral("Active"), HXValue(makeArray({}))}});
    EXPECT_EQ(r->timeIntervalForKey(Time), 0.0);
    EXPECT_FALSE(r->boolForKey(Active));
    EXPECT_EQ(r->integerForKey(u"missing"), 0);
    r->addTimeInterval(2.5, Time);
    EXPECT_EQ(r->timeIntervalForKey(Time), 2.5);
    EXPECT_EQ(r->value(Time).type(), HXValueType::Real);

    r->setBool(false, Active);
    EXPECT_FALSE(r->contains(Active));
    r->setBool(true, Paused);
    EXPECT_EQ(r->value(Paused).type(), HXValueType::Bool);
    r->setInteger(0, u"Count");
    EXPECT_FALSE(r->contains(u"Count"));
    r->setInteger(-3, u"Count");
    EXPECT_EQ(r->integerForKey(u"Count"), -3);
    r->setOrRemoveObject(HXValue(), u"Count");
    EXPECT_FALSE(r->contains(u"Count"));
    r->tryToSetObject(HXValue(), Name);
    r->tryToSetObject(QStringLiteral("x"), std::nullopt);
    EXPECT_FALSE(r->contains(Name));

    r->setValue(u"Big", HXValue(18446744073709551615ull));
    EXPECT_EQ(r->unsignedIntegerForKey(u"Big"), 18446744073709551615ull);
    r->setValue(u"Negative", -2.9);
    EXPECT_EQ(r->integerForKey(u"Negative"), -2);
    EXPECT_EQ(r->unsignedIntegerForKey(u"Name"), 0u);
}

TEST(HXItemRecordNames, FollowTheNamingRules) {
    auto mail = makeDictionary({{QStringLiteral("Name"), HXValue(QStringLiteral("Mail"))}});
    auto safari = makeDictionary(
        {{QStringLiteral("Name"), HXValue(QStringLiteral("Safari"))},
         {QStringLiteral("Children"),
          HXValue(makeArray({HXValue(HXDictionary::create()), HXValue(HXDictionary::create())}))}});
    auto pool =
        makeDictionary({{QStringLiteral("Name"), HXValue(QStringLiteral("  "))},
                        {QStringLiteral("Path"), HXValue(QStringLiteral("_Pool"))},
                        {QStringLiteral("Children"), HXValue(makeArray({HXValue(mail), HXValue(safari)}))}});
    EXPECT_EQ(pool->itemName(), QStringLiteral("Mail | Safari (2)"));

    auto empty = makeDictionary({{QStringLiteral("Path"), HXValue(QStringLiteral("_Pool"))}});
    EXPECT_EQ(empty->itemName(), QStringLiteral("Empty Pool"));

    auto any = makeDictionary({{QStringLiteral("Name"), HXValue(QStringLiteral("Mail"))},
                               {QStringLiteral("Match Any Application"), HXValue(true)}});
    EXPECT_EQ(any->itemName(), QStringLiteral("Any Application"));
    EXPECT_EQ(any->itemNameOrAnyApplicationSpecifier(false), QStringLiteral("Mail"));

    auto adHoc = makeDictionary({{QStringLiteral("Application ID"), HXValue(QStringLiteral("_Ad_Hoc"))},
                                 {QStringLiteral("Path"), HXValue(QStringLiteral("_Ad_Hoc"))}});
    EXPECT_EQ(adHoc->itemName(), QStringLiteral("Ad Hoc"));
    adHoc->setValue(Path, QStringLiteral("_Window"));
    EXPECT_EQ(adHoc->itemName(), QStringLiteral("Unspecified"));

    auto blank = makeDictionary({{QStringLiteral("Name"), HXValue(QStringLiteral(" "))}});
    EXPECT_EQ(blank->itemName(), QStringLiteral(" "));
    EXPECT_TRUE(HXDictionary::create()->itemName().isNull());
}

TEST(HXItemRecordKinds, AreToldApartByPathAndType) {
    auto app = makeDictionary(
        {{QStringLiteral("Path"), HXValue(QStringLiteral("/usr/share/applications/a.desktop"))}});
    auto window = makeDictionary({{QStringLiteral("Path"), HXValue(QStringLiteral("_Window"))}});
    auto poolItem = makeDictionary({{QStringLiteral("Type"), HXValue(QStringLiteral("Pool Item"))}});
    EXPECT_TRUE(app->isWindowTitleFilterEligibleItem());
    EXPECT_FALSE(window->isWindowTitleFilterEligibleItem());
    EXPECT_FALSE(poolItem->isWindowTitleFilterEligibleItem());
    EXPECT_TRUE(poolItem->isPoolOrPoolItem());
    EXPECT_FALSE(app->isPoolOrPoolItem());
}

TEST(HXItemRecordConsolidation, SingleTickLeavesNoEntry) {
    auto r = HXDictionary::create();
    EXPECT_TRUE(tick(*r, true, false, true, 100, 0));
    EXPECT_EQ(logValues(r->arrayForKey(ActiveLog)), std::vector<double>({100}));
    EXPECT_FALSE(tick(*r, false, false, false, 101, 100));
    EXPECT_TRUE(logValues(r->arrayForKey(ActiveLog)).empty());
    EXPECT_FALSE(r->contains(Active));
}

TEST(HXItemRecordConsolidation, EntryEndsAtTheLastTickThatSawTheItem) {
    auto r = HXDictionary::create();
    tick(*r, true, true, true, 100, 0);
    for (double t : {101.0, 102.0}) {
        r->setPreliminaryStates(false, 1.0, true);
        r->consolidateStates(false, t, t - 1);
    }
    EXPECT_FALSE(tick(*r, false, false, false, 103, 102));
    EXPECT_EQ(logValues(r->arrayForKey(ActiveLog)), std::vector<double>({100, -102}));
    EXPECT_EQ(logValues(r->arrayForKey(FrontActiveLog)), std::vector<double>({100, -102}));
    EXPECT_EQ(r->timeIntervalForKey(Time), 2.0);
    EXPECT_EQ(r->timeIntervalForKey(FrontTime), 2.0);
    EXPECT_FALSE(r->contains(ActiveTransient));
}

TEST(HXItemRecordConsolidation, GapClosesOpenEntryAtThePreviousTick) {
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

TEST(HXItemRecordConsolidation, MalformedLogIsReplacedAndLogsWithIntegersStillWork) {
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

TEST(HXItemRecordPreliminaryStates, AddTimeOncePerTickAndOnlyWhenActiveBefore) {
    auto pool = makeDictionary({{QStringLiteral("Active"), HXValue(true)}});
    pool->setPreliminaryStates(false, 0.5, false);
    pool->setPreliminaryStates(false, 0.5, true);
    pool->setPreliminaryStates(false, 0.5, true);
    EXPECT_EQ(pool->timeIntervalForKey(Time), 0.5);
    // Not front-active at the previous tick: no foreground time yet.
    EXPECT_FALSE(pool->contains(FrontTime));
    EXPECT_TRUE(pool->boolForKey(FrontActiveTransient));

    auto fresh = HXDictionary::create();
    fresh->setPreliminaryStates(true, 3.0, true);
    EXPECT_FALSE(fresh->contains(Time));
}

TEST(HXItemRecordReset, RemovesTimesRecursivelyButKeepsStructure) {
    auto window = makeDictionary(
        {{QStringLiteral("Time"), HXValue(3.0)}, {QStringLiteral("Name"), HXValue(QStringLiteral("w"))}});
    auto windows = makeDictionary({{QStringLiteral("w"), HXValue(window)}});
    auto app = makeDictionary({{QStringLiteral("Time"), HXValue(9.0)},
                               {QStringLiteral("Active Log"), HXValue(makeLog({1, -2}))},
                               {QStringLiteral("Windows By Name"), HXValue(windows)},
                               {QStringLiteral("Expanded"), HXValue(true)}});
    app->resetTimersRecursively();
    EXPECT_FALSE(app->contains(Time));
    EXPECT_FALSE(app->contains(ActiveLog));
    EXPECT_TRUE(app->boolForKey(Expanded));
    EXPECT_FALSE(window->contains(Time));
    EXPECT_EQ(window->stringForKey(Name), QStringLiteral("w"));

    auto child = makeDictionary({{QStringLiteral("Front Time"), HXValue(1.0)}});
    auto pool = makeDictionary({{QStringLiteral("Children"), HXValue(makeArray({HXValue(child)}))},
                                {QStringLiteral("Paused"), HXValue(true)},
                                {QStringLiteral("Front Active"), HXValue(true)}});
    pool->resetTimersRecursively();
    EXPECT_FALSE(child->contains(FrontTime));
    EXPECT_FALSE(pool->contains(FrontActive));
    EXPECT_TRUE(pool->boolForKey(Paused));
}
