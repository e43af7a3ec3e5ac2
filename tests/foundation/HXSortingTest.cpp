#include "foundation/HXSorting.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

HXDictionaryRef item(const QString& name, std::optional<double> time,
                     std::optional<double> front = std::nullopt) {
    auto d = makeDictionary({{QStringLiteral("Name"), HXValue(name)}});
    if (time)
        d->setTimeInterval(*time, HXKeys::Time);
    if (front)
        d->setTimeInterval(*front, HXKeys::FrontTime);
    return d;
}

QStringList namesSorted(std::vector<HXDictionaryRef> items, int column) {
    std::vector<HXValue> values(items.begin(), items.end());
    auto array = HXArray::createWithValues(values);
    array->sortValues(
        [column](const HXValue& a, const HXValue& b) { return HXSortItemValues(a, b, column); });
    QStringList names;
    for (const HXValue& v : array->values())
        names.append(v.toDictionary()->stringForKey(HXKeys::Name));
    return names;
}

} // namespace

TEST(HXSorting, ByTimeDescendingWithMissingValuesLast) {
    EXPECT_EQ(namesSorted({item(QStringLiteral("a"), 50), item(QStringLiteral("b"), std::nullopt),
                           item(QStringLiteral("c"), 80)},
                          2),
              QStringList({QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(HXSorting, ColumnsFallThroughToNames) {
    auto x = item(QStringLiteral("x"), 10, 5);
    auto y = item(QStringLiteral("y"), 20, 5);
    auto z = item(QStringLiteral("z"), 20, 7);
    EXPECT_EQ(namesSorted({x, y, z}, 0),
              QStringList({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}));
    EXPECT_EQ(namesSorted({x, y, z}, 1),
              QStringList({QStringLiteral("z"), QStringLiteral("x"), QStringLiteral("y")}));
    EXPECT_EQ(namesSorted({x, y, z}, 2),
              QStringList({QStringLiteral("z"), QStringLiteral("y"), QStringLiteral("x")}));
    // A string where a number belongs counts as missing.
    auto odd = item(QStringLiteral("a"), std::nullopt);
    odd->setValue(HXKeys::Time, QStringLiteral("99"));
    EXPECT_EQ(namesSorted({odd, x}, 2), QStringList({QStringLiteral("x"), QStringLiteral("a")}));
}

TEST(HXSorting, NamesAreNumericAwareCaseInsensitiveAndEmptyLast) {
    EXPECT_LT(HXSortStrings(QStringLiteral("file 9"), QStringLiteral("File 10")), 0);
    EXPECT_GT(HXSortStrings(QStringLiteral(""), QStringLiteral("a")), 0);
    EXPECT_EQ(HXSortStrings(QStringLiteral("abc"), QStringLiteral("ABC")), 0);
    auto a = makeDictionary({{QStringLiteral("Name"), HXValue(QStringLiteral("Same"))},
                             {QStringLiteral("Path"), HXValue(QStringLiteral("/b"))}});
    auto b = makeDictionary({{QStringLiteral("Name"), HXValue(QStringLiteral("same"))},
                             {QStringLiteral("Path"), HXValue(QStringLiteral("/a"))}});
    EXPECT_GT(HXSortItemsByName(*a, *b), 0);
}

TEST(HXSorting, NumberValuesByKeyPutMissingLast) {
    auto a = makeDictionary({{QStringLiteral("k"), HXValue(3)}});
    auto b = makeDictionary({{QStringLiteral("k"), HXValue(1.5)}});
    auto c = HXDictionary::create();
    EXPECT_GT(HXSortDictionaryNumberValuesByKey(*a, *b, u"k"), 0);
    EXPECT_LT(HXSortDictionaryNumberValuesByKey(*a, *c, u"k"), 0);
    EXPECT_EQ(HXSortDictionaryNumberValuesByKey(*c, *c, u"k"), 0);
}
