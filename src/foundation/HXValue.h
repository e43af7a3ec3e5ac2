#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <variant>

class HXArray;
class HXDictionary;
using HXArrayRef = std::shared_ptr<HXArray>;
using HXDictionaryRef = std::shared_ptr<HXDictionary>;

// A property-list date: seconds since 2001-01-01 00:00:00 UTC, as the binary format stores it.
struct HXDate {
    static constexpr double kUnixOffset = 978307200.0;

    double absoluteTime = 0;

    static HXDate fromUnixTime(double unixSeconds) { return HXDate{unixSeconds - kUnixOffset}; }
    double unixTime() const { return absoluteTime + kUnixOffset; }
    friend bool operator==(const HXDate&, const HXDate&) = default;
};

enum class HXValueType : std::uint8_t {
    Null,
    Bool,
    Integer,
    UnsignedInteger, // only for values above the signed 64-bit range
    Real,
    String,
    Date,
    Data,
    Array,
    Dictionary,
};

// One property-list value. Arrays and dictionaries are held by shared reference: copying a value
// never copies a container, so a record found in one place is the same object everywhere.
// Reading never fails: a value of the wrong type reads as false, 0 or empty.
class HXValue {
public:
    HXValue() = default;
    HXValue(std::nullptr_t) {}
    HXValue(bool b) : m_data(b) {}
    HXValue(int i) : m_data(static_cast<std::int64_t>(i)) {}
    HXValue(long i) : m_data(static_cast<std::int64_t>(i)) {}
    HXValue(long long i) : m_data(static_cast<std::int64_t>(i)) {}
    HXValue(unsigned int u) : m_data(static_cast<std::int64_t>(u)) {}
    HXValue(unsigned long u) : HXValue(static_cast<unsigned long long>(u)) {}
    HXValue(unsigned long long u);
    HXValue(double d) : m_data(d) {}
    HXValue(const QString& s) : m_data(s) {}
    HXValue(QString&& s) : m_data(std::move(s)) {}
    HXValue(const char16_t* s) : m_data(QString::fromUtf16(s)) {}
    HXValue(HXDate d) : m_data(d) {}
    HXValue(const QByteArray& data) : m_data(data) {}
    HXValue(HXArrayRef array);
    HXValue(HXDictionaryRef dictionary);
    // Narrow text would silently become a boolean.
    HXValue(const char*) = delete;
    HXValue(const void*) = delete;

    HXValueType type() const { return static_cast<HXValueType>(m_data.index()); }
    bool isNull() const { return type() == HXValueType::Null; }
    // A number in the sense of the accessors: booleans, integers and reals.
    bool isNumber() const;
    bool isString() const { return type() == HXValueType::String; }
    bool isArray() const { return type() == HXValueType::Array; }
    bool isDictionary() const { return type() == HXValueType::Dictionary; }

    bool toBool() const {
        switch (type()) {
        case HXValueType::Bool:
            return *std::get_if<bool>(&m_data);
        case HXValueType::Integer:
            return *std::get_if<std::int64_t>(&m_data) != 0;
        case HXValueType::UnsignedInteger:
            return *std::get_if<std::uint64_t>(&m_data) != 0;
        case HXValueType::Real:
            return *std::get_if<double>(&m_data) != 0.0;
        default:
            return false;
        }
    }
    double toDouble() const {
        switch (type()) {
        case HXValueType::Bool:
            return *std::get_if<bool>(&m_data) ? 1.0 : 0.0;
        case HXValueType::Integer:
            return static_cast<double>(*std::get_if<std::int64_t>(&m_data));
        case HXValueType::UnsignedInteger:
            return static_cast<double>(*std::get_if<std::uint64_t>(&m_data));
        case HXValueType::Real:
            return *std::get_if<double>(&m_data);
        default:
            return 0.0;
        }
    }
    std::int64_t toInteger() const;
    std::uint64_t toUnsignedInteger() const;
    const QString& toString() const;
    HXDate toDate() const;
    const QByteArray& toData() const;
    const HXArrayRef& toArray() const;
    const HXDictionaryRef& toDictionary() const;

    // Raw access for codecs: the stored alternative exactly.
    bool boolValue() const { return std::get<bool>(m_data); }
    std::int64_t integerValue() const { return std::get<std::int64_t>(m_data); }
    std::uint64_t unsignedValue() const { return std::get<std::uint64_t>(m_data); }
    double realValue() const { return std::get<double>(m_data); }

    // Deep equality as property lists compare: numbers by value, dictionaries regardless of order.
    friend bool operator==(const HXValue& a, const HXValue& b);
    // Same object for containers, equal value otherwise.
    bool isIdenticalTo(const HXValue& other) const;

    // A copy that shares nothing mutable with this value.
    HXValue deepCopy() const;

    // Asks the processor for the memory the value refers to (a text's header with its reference count, a
    // container's reference counts and fields), for loops over many values that lie all over memory.
    void prefetchReferent() const {
        const char* p = nullptr;
        if (const auto* s = std::get_if<QString>(&m_data)) {
            // The header with the count lies just before the characters.
            __builtin_prefetch(reinterpret_cast<const char*>(s->constData()) - 16);
            return;
        }
        if (const auto* a = std::get_if<HXArrayRef>(&m_data))
            p = reinterpret_cast<const char*>(a->get());
        else if (const auto* d = std::get_if<HXDictionaryRef>(&m_data))
            p = reinterpret_cast<const char*>(d->get());
        if (p) {
            // An object made by make_shared has its counts just before it.
            __builtin_prefetch(p - sizeof(void*));
            __builtin_prefetch(p + 48);
        }
    }

private:
    std::variant<std::monostate, bool, std::int64_t, std::uint64_t, double, QString, HXDate, QByteArray,
                 HXArrayRef, HXDictionaryRef>
        m_data;
};
