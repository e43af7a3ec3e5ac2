#include "foundation/HXPropertyList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

TEST(HXValueModel, ContainersAreSharedByReference) {
    auto inner = HXDictionary::create();
    auto outer = makeDictionary({{QStringLiteral("Inner"), HXValue(inner)}});
    HXValue copy = outer->value(u"Inner");
    copy.toDictionary()->setValue(u"Name", QStringLiteral("changed"));
    EXPECT_EQ(inner->stringForKey(HXKeys::Name), QStringLiteral("changed"));
    EXPECT_TRUE(copy.isIdenticalTo(HXValue(inner)));
    EXPECT_FALSE(HXValue(inner->deepCopy()).isIdenticalTo(HXValue(inner)));
    EXPECT_TRUE(HXValue(inner->deepCopy()) == HXValue(inner));
}

TEST(HXValueModel, ArraysOfRealsStayPackedUntilAnotherValueArrives) {
    auto log = HXArray::create();
    log->appendDouble(100);
    log->append(HXValue(-200.0));
    EXPECT_TRUE(log->isPacked());
    ASSERT_EQ(log->doubles().size(), 2u);
    EXPECT_EQ(log->doubles()[1], -200.0);

    log->append(HXValue(7));
    EXPECT_FALSE(log->isPacked());
    EXPECT_EQ(log->count(), 3);
    EXPECT_EQ(log->at(2).type(), HXValueType::Integer);
    EXPECT_EQ(log->numberAt(0), 100.0);

    auto mixed = makeArray({HXValue(1.5), HXValue(2)});
    EXPECT_FALSE(mixed->isPacked());
    auto reals = makeArray({HXValue(1.5), HXValue(2.5)});
    EXPECT_TRUE(reals->isPacked());
    EXPECT_TRUE(*mixed == *makeArray({HXValue(1.5), HXValue(2.0)}));
}

