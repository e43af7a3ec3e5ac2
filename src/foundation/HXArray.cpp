#include "foundation/HXArray.h"

#include "foundation/HXDictionary.h"

#include <cmath>

HXArray::~HXArray() {
    // A report list frees thousands of records, each a chain of loads from all over memory (the record,
    // its entries, what they refer to): the records a few places ahead are fetched while one is freed.
    const std::size_t n = m_values.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 8 < n)
            m_values[i + 8].prefetchReferent();
        if (i + 4 < n) {
            if (const HXDictionaryRef& d = m_values[i + 4].toDictionary())
                d->prefetchEntries();
        }
        if (i + 2 < n) {
            if (const HXDictionaryRef& d = m_values[i + 2].toDictionary())
                d->prefetchReferents();
        }
        m_values[i] = HXValue();
    }
}

HXArrayRef HXArray::createWithDoubles(std::vector<double> numbers) {
    auto array = create();
    array->m_doubles = std::move(numbers);
    array->updateSortedness();
    return array;
}

HXArrayRef HXArray::createWithBorrowedDoubles(std::shared_ptr<const void> owner,
                                              std::span<const double> numbers,
                                              std::optional<bool> sortedByMagnitude) {
    auto array = create();
    if (!numbers.empty()) {
        array->m_lender = std::move(owner);
        array->m_borrowed = numbers;
    }
    if (sortedByMagnitude)
        array->m_sortedByMagnitude = *sortedByMagnitude;
    else
        array->updateSortedness();
    return array;
}

void HXArray::own() {
    if (!m_lender)
        return;
    m_doubles.assign(m_borrowed.begin(), m_borrowed.end());
    m_lender.reset();
    m_borrowed = {};
}

bool HXIsSortedByMagnitude(std::span<const double> numbers) {
    return std::none_of(numbers.begin(), numbers.end(), [](double v) { return std::isnan(v); }) &&
           std::is_sorted(numbers.begin(), numbers.end(),
                          [](double a, double b) { return std::fabs(a) < std::fabs(b); });
}

void HXArray::updateSortedness() {
    m_sortedByMagnitude = HXIsSortedByMagnitude(doubles());
}

HXArrayRef HXArray::createWithValues(std::vector<HXValue> values) {
    auto array = create();
    const bool allReals = std::all_of(values.begin(), values.end(),
                                      [](const HXValue& v) { return v.type() == HXValueType::Real; });
    if (allReals) {
        array->m_doubles.reserve(values.size());
        for (const HXValue& v : values)
            array->m_doubles.push_back(v.realValue());
        array->updateSortedness();
    } else {
        array->m_packed = false;
        array->m_values = std::move(values);
    }
    return array;
}

HXValue HXArray::at(qsizetype index) const {
    if (index < 0 || index >= count())
        return {};
    if (m_packed)
        return HXValue(doubles()[static_cast<std::size_t>(index)]);
    return m_values[static_cast<std::size_t>(index)];
}

double HXArray::numberAt(qsizetype index) const {
    if (index < 0 || index >= count())
        return 0.0;
    if (m_packed)
        return doubles()[static_cast<std::size_t>(index)];
    return m_values[static_cast<std::size_t>(index)].toDouble();
}

HXDictionaryRef HXArray::dictionaryAt(qsizetype index) const {
    if (m_packed || index < 0 || index >= count())
        return nullptr;
    return m_values[static_cast<std::size_t>(index)].toDictionary();
}

void HXArray::unpack() {
    if (!m_packed)
        return;
    own();
    m_values.reserve(m_doubles.size() + 1);
    for (double d : m_doubles)
        m_values.emplace_back(d);
    m_doubles.clear();
    m_doubles.shrink_to_fit();
    m_packed = false;
}

void HXArray::append(const HXValue& value) {
    if (value.type() == HXValueType::Real) {
        appendDouble(value.realValue());
        return;
    }
    unpack();
    m_values.push_back(value);
}

void HXArray::appendDouble(double number) {
    own();
    if (m_packed) {
        if (m_sortedByMagnitude &&
            (std::isnan(number) || (!m_doubles.empty() && std::fabs(number) < std::fabs(m_doubles.back()))))
            m_sortedByMagnitude = false;
        m_doubles.push_back(number);
    } else
        m_values.emplace_back(number);
}

