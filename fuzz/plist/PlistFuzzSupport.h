#pragma once

#include "FuzzRequire.h"

#include "foundation/HXArray.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXValue.h"

#include <bit>
#include <cstdint>

// Strict sameness for round trips: types, packing, key order and the bits of every real must match
// (HXValue's operator== compares numbers by value and NaN never equals itself).
inline bool sameValue(const HXValue& a, const HXValue& b) {
    if (a.type() != b.type())
        return false;
    switch (a.type()) {
    case HXValueType::Null:
        return true;
    case HXValueType::Bool:
        return a.boolValue() == b.boolValue();
    case HXValueType::Integer:
        return a.integerValue() == b.integerValue();
    case HXValueType::UnsignedInteger:
        return a.unsignedValue() == b.unsignedValue();
    case HXValueType::Real:
        return std::bit_cast<std::uint64_t>(a.realValue()) == std::bit_cast<std::uint64_t>(b.realValue());
    case HXValueType::String:
        return a.toString() == b.toString();
    case HXValueType::Date:
        return std::bit_cast<std::uint64_t>(a.toDate().absoluteTime) ==
               std::bit_cast<std::uint64_t>(b.toDate().absoluteTime);
    case HXValueType::Data:
        return a.toData() == b.toData();
    case HXValueType::Array: {
        const HXArray& x = *a.toArray();
        const HXArray& y = *b.toArray();
        if (x.isPacked() != y.isPacked() || x.count() != y.count())
            return false;
        for (qsizetype i = 0; i < x.count(); ++i) {
            if (!sameValue(x.at(i), y.at(i)))
                return false;
        }
        return true;
    }
    case HXValueType::Dictionary: {
        const auto& x = a.toDictionary()->entries();
        const auto& y = b.toDictionary()->entries();
        if (x.size() != y.size())
            return false;
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (x[i].key != y[i].key || !sameValue(x[i].value, y[i].value))
                return false;
        }
        return true;
    }
    }
    return false;
}
