#include "foundation/HXValue.h"

#include "foundation/HXArray.h"
#include "foundation/HXDictionary.h"

#include <limits>

namespace {

const QString kEmptyString;
const QByteArray kEmptyData;
const HXArrayRef kNoArray;
const HXDictionaryRef kNoDictionary;

} // namespace

HXValue::HXValue(unsigned long long u) {
    if (u <= static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max()))
        m_data = static_cast<std::int64_t>(u);
    else
        m_data = static_cast<std::uint64_t>(u);
}

HXValue::HXValue(HXArrayRef array) {
    if (array)
        m_data = std::move(array);
}

HXValue::HXValue(HXDictionaryRef dictionary) {
    if (dictionary)
        m_data = std::move(dictionary);
}

bool HXValue::isNumber() const {
    switch (type()) {
    case HXValueType::Bool:
    case HXValueType::Integer:
    case HXValueType::UnsignedInteger:
    case HXValueType::Real:
        return true;
    default:
        return false;
    }
}

namespace {

// Saturating conversion: NaN reads as 0, out-of-range reals clamp instead of invoking undefined behaviour.
template <typename Int> Int clampedFromDouble(double d) {
    if (!(d == d))
        return 0;
    if (d <= static_cast<double>(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    if (d >= static_cast<double>(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(d);
}

} // namespace

std::int64_t HXValue::toInteger() const {
    switch (type()) {
    case HXValueType::Bool:
        return std::get<bool>(m_data) ? 1 : 0;
    case HXValueType::Integer:
        return std::get<std::int64_t>(m_data);
    case HXValueType::UnsignedInteger:
        return static_cast<std::int64_t>(std::get<std::uint64_t>(m_data));
    case HXValueType::Real:
        return clampedFromDouble<std::int64_t>(std::get<double>(m_data));
    default:
        return 0;
    }
}

std::uint64_t HXValue::toUnsignedInteger() const {
    switch (type()) {
    case HXValueType::Bool:
        return std::get<bool>(m_data) ? 1 : 0;
    case HXValueType::Integer:
        return static_cast<std::uint64_t>(std::get<std::int64_t>(m_data));
    case HXValueType::UnsignedInteger:
        return std::get<std::uint64_t>(m_data);
    case HXValueType::Real: {
        const double d = std::get<double>(m_data);
        if (d < 0)
            return static_cast<std::uint64_t>(clampedFromDouble<std::int64_t>(d));
        return clampedFromDouble<std::uint64_t>(d);
    }
    default:
        return 0;
    }
}

const QString& HXValue::toString() const {
    if (const auto* s = std::get_if<QString>(&m_data))
        return *s;
    return kEmptyString;
}

HXDate HXValue::toDate() const {
    if (const auto* d = std::get_if<HXDate>(&m_data))
        return *d;
    return {};
}

const QByteArray& HXValue::toData() const {
    if (const auto* d = std::get_if<QByteArray>(&m_data))
        return *d;
    return kEmptyData;
}

const HXArrayRef& HXValue::toArray() const {
    if (const auto* a = std::get_if<HXArrayRef>(&m_data))
        return *a;
    return kNoArray;
}

const HXDictionaryRef& HXValue::toDictionary() const {
    if (const auto* d = std::get_if<HXDictionaryRef>(&m_data))
        return *d;
    return kNoDictionary;
}

bool operator==(const HXValue& a, const HXValue& b) {
    if (a.isNumber() && b.isNumber()) {
        const HXValueType ta = a.type();
        const HXValueType tb = b.type();
        if (ta == HXValueType::Real || tb == HXValueType::Real || ta == HXValueType::Bool ||
            tb == HXValueType::Bool)
            return a.toDouble() == b.toDouble();
        if (ta != tb)
            return false; // an unsigned value above the signed range never equals a signed one
        return ta == HXValueType::Integer ? a.integerValue() == b.integerValue()
                                          : a.unsignedValue() == b.unsignedValue();
    }
    if (a.type() != b.type())
        return false;
    switch (a.type()) {
    case HXValueType::Null:
        return true;
    case HXValueType::String:
        return a.toString() == b.toString();
    case HXValueType::Date:
        return a.toDate() == b.toDate();
    case HXValueType::Data:
        return a.toData() == b.toData();
    case HXValueType::Array:
        return *a.toArray() == *b.toArray();
    case HXValueType::Dictionary:
        return *a.toDictionary() == *b.toDictionary();
    default:
        return false;
    }
}

bool HXValue::isIdenticalTo(const HXValue& other) const {
    if (isArray() && other.isArray())
        return toArray() == other.toArray();
    if (isDictionary() && other.isDictionary())
        return toDictionary() == other.toDictionary();
    if (isArray() || isDictionary() || other.isArray() || other.isDictionary())
        return false;
    return *this == other;
}

HXValue HXValue::deepCopy() const {
    if (isArray())
        return HXValue(toArray()->deepCopy());
    if (isDictionary())
        return HXValue(toDictionary()->deepCopy());
    return *this;
}
