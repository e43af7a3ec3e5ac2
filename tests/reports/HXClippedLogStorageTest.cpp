#include "reports/HXClippedLogStorage.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

std::vector<double> numbersFrom(double first, std::size_t count) {
    std::vector<double> numbers(count);
    std::iota(numbers.begin(), numbers.end(), first);
    return numbers;
}

std::vector<double> contents(const HXArray& array) {
    return std::vector<double>(array.doubles().begin(), array.doubles().end());
}

} // namespace

TEST(HXClippedLogStorage, HeldLogsNeverChangeAndGivenUpChunksAreFilledAgain) {
    HXClippedLogStorage storage;
    // Enough logs for several chunks, one of them longer than a chunk.
    std::vector<HXArrayRef> held;
    std::vector<std::vector<double>> expected;
    for (int i = 0; i < 300; ++i) {
        const std::size_t count = i == 150 ? 100000 : 500 + static_cast<std::size_t>(i);
        expected.push_back(numbersFrom(i * 1e6, count));
        held.push_back(storage.arrayWithNumbers(expected.back()));
    }
    const qsizetype chunks = storage.chunkCount();
    EXPECT_GT(chunks, 3);
    storage.trim();
    // A second list while the first is held goes elsewhere.
    std::vector<HXArrayRef> second;
    for (int i = 0; i < 300; ++i)
        second.push_back(storage.arrayWithNumbers(numbersFrom(-1.0 - i, 700)));
    for (std::size_t i = 0; i < held.size(); ++i) {
        ASSERT_EQ(contents(*held[i]), expected[i]) << i;
        EXPECT_TRUE(held[i]->isSortedByMagnitude());
    }
    EXPECT_EQ(contents(*second.back()), numbersFrom(-300, 700));

    // The first list given up but for one log: that log stays as it is, the room of the others is used again.
    const HXArrayRef kept = held[10];
    held.clear();
    const qsizetype beforeThird = storage.chunkCount();
    std::vector<HXArrayRef> third;
    for (int i = 0; i < 300; ++i)
        third.push_back(storage.arrayWithNumbers(numbersFrom(7e9 + i, 900)));
    EXPECT_EQ(contents(*kept), expected[10]);
    for (std::size_t i = 0; i < third.size(); ++i) {
        ASSERT_EQ(contents(*third[i]), numbersFrom(7e9 + static_cast<double>(i), 900));
        const double* begin = third[i]->doubles().data();
        EXPECT_FALSE(begin < kept->doubles().data() + kept->count() && kept->doubles().data() < begin + 900);
    }
    EXPECT_LE(storage.chunkCount(), beforeThird + 1);
    storage.trim();

    // A short list after the others are given up: trimming gives back all but its chunk and kept's.
    second.clear();
    third.clear();
    const HXArrayRef small = storage.arrayWithNumbers(numbersFrom(1, 10));
    storage.trim();
    EXPECT_EQ(storage.chunkCount(), 2);
    EXPECT_EQ(contents(*small), numbersFrom(1, 10));
    EXPECT_EQ(contents(*kept), expected[10]);
    EXPECT_EQ(storage.arrayWithNumbers({})->count(), 0);
}

TEST(HXClippedLogStorage, AListGivenUpIsOverwrittenFromItsStart) {
    HXClippedLogStorage storage;
    std::vector<HXArrayRef> list;
    for (int i = 0; i < 10; ++i)
        list.push_back(storage.arrayWithNumbers(numbersFrom(i, 100)));
    const double* const start = list.front()->doubles().data();
    EXPECT_EQ(list[1]->doubles().data(), start + 100);
    list.pop_back();
    // Still held in part: the next log goes after the last one.
    EXPECT_EQ(storage.arrayWithNumbers(numbersFrom(0, 5))->doubles().data(), start + 1000);
    list.clear();
    const HXArrayRef next = storage.arrayWithNumbers(numbersFrom(3, 100));
    EXPECT_EQ(next->doubles().data(), start);
    EXPECT_EQ(contents(*next), numbersFrom(3, 100));
    EXPECT_EQ(storage.chunkCount(), 1);
}
