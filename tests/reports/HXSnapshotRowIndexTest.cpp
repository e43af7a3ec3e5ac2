#include "reports/HXSnapshotRowIndex.h"

#include <gtest/gtest.h>

TEST(SnapshotRowIndex, TriplesAreTold) {
    HXSnapshotRowIndex index;
    EXPECT_EQ(index.find(u"a", u"b", u"c"), HXSnapshotRowIndex::kAbsent);
    // The same characters split differently are other triples.
    index.insert(u"ab", u"c", u"", 1);
    index.insert(u"a", u"bc", u"", 2);
    index.insert(u"", u"abc", u"", 3);
    index.insert(u"", u"", u"abc", 4);
    EXPECT_EQ(index.find(u"ab", u"c", u""), 1u);
    EXPECT_EQ(index.find(u"a", u"bc", u""), 2u);
    EXPECT_EQ(index.find(u"", u"abc", u""), 3u);
    EXPECT_EQ(index.find(u"", u"", u"abc"), 4u);
    EXPECT_EQ(index.find(u"abc", u"", u""), HXSnapshotRowIndex::kAbsent);
    // Many entries: the table grows and keeps every one.
    for (std::uint32_t i = 0; i < 5000; ++i)
        index.insert(QString::number(i), QStringLiteral("App"), QString::number(i % 7), 100 + i);
    for (std::uint32_t i = 0; i < 5000; ++i)
        ASSERT_EQ(index.find(QString::number(i), u"App", QString::number(i % 7)), 100 + i);
    EXPECT_EQ(index.find(u"1", u"App", u"2"), HXSnapshotRowIndex::kAbsent);
    EXPECT_EQ(index.find(u"ab", u"c", u""), 1u);
}
