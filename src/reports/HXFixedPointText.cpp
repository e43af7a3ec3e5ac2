#include "reports/HXFixedPointText.h"

#include <QLocale>

#include <algorithm>
#include <charconv>

void HXAppendFixedPoint(QByteArray& out, double value, int fractionDigits, QByteArrayView decimalSeparator) {
    // Room for the 309 integer digits of the largest double and the fraction.
    char digits[400];
    const int precision = std::clamp(fractionDigits, 0, 40);
    const std::to_chars_result r =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision);
    const char* end = r.ec == std::errc() ? r.ptr : digits;
    const char* point = std::find(static_cast<const char*>(digits), end, '.');
    out.append(digits, point - digits);
    if (point != end) {
        out.append(decimalSeparator);
        out.append(point + 1, end - point - 1);
    }
}

QByteArray HXLocaleDecimalSeparator() {
    return QLocale().decimalPoint().toUtf8();
}
