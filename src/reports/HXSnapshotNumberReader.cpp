#include "reports/HXSnapshotNumberReader.h"

#include "foundation/HXLog.h"

#include <charconv>

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
    // Copied as plain ASCII for from_chars: digits, one '.', a leading '-'.
    char buffer[64];
    std::size_t length = 0;
    qsizetype i = 0;
    if (i < field.size() && (field[i] == u'-' || field[i] == u'+')) {
        if (field[i] == u'-')
            buffer[length++] = '-';
        ++i;
    }
    bool digits = false;
    bool seenDecimal = false;
    for (; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c >= u'0' && c <= u'9') {
            if (length >= sizeof buffer - 1)
                return 0;
            buffer[length++] = static_cast<char>(c.unicode());
            digits = true;
        } else if (c == *m_decimal && !seenDecimal) {
            buffer[length++] = '.';
            seenDecimal = true;
        } else if (!seenDecimal && digits && isGroupSeparator(c) && i + 1 < field.size() &&
                   field[i + 1].isDigit()) {
            continue;
        } else {
            return 0;
        }
    }
    if (!digits)
        return 0;
    double value = 0;
    const std::from_chars_result r = std::from_chars(buffer, buffer + length, value);
    return r.ec == std::errc() && r.ptr == buffer + length ? value : 0;
}
