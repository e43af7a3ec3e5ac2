#include "reports/HXCSVScanner.h"

#include "foundation/HXLog.h"

namespace {

constexpr QChar kQuote = u'"';

bool isBlank(QChar c) {
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QStringView trimmedBlanks(QStringView s) {
    while (!s.isEmpty() && isBlank(s.front()))
        s = s.sliced(1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
    return s;
}

} // namespace

HXCSVScanner::HXCSVScanner(QStringView text, QString separator, bool trimFields)
    : m_text(text), m_separator(std::move(separator)), m_trim(trimFields) {}

bool HXCSVScanner::scan(const RecordHandler& handler) {
    QStringView line;
    bool hasPlaceholders = false;
    while (nextSkeletonLine(line, hasPlaceholders)) {
        if (!line.isEmpty())
            handleLine(line, hasPlaceholders, handler);
        // A line's quoted texts belong to it alone, also when it was dropped before they were put back.
        m_lifted.clear();
        m_liftedStore.clear();
        m_liftedRead = 0;
    }
    if (m_dropped > kLoggedDrops)
        HXSystemLog(QStringLiteral("[HXCSVParser] %1 more records with an incorrect number of fields")
                        .arg(m_dropped - kLoggedDrops));
    return !m_failed;
}

// The next line with every quoted section lifted out and a single quote left in its place.
bool HXCSVScanner::nextSkeletonLine(QStringView& line, bool& hasPlaceholders) {
    const qsizetype n = m_text.size();
    if (m_failed || m_position >= n)
        return false;
    const qsizetype start = m_position;
    // Most lines hold no quote: the end of the line is then found with vectorised searches alone.
    const qsizetype newline = m_text.indexOf(u'\n', start);
    const QStringView rest = m_text.sliced(start, (newline < 0 ? n : newline) - start);
    const qsizetype quote = rest.indexOf(kQuote);
    const qsizetype cr = rest.indexOf(u'\r');
    if (quote < 0 || (cr >= 0 && cr < quote)) {
        const qsizetype end = start + (cr >= 0 ? cr : rest.size());
        line = m_text.sliced(start, end - start);
        hasPlaceholders = false;
        m_position =
            end < n ? end + ((m_text[end] == u'\r' && end + 1 < n && m_text[end + 1] == u'\n') ? 2 : 1) : n;
        return true;
    }
    qsizetype i = start;
    qsizetype run = start; // start of the text not yet copied into a built skeleton
    bool built = false;
    while (i < n) {
        const QChar c = m_text[i];
        if (c == u'\n' || c == u'\r')
            break;
        if (c != kQuote) {
            ++i;
            continue;
        }
        if (!built) {
            m_skeleton.clear();
            built = true;
        }
        m_skeleton.append(m_text.sliced(run, i - run));
        const qsizetype contentStart = i + 1;
        qsizetype close = m_text.indexOf(kQuote, contentStart);
        if (close < 0) {
            m_failed = true;
            return false;
        }
        if (close + 1 < n && m_text[close + 1] == kQuote) {
            QString content = m_text.sliced(contentStart, close - contentStart).toString();
            while (close + 1 < n && m_text[close + 1] == kQuote) {
                content.append(kQuote);
                const qsizetype next = m_text.indexOf(kQuote, close + 2);
                if (next < 0) {
                    m_failed = true;
                    return false;
                }
                content.append(m_text.sliced(close + 2, next - close - 2));
                close = next;
            }
            m_liftedStore.push_back(std::move(content));
            m_lifted.push_back(m_liftedStore.back());
        } else {
            m_lifted.push_back(m_text.sliced(contentStart, close - contentStart));
        }
        m_skeleton.append(kQuote);
        i = close + 1;
        run = i;
    }
    hasPlaceholders = built;
    if (built) {
        m_skeleton.append(m_text.sliced(run, i - run));
        line = m_skeleton;
    } else {
        line = m_text.sliced(start, i - start);
    }
    if (i < n)
        i += (m_text[i] == u'\r' && i + 1 < n && m_text[i + 1] == u'\n') ? 2 : 1;
    m_position = i;
    return true;
}

QStringView HXCSVScanner::takeLifted() {
    if (m_liftedRead >= m_lifted.size())
        return {};
    return m_lifted[m_liftedRead++];
}

void HXCSVScanner::handleLine(QStringView line, bool hasPlaceholders, const RecordHandler& handler) {
    m_fields.clear();
    m_fieldStore.clear();
    // One field more than expected already tells that a record is wrong: a line of millions of
    // separators is not split any further.
    const std::size_t limit = m_expected < 0 ? kMaximumFields : static_cast<std::size_t>(m_expected) + 1;
    bool truncated = false;
    if (m_separator.size() == 1) {
        const char16_t separator = m_separator[0].unicode();
        const char16_t* d = line.utf16();
        qsizetype fieldStart = 0;
        for (qsizetype i = 0; i < line.size() && !truncated; ++i) {
            if (d[i] == separator) {
                m_fields.push_back(line.sliced(fieldStart, i - fieldStart));
                fieldStart = i + 1;
                truncated = m_fields.size() >= limit;
            }
        }
        if (!truncated)
            m_fields.push_back(line.sliced(fieldStart));
    } else {
        qsizetype fieldStart = 0;
        while (!truncated) {
            const qsizetype at = m_separator.isEmpty() ? -1 : line.indexOf(m_separator, fieldStart);
            m_fields.push_back(line.sliced(fieldStart, (at < 0 ? line.size() : at) - fieldStart));
            if (at < 0)
                break;
            fieldStart = at + m_separator.size();
            truncated = m_fields.size() >= limit;
        }
    }
    if (truncated && m_expected < 0) {
        // Not a header any export writes: the next record gets the chance.
        logDropped(m_fields, line);
        return;
    }
    if (m_trim) {
        for (QStringView& field : m_fields)
            field = trimmedBlanks(field);
    }
    // Fields are completed in order, so the lifted texts go back to the placeholders they came from.
    if (hasPlaceholders) {
        qsizetype withQuotes = 0;
        for (const QStringView field : m_fields) {
            if (field.contains(kQuote))
                ++withQuotes;
        }
        m_fieldStore.reserve(static_cast<std::size_t>(withQuotes));
        for (QStringView& field : m_fields) {
            if (field.isEmpty() || !field.contains(kQuote))
                continue;
            QString value;
            for (const QChar c : field) {
                if (c == kQuote)
                    value.append(takeLifted());
                else
                    value.append(c);
            }
            m_fieldStore.push_back(std::move(value));
            field = m_fieldStore.back();
        }
    }
    const auto count = static_cast<qsizetype>(m_fields.size());
    if (m_expected < 0)
        m_expected = count;
    if (count != m_expected) {
        logDropped(m_fields, line);
        return;
    }
    handler(m_fields);
}

void HXCSVScanner::logDropped(std::span<const QStringView> fields, QStringView line) {
    if (++m_dropped > kLoggedDrops)
        return;
    // A line of any length logs a line of bounded length.
    const auto shortened = [](QStringView text) {
        return text.size() <= kLoggedLength ? text.toString()
                                            : text.first(kLoggedLength).toString() + QStringLiteral("...");
    };
    QString parts;
    for (const QStringView f : fields) {
        if (!parts.isEmpty())
            parts.append(QStringLiteral(", "));
        parts.append(f);
        if (parts.size() > kLoggedLength)
            break;
    }
    HXSystemLog(QStringLiteral(
                    "[HXCSVParser] incorrect number of fields in record: (%1) (expected: %2; raw line: %3)")
                    .arg(shortened(parts), QString::number(m_expected), shortened(line)));
}

std::optional<QList<QStringList>> scanCSVRecordsWithFieldSeparator(QStringView text, const QString& separator,
                                                                   bool trimFields) {
    QList<QStringList> records;
    HXCSVScanner scanner(text, separator, trimFields);
    const bool ok = scanner.scan([&records](std::span<const QStringView> fields) {
        QStringList record;
        record.reserve(static_cast<qsizetype>(fields.size()));
        for (const QStringView f : fields)
            record.append(f.toString());
        records.append(std::move(record));
    });
    if (!ok)
        return std::nullopt;
    return records;
}
