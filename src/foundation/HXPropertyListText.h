#pragma once

#include "foundation/HXValue.h"

#include <QString>
#include <QStringView>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <system_error>

// The texts of numbers and dates in XML property lists, as Python's plistlib writes and reads them:
// reals in the shortest form that reads back exactly ("1.5", "1e+16", "nan", "-inf"), integers in decimal
// (or "0x" hexadecimal when reading), dates as "YYYY-MM-DDTHH:MM:SSZ" in whole seconds.
namespace HXPropertyListText {

// Copies ASCII text into buffer for the number parsers; false for anything else or too long.
template <std::size_t N> bool toASCII(QStringView text, char (&buffer)[N], std::size_t& length) {
    if (static_cast<std::size_t>(text.size()) >= N)
        return false;
    length = static_cast<std::size_t>(text.size());
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t unit = text[static_cast<qsizetype>(i)].unicode();
        if (unit == 0 || unit >= 0x80)
            return false;
        buffer[i] = static_cast<char>(unit);
    }
    return true;
}

inline bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != lowerCase[i])
            return false;
    }
    return true;
}

inline bool parseReal(QStringView text, double& number) {
    char buffer[400];
    std::size_t length = 0;
    if (!toASCII(text.trimmed(), buffer, length) || length == 0)
        return false;
    std::string_view view(buffer, length);
    const bool negative = view.front() == '-';
    if (view.front() == '+' || negative)
        view.remove_prefix(1);
    if (equalsIgnoringCase(view, "nan")) {
        number = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (equalsIgnoringCase(view, "inf") || equalsIgnoringCase(view, "infinity")) {
        number =
            negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return true;
    }
    if (view.empty() || view.front() == '-' || view.front() == '+')
        return false;
    double magnitude = 0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), magnitude);
    if (error != std::errc() || end != view.data() + view.size() || std::isnan(magnitude) ||
        std::isinf(magnitude))
        return false;
    number = negative ? -magnitude : magnitude;
    return true;
}

// Decimal with an optional sign, or "0x" hexadecimal; from INT64_MIN to UINT64_MAX.
inline bool parseInteger(QStringView text, HXValue& value) {
    char buffer[80];
    std::size_t length = 0;
    if (!toASCII(text.trimmed(), buffer, length) || length == 0)
        return false;
    std::string_view view(buffer, length);
    int base = 10;
    const bool negative = view.front() == '-';
    if (view.front() == '+' || negative)
        view.remove_prefix(1);
    else if (view.size() > 2 && view[0] == '0' && (view[1] == 'x' || view[1] == 'X')) {
        view.remove_prefix(2);
        base = 16;
    }
    if (view.empty() || view.front() == '-' || view.front() == '+')
        return false;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), magnitude, base);
    if (error != std::errc() || end != view.data() + view.size())
        return false;
    if (!negative) {
        value = HXValue(static_cast<unsigned long long>(magnitude));
        return true;
    }
    constexpr std::uint64_t kMinimumMagnitude = std::uint64_t(1) << 63;
    if (magnitude > kMinimumMagnitude)
        return false;
    value = HXValue(static_cast<long long>(magnitude == kMinimumMagnitude
                                               ? std::numeric_limits<std::int64_t>::min()
                                               : -static_cast<std::int64_t>(magnitude)));
    return true;
}

// Python's repr() of a float: the shortest digits that read back exactly, in fixed notation for
// exponents from -4 to 15 and in scientific notation otherwise.
inline QString formatReal(double number) {
    if (std::isnan(number))
        return QStringLiteral("nan");
    if (std::isinf(number))
        return number > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    char scientific[32];
    const auto result =
        std::to_chars(scientific, scientific + sizeof scientific, number, std::chars_format::scientific);
    const std::string_view text(scientific, static_cast<std::size_t>(result.ptr - scientific));
    const std::size_t e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);
    char out[48] = {};
    std::size_t length = 0;
    const auto put = [&](char c) {
        out[length++] = c;
    };
    std::string_view mantissa = text.substr(0, e);
    if (mantissa.front() == '-') {
        put('-');
        mantissa.remove_prefix(1);
    }
    char digits[20] = {};
    std::size_t digitCount = 0;
    for (char c : mantissa) {
        if (c != '.')
            digits[digitCount++] = c;
    }
    if (exponent < -4 || exponent >= 16) {
        put(digits[0]);
        if (digitCount > 1) {
            put('.');
            for (std::size_t i = 1; i < digitCount; ++i)
                put(digits[i]);
        }
        put('e');
        put(exponent < 0 ? '-' : '+');
        const int magnitude = std::abs(exponent);
        if (magnitude >= 100)
            put(static_cast<char>('0' + magnitude / 100));
        put(static_cast<char>('0' + magnitude / 10 % 10));
        put(static_cast<char>('0' + magnitude % 10));
    } else if (exponent < 0) {
        put('0');
        put('.');
        for (int i = 0; i < -exponent - 1; ++i)
            put('0');
        for (std::size_t i = 0; i < digitCount; ++i)
            put(digits[i]);
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        for (std::size_t i = 0; i < integerDigits; ++i)
            put(i < digitCount ? digits[i] : '0');
        put('.');
        if (digitCount <= integerDigits)
            put('0');
        for (std::size_t i = integerDigits; i < digitCount; ++i)
            put(digits[i]);
    }
    return QString::fromLatin1(out, static_cast<qsizetype>(length));
}