void HXArray::insert(qsizetype index, const HXValue& value) {
    ++m_rewrites;
    own();
    index = std::clamp<qsizetype>(index, 0, count());
    if (m_packed && value.type() == HXValueType::Real) {
        m_doubles.insert(m_doubles.begin() + index, value.realValue());
        updateSortedness();
        return;
    }
    unpack();
    m_values.insert(m_values.begin() + index, value);
}

void HXArray::replace(qsizetype index, const HXValue& value) {
    ++m_rewrites;
    if (index < 0 || index >= count())
        return;
    own();
    if (m_packed && value.type() == HXValueType::Real) {
        m_doubles[static_cast<std::size_t>(index)] = value.realValue();
        updateSortedness();
        return;
    }
    unpack();
    m_values[static_cast<std::size_t>(index)] = value;
}

qsizetype HXArray::removeNonFiniteNumbers() {
    const auto notFinite = [](double d) {
        return !std::isfinite(d);
    };
    if (m_packed) {
        if (std::none_of(doubles().begin(), doubles().end(), notFinite))
            return 0;
        own();
        ++m_rewrites;
        const auto removed = static_cast<qsizetype>(std::erase_if(m_doubles, notFinite));
        updateSortedness();
        return removed;
    }
    const auto removed = static_cast<qsizetype>(std::erase_if(m_values, [&](const HXValue& v) {
        return v.type() == HXValueType::Real && notFinite(v.realValue());
    }));
    if (removed > 0)
        ++m_rewrites;
    return removed;
}

void HXArray::removeAt(qsizetype index) {
    if (index < 0 || index >= count())
        return;
    ++m_rewrites;
    own();
    if (m_packed) {
        m_doubles.erase(m_doubles.begin() + index);
        return;
    }
    m_values.erase(m_values.begin() + index);
    if (m_values.empty()) {
        m_packed = true;
        m_sortedByMagnitude = true;
    }
}

void HXArray::removeLast() {
    removeAt(count() - 1);
}

void HXArray::clear() {
    ++m_rewrites;
    m_lender.reset();
    m_borrowed = {};
    m_doubles.clear();
    m_values.clear();
    m_packed = true;
    m_sortedByMagnitude = true;
}

void HXArray::assignValues(std::vector<HXValue> values) {
    ++m_rewrites;
    const HXArrayRef replacement = createWithValues(std::move(values));
    m_packed = replacement->m_packed;
    m_sortedByMagnitude = replacement->m_sortedByMagnitude;
    m_lender.reset();
    m_borrowed = {};
    m_doubles = std::move(replacement->m_doubles);
    m_values = std::move(replacement->m_values);
}

void HXArray::reserve(qsizetype n) {
    own();
    if (m_packed)
        m_doubles.reserve(static_cast<std::size_t>(n));
    else
        m_values.reserve(static_cast<std::size_t>(n));
}

qsizetype HXArray::indexOfDictionary(const HXDictionary* dictionary) const {
    if (m_packed || !dictionary)
        return -1;
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        if (m_values[i].toDictionary().get() == dictionary)
            return static_cast<qsizetype>(i);
    }
    return -1;
}

bool HXArray::removeDictionary(const HXDictionary* dictionary) {
    const qsizetype index = indexOfDictionary(dictionary);
    if (index < 0)
        return false;
    removeAt(index);
    return true;
}

HXArrayRef HXArray::shallowCopy() const {
    auto copy = create();
    copy->m_packed = m_packed;
    copy->m_sortedByMagnitude = m_sortedByMagnitude;
    copy->m_doubles = m_doubles;
    copy->m_lender = m_lender;
    copy->m_borrowed = m_borrowed;
    copy->m_values = m_values;
    return copy;
}

HXArrayRef HXArray::deepCopy() const {
    auto copy = create();
    copy->m_packed = m_packed;
    copy->m_sortedByMagnitude = m_sortedByMagnitude;
    copy->m_doubles.assign(doubles().begin(), doubles().end());
    copy->m_values.reserve(m_values.size());
    for (const HXValue& v : m_values)
        copy->m_values.push_back(v.deepCopy());
    return copy;
}

bool operator==(const HXArray& a, const HXArray& b) {
    if (a.count() != b.count())
        return false;
    if (a.m_packed && b.m_packed)
        return std::ranges::equal(a.doubles(), b.doubles());
    for (qsizetype i = 0; i < a.count(); ++i) {
        if (!(a.at(i) == b.at(i)))
            return false;
    }
    return true;
}
