#include "engine/HXListResorting.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXSorting.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kByTime = 2;

HXDictionaryRef item(const char* name, double time) {
    auto record = HXDictionary::create();
    record->setValue(HXKeys::Name, QString::fromUtf8(name));
    record->setTimeInterval(time, HXKeys::Time);
    return record;
}

QStringList namesOf(const HXArray& list) {
    QStringList names;
    for (const HXValue& v : list.values())
        names << v.toDictionary()->stringForKey(HXKeys::Name);
    return names;
}

class HXListResortingTest : public testing::Test {
protected:
    void SetUp() override {
        for (auto [name, time] :
             {std::pair{"Editor", 50.0}, {"Mail", 40.0}, {"Shell", 30.0}, {"Notes", 20.0}, {"Files", 10.0}})
            list->append(item(name, time));
        HXSortItemsInArray(*list, kByTime);
    }

    HXDictionary& at(int i) { return *list->values()[static_cast<std::size_t>(i)].toDictionary(); }

    // What a full sort makes of the list as it is now.
    QStringList fullySorted() {
        const HXArrayRef copy = list->shallowCopy();
        HXSortItemsInArray(*copy, kByTime);
        return namesOf(*copy);
    }

    HXArrayRef list = HXArray::create();
};

// Most ticks only add a little time to the records in front, which keep their places: the list is then
// left as it is, not written again.
TEST_F(HXListResortingTest, RecordsThatKeepTheirPlacesLeaveTheListUntouched) {
    const std::uint64_t rewrites = list->rewriteCount();
    at(0).addTimeInterval(0.5, HXKeys::Time);
    at(2).addTimeInterval(0.5, HXKeys::Time);
    HXDictionary* changed[] = {&at(0), &at(2)};
    EXPECT_TRUE(HXResortChangedItems(*list, changed, kByTime));
    EXPECT_EQ(list->rewriteCount(), rewrites);
    EXPECT_EQ(namesOf(*list), fullySorted());
}

TEST_F(HXListResortingTest, RecordsThatMoveEndWhereAFullSortPutsThem) {
    at(4).addTimeInterval(35, HXKeys::Time); // Files 45: second
    at(3).addTimeInterval(40, HXKeys::Time); // Notes 60: first
    HXDictionary* changed[] = {&at(3), &at(4)};
    const QStringList expected = fullySorted();
    EXPECT_TRUE(HXResortChangedItems(*list, changed, kByTime));
    EXPECT_EQ(namesOf(*list), expected);
    EXPECT_EQ(namesOf(*list), (QStringList{u"Notes"_s, u"Editor"_s, u"Files"_s, u"Mail"_s, u"Shell"_s}));
}

TEST_F(HXListResortingTest, UncertainCasesAreLeftToAFullSort) {
    const QStringList before = namesOf(*list);
    // A changed record missing from the list.
    const HXDictionaryRef stranger = item("Stranger", 1);
    HXDictionary* missing[] = {&at(0), stranger.get()};
    EXPECT_FALSE(HXResortChangedItems(*list, missing, kByTime));
    EXPECT_EQ(namesOf(*list), before);

    // A record equal to another in every criterion.
    at(1).setTimeInterval(30, HXKeys::Time);
    at(1).setValue(HXKeys::Name, QStringLiteral("Shell"));
    HXDictionary* tied[] = {&at(1)};
    EXPECT_FALSE(HXResortChangedItems(*list, tied, kByTime));
}

} // namespace
