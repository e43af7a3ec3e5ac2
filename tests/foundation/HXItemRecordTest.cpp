#include "foundation/HXNonFiniteTimes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace HXKeys;

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

TEST(ItemRecord, TimesThatAreNotFiniteReadAsMissing) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    HXDictionaryRef window = makeDictionary({{QStringLiteral("Active Log"), HXValue(makeLog({5, nan, -6}))}});
    HXDictionaryRef application =
        makeDictionary({{QStringLiteral("Time"), HXValue(inf)},
                        {QStringLiteral("Active Log"), HXValue(makeLog({100, -200, 300, -inf}))},
                        {QStringLiteral("Front Active Log"), HXValue(makeLog({nan}))},
                        {QStringLiteral("Windows By Name"),
                         HXValue(makeDictionary({{QStringLiteral("Inbox"), HXValue(window)}}))}});
    HXDictionaryRef poolWindow =
        makeDictionary({{QStringLiteral("Active Log"), HXValue(makeLog({-inf, 7, -8}))}});
    HXDictionaryRef poolItem =
        makeDictionary({{QStringLiteral("Children"), HXValue(makeArray({HXValue(poolWindow)}))}});
    HXDictionaryRef pool =
        makeDictionary({{QStringLiteral("Children"), HXValue(makeArray({HXValue(poolItem)}))},
                        {QStringLiteral("Front Active Log"), HXValue(makeLog({1, -2}))}});
    HXDictionaryRef configuration =
        makeDictionary({{QStringLiteral("Last Timestamp"), HXValue(inf)},
                        {QStringLiteral("First Timestamp"), HXValue(nan)},
                        {QStringLiteral("Applications"),
                         HXValue(makeDictionary({{QStringLiteral("a"), HXValue(application)}}))},
                        {QStringLiteral("Pools"), HXValue(makeArray({HXValue(pool)}))}});

    EXPECT_EQ(configuration->timeIntervalForKey(u"Last Timestamp"), 0.0);
    EXPECT_EQ(configuration->timeIntervalForKey(u"First Timestamp"), 0.0);
    EXPECT_EQ(application->timeIntervalForKey(HXKeys::Time), 0.0);

    EXPECT_EQ(HXRemoveNonFiniteLogEntries(*configuration), 4u);
    EXPECT_EQ(logValues(application->arrayForKey(HXKeys::ActiveLog)), (std::vector<double>{100, -200, 300}));
    EXPECT_TRUE(application->arrayForKey(HXKeys::FrontActiveLog)->isEmpty());
    EXPECT_EQ(logValues(window->arrayForKey(HXKeys::ActiveLog)), (std::vector<double>{5, -6}));
    EXPECT_EQ(logValues(poolWindow->arrayForKey(HXKeys::ActiveLog)), (std::vector<double>{7, -8}));
    EXPECT_EQ(logValues(pool->arrayForKey(HXKeys::FrontActiveLog)), (std::vector<double>{1, -2}));
    // What is left can be searched again.
    EXPECT_TRUE(window->arrayForKey(HXKeys::ActiveLog)->isSortedByMagnitude());
    EXPECT_EQ(HXRemoveNonFiniteLogEntries(*configuration), 0u);
}
