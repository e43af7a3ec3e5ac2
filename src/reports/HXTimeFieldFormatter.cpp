#include "reports/HXTimeFieldFormatter.h"

#include <charconv>
#include <cmath>
#include <initializer_list>

HXTimeFieldFormatter::HXTimeFieldFormatter(const QLocale& locale)
    : m_locale(locale), m_decimal(locale.decimalPoint().toUtf8()), m_minus(locale.negativeSign().toUtf8()) {
    if (!(locale.numberOptions() & QLocale::OmitGroupSeparator))
        m_group = locale.groupSeparator().toUtf8();
    if (locale.zeroDigit() != u"0")
        return;
    m_fast = true;
    for (const double sample :
         {0.0, 0.005, 7.5, 999.994, 1000.0, 12345.678, 1700000000.125, 98765432109.99, -1234567.891}) {
        QByteArray fast;
        if (!appendFast(fast, sample) || fast != m_locale.toString(sample, 'f', 2).toUtf8()) {
            m_fast = false;
            return;
        }
    }
}

bool HXTimeFieldFormatter::appendFast(QByteArray& out, double value) const {
    char digits[64];
    const std::to_chars_result r =
        std::to_chars(digits, digits + sizeof digits, std::fabs(value), std::chars_format::fixed, 2);
    if (r.ec != std::errc() || !m_fast)
        return false;
    const char* end = r.ptr;
    const char* point = end - 3;
    if (std::signbit(value) && value != 0)
        out.append(m_minus);
    const auto integerDigits = static_cast<int>(point - digits);
    for (int i = 0; i < integerDigits; ++i) {
        if (i > 0 && (integerDigits - i) % 3 == 0)
            out.append(m_group);
        out.append(digits[i]);
    }
    out.append(m_decimal);
    out.append(point + 1, 2);
    return true;
}

void HXTimeFieldFormatter::append(QByteArray& out, double value) const {
    if (std::isfinite(value) && appendFast(out, value))
        return;
    out.append(m_locale.toString(value, 'f', 2).toUtf8());
}

QByteArray HXTimeFieldFormatter::text(double value) const {
    QByteArray out;
    append(out, value);
    return out;
}