TEST(HXValueModel, SortednessFollowsAppendsAndEdits) {
    auto log = makeLog({100, -150, 160});
    EXPECT_TRUE(log->isSortedByMagnitude());
    log->appendDouble(-159);
    EXPECT_FALSE(log->isSortedByMagnitude());
    log->removeLast();
    log->replace(0, HXValue(10.0));
    EXPECT_TRUE(log->isSortedByMagnitude());
    log->insert(0, HXValue(500.0));
    EXPECT_FALSE(log->isSortedByMagnitude());
    log->clear();
    EXPECT_TRUE(log->isSortedByMagnitude());
    log->appendDouble(std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(log->isSortedByMagnitude());
    EXPECT_FALSE(makeLog({1, std::numeric_limits<double>::quiet_NaN(), 3})->isSortedByMagnitude());
}

TEST(HXValueModel, ArraysOverBorrowedNumbersCopyThemBeforeAnyChange) {
    auto lent = std::make_shared<std::vector<double>>(std::vector<double>{100, -150, 160, -170});
    const std::vector<double> original = *lent;
    const std::span<const double> numbers(*lent);
    const std::weak_ptr<std::vector<double>> lender = lent;
    const HXArrayRef log = HXArray::createWithBorrowedDoubles(lent, numbers);
    EXPECT_EQ(log->doubles().data(), numbers.data());
    EXPECT_EQ(log->count(), 4);
    EXPECT_EQ(log->numberAt(3), -170.0);
    EXPECT_TRUE(log->isSortedByMagnitude());
    EXPECT_TRUE(*log == *makeLog({100, -150, 160, -170}));

    // A copy shares them too; every change works on the array's own copy and leaves them alone.
    const HXArrayRef copy = log->shallowCopy();
    const HXArrayRef deep = log->deepCopy();
    EXPECT_NE(deep->doubles().data(), numbers.data());
    log->appendDouble(120);
    EXPECT_FALSE(log->isSortedByMagnitude());
    copy->replace(0, HXValue(1.0));
    EXPECT_TRUE(*log == *makeLog({100, -150, 160, -170, 120}));
    EXPECT_TRUE(*copy == *makeLog({1, -150, 160, -170}));
    EXPECT_TRUE(*deep == *makeLog({100, -150, 160, -170}));
    EXPECT_EQ(std::vector<double>(numbers.begin(), numbers.end()), original);
    for (const auto& change : std::vector<std::function<void(HXArray&)>>{
             [](HXArray& a) { a.removeLast(); },
             [](HXArray& a) { a.insert(0, HXValue(5.0)); },
             [](HXArray& a) {
                 a.sortValues([](const HXValue& x, const HXValue& y) {
                     return x.toDouble() < y.toDouble() ? -1 : (x.toDouble() > y.toDouble() ? 1 : 0);
                 });
             },
             [](HXArray& a) { a.append(HXValue(7)); },
             [](HXArray& a) { a.clear(); },
         }) {
        const HXArrayRef borrowed = HXArray::createWithBorrowedDoubles(lent, numbers);
        const HXArrayRef owned = makeLog({100, -150, 160, -170});
        change(*borrowed);
        change(*owned);
        EXPECT_TRUE(*borrowed == *owned);
        EXPECT_EQ(borrowed->isSortedByMagnitude(), owned->isSortedByMagnitude());
        EXPECT_EQ(borrowed->isPacked(), owned->isPacked());
    }
    EXPECT_EQ(std::vector<double>(numbers.begin(), numbers.end()), original);
    // An array keeps its lender alive until it owns its numbers.
    const HXArrayRef last = HXArray::createWithBorrowedDoubles(std::move(lent), numbers);
    EXPECT_FALSE(lender.expired());
    last->appendDouble(180);
    EXPECT_TRUE(lender.expired());
    EXPECT_TRUE(*last == *makeLog({100, -150, 160, -170, 180}));
}

TEST(HXValueModel, DictionaryKeepsInsertionOrderAndFindsKeysInEveryState) {
    auto d = HXDictionary::create();
    // Enough keys to switch on the hashed index, mixing well-known keys with others.
    for (int i = 0; i < 40; ++i)
        d->setValue(QStringLiteral("key %1").arg(i), i);
    d->setValue(HXKeys::Time, 5.0);
    d->setValue(QStringLiteral("Name"), QStringLiteral("by text"));
    EXPECT_EQ(d->count(), 42);
    EXPECT_EQ(d->entries().front().key, QStringLiteral("key 0"));
    EXPECT_EQ(d->entries().back().key, QStringLiteral("Name"));
    EXPECT_EQ(d->stringForKey(HXKeys::Name), QStringLiteral("by text"));
    EXPECT_EQ(d->timeIntervalForKey(u"Time"), 5.0);

    for (int i = 0; i < 40; i += 2)
        EXPECT_TRUE(d->remove(QStringLiteral("key %1").arg(i)));
    EXPECT_FALSE(d->remove(QStringLiteral("key 0")));
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(d->contains(QStringLiteral("key %1").arg(i)), i % 2 == 1) << i;
    EXPECT_EQ(d->timeIntervalForKey(HXKeys::Time), 5.0);
    EXPECT_EQ(d->stringForKey(u"Name"), QStringLiteral("by text"));
    EXPECT_TRUE(d->remove(HXKeys::Time));
    EXPECT_FALSE(d->contains(u"Time"));
    EXPECT_EQ(d->entries()[0].key, QStringLiteral("key 1"));
}

// Every tick marks the records it sees and consolidation removes the marks again: storing a well-known
// key must not copy its text, by slot or by text, and its stored key still reads as the text.
TEST(HXValueModel, WellKnownKeysAreStoredWithoutACopyOfTheirText) {
    auto d = HXDictionary::create();
    for (int tick = 0; tick < 3; ++tick) {
        d->setBool(true, HXKeys::ActiveTransient);
        d->setValue(QStringLiteral("Front Active_"), true);
        d->setValue(QStringLiteral("Other"), 1);
        ASSERT_EQ(d->count(), 3);
        EXPECT_EQ(d->entries()[0].key, QStringLiteral("Active_"));
        EXPECT_EQ(d->entries()[1].key, QStringLiteral("Front Active_"));
        // Over the literal, without a block of its own (the compiler decides which copy of the literal).
        EXPECT_FALSE(d->entries()[0].key.data_ptr().isMutable());
        EXPECT_FALSE(d->entries()[1].key.data_ptr().isMutable());
        EXPECT_TRUE(d->entries()[2].key.data_ptr().isMutable());
        EXPECT_TRUE(d->boolForKey(u"Front Active_"));
        d->setBool(false, HXKeys::ActiveTransient);
        d->remove(HXKeys::FrontActiveTransient);
        d->remove(u"Other");
        EXPECT_TRUE(d->isEmpty());
    }
}

TEST(HXValueModel, EqualityComparesNumbersByValueAndDictionariesRegardlessOfOrder) {
    auto a = makeDictionary({{QStringLiteral("x"), HXValue(1)}, {QStringLiteral("y"), HXValue(true)}});
    auto b = makeDictionary({{QStringLiteral("y"), HXValue(1.0)}, {QStringLiteral("x"), HXValue(1.0)}});
    EXPECT_TRUE(*a == *b);
    b->setValue(u"x", 2);
    EXPECT_FALSE(*a == *b);
    EXPECT_FALSE(HXValue(std::numeric_limits<unsigned long long>::max()) == HXValue(-1));
    EXPECT_FALSE(HXValue(QStringLiteral("1")) == HXValue(1));
}

TEST(HXValueModel, ConversionsNeverFail) {
    EXPECT_EQ(HXValue(QStringLiteral("12")).toDouble(), 0.0);
    EXPECT_EQ(HXValue(std::numeric_limits<double>::quiet_NaN()).toInteger(), 0);
    EXPECT_EQ(HXValue(1e300).toInteger(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(HXValue(-1e300).toInteger(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(HXValue(true).toDouble(), 1.0);
    EXPECT_EQ(HXValue(18446744073709551615ull).type(), HXValueType::UnsignedInteger);
    EXPECT_EQ(HXValue(5ull).type(), HXValueType::Integer);
    EXPECT_TRUE(HXValue().toString().isEmpty());
    EXPECT_EQ(HXValue(3).toArray(), nullptr);
}

TEST(HXValueModel, AssociatedValuesAreKeptButNotCopied) {
    auto app = HXDictionary::create();
    auto windows = makeArray({HXValue(HXDictionary::create())});
    app->setListWindows(windows);
    int tag = 0;
    app->setAssociatedObject(&tag, std::make_shared<int>(42));
    EXPECT_EQ(app->listWindows(), windows);
    EXPECT_EQ(*std::static_pointer_cast<int>(app->associatedObject(&tag)), 42);
    EXPECT_EQ(app->deepCopy()->listWindows(), nullptr);
    app->setAssociatedObject(&tag, nullptr);
    EXPECT_EQ(app->associatedObject(&tag), nullptr);
    EXPECT_EQ(app->count(), 0);
}

TEST(HXValueModel, DeeplyMutableParsingChecksTheTopLevel) {
    const QByteArray array = propertyListData(HXValue(makeArray({HXValue(1), HXValue(makeDictionary({}))})));
    const HXArrayRef parsed = HXArray::deeplyMutableArrayWithData(array);
    ASSERT_TRUE(parsed);
    parsed->dictionaryAt(1)->setValue(u"x", 2);
    EXPECT_EQ(parsed->dictionaryAt(1)->integerForKey(u"x"), 2);
    EXPECT_FALSE(HXDictionary::deeplyMutableDictionaryWithData(array));
    EXPECT_FALSE(HXArray::deeplyMutableArrayWithData(propertyListData(HXValue(HXDictionary::create()))));
    EXPECT_FALSE(HXArray::deeplyMutableArrayWithData(QByteArray()));
    EXPECT_FALSE(HXDictionary::deeplyMutableDictionaryWithData(QByteArray("not a property list")));
}
