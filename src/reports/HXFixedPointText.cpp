#include "reports/HXFixedPointText.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr std::int64_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// The correctly rounded digits from the scaled product when the product cannot lie on the other side of
// a rounding tie than the exact value; false when the general conversion must decide.
char* writeScaled(char* p, double value, int digits, QByteArrayView decimalSeparator) {
    const double scaled = std::fabs(value) * static_cast<double>(kPowers[digits]);
    if (!(scaled < 1e15))
        return nullptr;
    const double rounded = std::nearbyint(scaled);
    const double distance = std::fabs(std::fabs(scaled - rounded) - 0.5);
    if (distance <= 8 * std::numeric_limits<double>::epsilon() * std::max(1.0, scaled))
        return nullptr;
    const auto whole = static_cast<std::int64_t>(rounded);
    if (std::signbit(value))
        *p++ = '-';
    p = std::to_chars(p, p + 24, whole / kPowers[digits]).ptr;
    if (digits > 0) {
        std::copy(decimalSeparator.begin(), decimalSeparator.end(), p);
        p += decimalSeparator.size();
        std::int64_t fraction = whole % kPowers[digits];
        for (int i = digits - 1; i >= 0; --i) {
            p[i] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        p += digits;
    }
    return p;
}

} // namespace

char* HXWriteFixedPoint(char* p, double value, int fractionDigits, QByteArrayView decimalSeparator) {
    if (fractionDigits >= 0 && fractionDigits <= 6 && std::isfinite(value)) {
        if (char* end = writeScaled(p, value, fractionDigits, decimalSeparator))
            return end;
    }
    // Room for the 309 integer digits of the largest double and the fraction.
    char digits[kHXFixedPointMaximumLength];
    const int precision = std::clamp(fractionDigits, 0, 40);
    const std::to_chars_result r =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision);
    const char* end = r.ec == std::errc() ? r.ptr : digits;
    const char* point = std::find(static_cast<const char*>(digits), end, '.');
    p = std::copy(static_cast<const char*>(digits), point, p);
    if (point != end) {
        p = std::copy(decimalSeparator.begin(), decimalSeparator.end(), p);
        p = std::copy(point + 1, end, p);
    }
    return p;
}

void HXAppendFixedPoint(QByteArray& out, double value, int fractionDigits, QByteArrayView decimalSeparator) {
    char buffer[kHXFixedPointMaximumLength + 16];
    if (decimalSeparator.size() > 16) {
        HXAppendFixedPoint(out, value, fractionDigits, ".");
        return;
    }
    out.append(buffer, HXWriteFixedPoint(buffer, value, fractionDigits, decimalSeparator) - buffer);
}

QByteArray HXLocaleDecimalSeparator() {
    return QLocale().decimalPoint().toUtf8();
}
