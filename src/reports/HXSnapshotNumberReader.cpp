#include "reports/HXSnapshotNumberReader.h"

#include "foundation/HXLog.h"

#include <charconv>
#include <cstdint>

HXSnapshotNumberReader::HXSnapshotNumberReader(QStringView sample, const QLocale& locale)
    : m_locale(locale), m_localeGroup(locale.groupSeparator()) {
    const QChar candidate = sample.size() >= 3 ? sample[sample.size() - 3] : QChar();
    if (candidate == u'.' || candidate == u',') {
        m_decimal = candidate;
        m_group = candidate == u'.' ? QChar(u',') : QChar(u'.');
        HXDebugLog(QStringLiteral("decimal separator: <%1> (inferred grouping separator: <%2>)")
                       .arg(QString(candidate), QString(m_group)));
    } else {
        HXDebugLog(QStringLiteral("decimal separator: <%1> (falling back to localized formatting)")
                       .arg(candidate.isNull() ? QString() : QString(candidate)));
    }
}

bool HXSnapshotNumberReader::isGroupSeparator(QChar c) const {
    return c == m_group || c == u'\u00A0' || c == u'\u202F' || c == u'\u2019' || c == u'\'' || c == u' ' ||
           (!m_localeGroup.isEmpty() && m_localeGroup.size() == 1 && c == m_localeGroup[0]);
}

double HXSnapshotNumberReader::read(QStringView field) const {
    if (!m_decimal) {
        bool ok = false;
        const double value = m_locale.toDouble(field, &ok);
        return ok ? value : 0;
    }
    // Digits are gathered as an integer: with at most 15 of them both it and the power of ten are exact,
    // so one division rounds the decimal value correctly, as from_chars would. Longer texts go through
    // from_chars as plain ASCII.
    char buffer[64];
    std::size_t length = 0;
    std::uint64_t whole = 0;
    int digitCount = 0;
    int fractionDigits = 0;
    qsizetype i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == u'-' || field[i] == u'+')) {
        negative = field[i] == u'-';
        if (negative)
            buffer[length++] = '-';
        ++i;
    }
    bool seenDecimal = false;
    for (; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c >= u'0' && c <= u'9') {
            if (length >= sizeof buffer - 1)
                return 0;
            buffer[length++] = static_cast<char>(c.unicode());
            if (digitCount < 18)
                whole = whole * 10 + (c.unicode() - u'0');
            ++digitCount;
            if (seenDecimal)
                ++fractionDigits;
        } else if (c == *m_decimal && !seenDecimal) {
            buffer[length++] = '.';
            seenDecimal = true;
        } else if (!seenDecimal && digitCount > 0 && isGroupSeparator(c) && i + 1 < field.size() &&
                   field[i + 1].isDigit()) {
            continue;
        } else {
            return 0;
        }
    }
    if (digitCount == 0)
        return 0;
    if (digitCount <= 15) {
        static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double value = static_cast<double>(whole) / kPowers[fractionDigits];
        return negative ? -value : value;
    }
    double value = 0;
    const std::from_chars_result r = std::from_chars(buffer, buffer + length, value);
    return r.ec == std::errc() && r.ptr == buffer + length ? value : 0;
}