inline constexpr std::int64_t kSecondsPerDay = 86400;
// Seconds from 1970-01-01 to 2001-01-01, the reference date of property-list dates.
inline constexpr std::int64_t kReferenceUnixSeconds = 978307200;

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
constexpr std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    std::int64_t year;
    int month;
    int day;
};

constexpr CivilDate civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

inline int daysInMonth(std::int64_t year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// "YYYY-MM-DDTHH:MM:SSZ" of a date, in whole seconds (rounded down) as the format holds them; false for
// dates outside the years 1 to 9999.
inline bool formatDate(HXDate date, QString& text) {
    const double unixSeconds = std::floor(date.absoluteTime) + static_cast<double>(kReferenceUnixSeconds);
    constexpr double kFirst = static_cast<double>(daysFromCivil(1, 1, 1) * kSecondsPerDay);
    constexpr double kEnd = static_cast<double>(daysFromCivil(10000, 1, 1) * kSecondsPerDay);
    if (!(unixSeconds >= kFirst && unixSeconds < kEnd))
        return false;
    const auto seconds = static_cast<std::int64_t>(unixSeconds);
    const std::int64_t days = (seconds >= 0 ? seconds : seconds - (kSecondsPerDay - 1)) / kSecondsPerDay;
    const std::int64_t secondOfDay = seconds - days * kSecondsPerDay;
    const CivilDate civil = civilFromDays(days);
    text = QStringLiteral("%1-%2-%3T%4:%5:%6Z")
               .arg(civil.year, 4, 10, QLatin1Char('0'))
               .arg(civil.month, 2, 10, QLatin1Char('0'))
               .arg(civil.day, 2, 10, QLatin1Char('0'))
               .arg(secondOfDay / 3600, 2, 10, QLatin1Char('0'))
               .arg(secondOfDay / 60 % 60, 2, 10, QLatin1Char('0'))
               .arg(secondOfDay % 60, 2, 10, QLatin1Char('0'));
    return true;
}

// Reads "YYYY-MM-DDTHH:MM:SSZ"; like plistlib, the trailing parts may be left out ("YYYY-MM-DDZ").
inline bool parseDate(QStringView text, HXDate& date) {
    text = text.trimmed();
    int fields[6] = {0, 1, 1, 0, 0, 0};
    static constexpr char16_t kSeparators[] = {u'-', u'-', u'T', u':', u':'};
    qsizetype position = 0;
    int field = 0;
    for (; field < 6; ++field) {
        if (field > 0) {
            if (position >= text.size() || text[position] != QChar(kSeparators[field - 1]))
                break;
            ++position;
        }
        const qsizetype width = field == 0 ? 4 : 2;
        if (position + width > text.size())
            return false;
        int number = 0;
        for (qsizetype i = 0; i < width; ++i) {
            const char16_t unit = text[position + i].unicode();
            if (unit < u'0' || unit > u'9')
                return false;
            number = number * 10 + (unit - u'0');
        }
        fields[field] = number;
        position += width;
    }
    if (position + 1 != text.size() || text[position] != u'Z')
        return false;
    const auto [year, month, day, hour, minute, second] = fields;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return false;
    const std::int64_t unixSeconds =
        daysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    date.absoluteTime = static_cast<double>(unixSeconds - kReferenceUnixSeconds);
    return true;
}

} // namespace HXPropertyListText
