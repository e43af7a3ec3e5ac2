#pragma once

#include "foundation/HXValue.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A shared, mutable property-list array. An array made only of real numbers (an event log) is stored
// packed as doubles and still reads and writes as an ordinary array of reals; any other element turns
// it into an ordinary array of values, so every stored type survives unchanged.
// Whether the numbers' absolute values never decrease and none is NaN (a NaN compares with nothing, so a
// log holding one cannot be searched).
bool HXIsSortedByMagnitude(std::span<const double> numbers);

class HXArray {
public:
    HXArray() = default;
    HXArray(const HXArray&) = delete;
    HXArray& operator=(const HXArray&) = delete;
    ~HXArray();

    static HXArrayRef create() { return std::make_shared<HXArray>(); }
    static HXArrayRef createWithDoubles(std::vector<double> numbers);
    // A packed array over numbers it does not own, for many short logs cut into one shared buffer: the
    // numbers must stay unchanged while owner lives, and the array copies them before its first change.
    // sortedByMagnitude, when the caller knows it, spares a look at every number.
    static HXArrayRef createWithBorrowedDoubles(std::shared_ptr<const void> owner,
                                                std::span<const double> numbers,
                                                std::optional<bool> sortedByMagnitude = std::nullopt);
    // Packs the values when they are all reals.
    static HXArrayRef createWithValues(std::vector<HXValue> values);
    // Parses property-list data (binary or XML); nil unless the top level is an array.
    static HXArrayRef deeplyMutableArrayWithData(QByteArrayView data);

    qsizetype count() const {
        return m_packed ? static_cast<qsizetype>(doubles().size()) : static_cast<qsizetype>(m_values.size());
    }
    bool isEmpty() const { return count() == 0; }

    // Null when out of range.
    HXValue at(qsizetype index) const;
    // The element's number (0 when out of range or not a number), without building a value.
    double numberAt(qsizetype index) const;
    HXValue last() const { return at(count() - 1); }
    HXDictionaryRef dictionaryAt(qsizetype index) const;

    // True while every element is a real number; then doubles() holds them.
    bool isPacked() const { return m_packed; }
    std::span<const double> doubles() const {
        return m_lender ? m_borrowed : std::span<const double>(m_doubles);
    }
    // True when the array is packed and its absolute values never decrease (a well-kept event log),
    // so that a timestamp can be found by binary search. Kept up to date as numbers are appended.
    bool isSortedByMagnitude() const { return m_packed && m_sortedByMagnitude; }
    // The elements of an ordinary array; empty for a packed one (which holds no containers).
    const std::vector<HXValue>& values() const { return m_values; }

    // How often the array was changed other than at its end (inserted into, replaced in, removed from,
    // cleared, reassigned, sorted): with the count and the last element it tells a reader that kept an
    // earlier look whether only values were appended since.
    std::uint64_t rewriteCount() const { return m_rewrites; }

    void append(const HXValue& value);
    void appendDouble(double number);
    void insert(qsizetype index, const HXValue& value);
    void replace(qsizetype index, const HXValue& value);
    void removeAt(qsizetype index);
    void removeLast();
    // Removes the numbers that are NaN or infinite; answers how many went.
    qsizetype removeNonFiniteNumbers();
    void clear();
    void reserve(qsizetype count);
    // Replaces every element (packing them when they are all reals).
    void assignValues(std::vector<HXValue> values);

    qsizetype indexOfDictionary(const HXDictionary* dictionary) const;
    bool removeDictionary(const HXDictionary* dictionary);

    // Stable sort of the elements; compare(a, b) answers -1, 0 or 1 like the comparators of HXSorting.h.
    template <typename Compare> void sortValues(Compare compare) {
        ++m_rewrites;
        own();
        if (m_packed) {
            std::stable_sort(m_doubles.begin(), m_doubles.end(),
                             [&](double a, double b) { return compare(HXValue(a), HXValue(b)) < 0; });
            updateSortedness();
            return;
        }
        std::stable_sort(m_values.begin(), m_values.end(),
                         [&](const HXValue& a, const HXValue& b) { return compare(a, b) < 0; });
    }

    HXArrayRef shallowCopy() const;
    HXArrayRef deepCopy() const;

    friend bool operator==(const HXArray& a, const HXArray& b);

private:
    void unpack();
    // Copies borrowed numbers into the array's own storage, ahead of a change.
    void own();

    void updateSortedness();

    std::uint64_t m_rewrites = 0;
    bool m_packed = true;
    bool m_sortedByMagnitude = true;
    std::vector<double> m_doubles;
    // Set while the numbers are borrowed (then m_doubles is empty).
    std::shared_ptr<const void> m_lender;
    std::span<const double> m_borrowed;
    std::vector<HXValue> m_values;
};
