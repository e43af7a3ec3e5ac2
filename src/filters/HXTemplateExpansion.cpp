#include "filters/HXTemplateExpansion.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

namespace {

constexpr UChar32 kBackslash = u'\\';
constexpr UChar32 kDollarSign = u'$';
constexpr UChar32 kLeftBrace = u'{';
constexpr UChar32 kRightBrace = u'}';

// Steps through the template by code points the way ICU's text iteration does, so that escapes are
// consumed exactly as appendReplacement consumes them (including after a malformed \u escape).
class TemplateCursor {
public:
    explicit TemplateCursor(QStringView text) : m_text(text) {}

    qsizetype position() const { return m_position; }

    UChar32 next() {
        if (m_position >= m_text.size())
            return U_SENTINEL;
        const char16_t unit = m_text[m_position++].unicode();
        if (QChar::isHighSurrogate(unit) && m_position < m_text.size() &&
            QChar::isLowSurrogate(m_text[m_position].unicode()))
            return static_cast<UChar32>(QChar::surrogateToUcs4(unit, m_text[m_position++].unicode()));
        return unit;
    }

    UChar32 previous() {
        if (m_position <= 0)
            return U_SENTINEL;
        const char16_t unit = m_text[--m_position].unicode();
        if (QChar::isLowSurrogate(unit) && m_position > 0 &&
            QChar::isHighSurrogate(m_text[m_position - 1].unicode())) {
            --m_position;
            return static_cast<UChar32>(QChar::surrogateToUcs4(m_text[m_position].unicode(), unit));
        }
        return unit;
    }

    UChar32 current() const {
        TemplateCursor probe = *this;
        return probe.next();
    }

    void move(int32_t delta) {
        for (; delta > 0 && next() != U_SENTINEL; --delta) {
        }
        for (; delta < 0 && previous() != U_SENTINEL; ++delta) {
        }
    }

private:
    QStringView m_text;
    qsizetype m_position = 0;
};

// u_unescapeAt() reads the escape through this callback, relative to the character after the backslash.
struct UnescapeContext {
    TemplateCursor* cursor;
    int32_t lastOffset;
};

UChar unescapeCharAt(int32_t offset, void* context) {
    auto* unescape = static_cast<UnescapeContext*>(context);
    UChar32 c;
    if (offset == unescape->lastOffset + 1) {
        c = unescape->cursor->next();
        ++unescape->lastOffset;
    } else if (offset == unescape->lastOffset) {
        c = unescape->cursor->previous();
        unescape->cursor->next();
    } else {
        unescape->cursor->move(offset - unescape->lastOffset - 1);
        c = unescape->cursor->next();
        unescape->lastOffset = offset;
    }
    return c >= 0 && c <= 0xFFFF ? static_cast<UChar>(c) : UChar(0);
}

void appendCodePoint(QString& text, UChar32 c) {
    text.append(QChar::fromUcs4(static_cast<char32_t>(c)));
}

bool isGroupNameCharacter(UChar32 c) {
    // As ICU has it: "0" is not accepted in a name reference.
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'1' && c <= u'9');
}

class Expander {
public:
    Expander(const icu::RegexMatcher& matcher, QStringView replacementTemplate, QStringView text,
             qsizetype offset)
        : m_matcher(matcher), m_template(replacementTemplate), m_cursor(replacementTemplate), m_text(text),
          m_offset(offset) {}

    HXTemplateExpansion run() {
        UChar32 c = m_cursor.next();
        while (c != U_SENTINEL) {
            if (c == kBackslash) {
                c = m_cursor.current();
                if (c == U_SENTINEL)
                    break;
                if (c == u'U' || c == u'u')
                    appendUnicodeEscape();
                else
                    appendCodePoint(m_result.text, m_cursor.next());
            } else if (c != kDollarSign) {
                appendCodePoint(m_result.text, c);
            } else {
                appendGroupReference();
            }
            if (U_FAILURE(m_result.status))
                break;
            c = m_cursor.next();
        }
        return std::move(m_result);
    }

private:
    void fail(UErrorCode status, const QString& reason) {
        m_result.status = status;
        m_result.reason = reason;
    }

    void appendUnicodeEscape() {
        int32_t offset = 0;
        UnescapeContext context{&m_cursor, -1};
        const UChar32 escaped = u_unescapeAt(unescapeCharAt, &offset, INT32_MAX, &context);
        // A malformed escape appends nothing; the characters read so far stay consumed.
        if (escaped == static_cast<UChar32>(0xFFFFFFFF))
            return;
        appendCodePoint(m_result.text, escaped);
        if (context.lastOffset == offset)
            m_cursor.previous();
        else if (context.lastOffset != offset - 1)
            m_cursor.move(offset - context.lastOffset - 1);
    }

    void appendGroupReference() {
        const qsizetype referenceStart = m_cursor.position() - 1;
        int32_t groupNumber = 0;
        UChar32 next = m_cursor.current();
        if (next == kLeftBrace) {
            icu::UnicodeString name;
            m_cursor.next();
            while (U_SUCCESS(m_result.status) && next != kRightBrace) {
                next = m_cursor.next();
                if (isGroupNameCharacter(next)) {
                    name.append(next);
                } else if (next == kRightBrace) {
                    UErrorCode lookup = U_ZERO_ERROR;
                    groupNumber = m_matcher.pattern().groupNumberFromName(name, lookup);
                    if (U_FAILURE(lookup) || groupNumber <= 0)
                        failReference(referenceStart);
                } else {
                    failReference(referenceStart);
                }
            }
        } else if (u_isdigit(next)) {
            const int32_t groupCount = m_matcher.groupCount();
            for (int32_t digits = 0;; ++digits) {
                next = m_cursor.current();
                if (next == U_SENTINEL || !u_isdigit(next))
                    break;
                const int32_t value = u_charDigitValue(next);
                // A digit that would make the number too big is left for the text.
                if (groupNumber * 10 + value > groupCount) {
                    if (digits == 0)
                        fail(U_INDEX_OUTOFBOUNDS_ERROR,
                             QStringLiteral("no capture group %1 at %2 in template <%3>")
                                 .arg(QString::number(value), QString::number(referenceStart),
                                      m_template.toString()));
                    break;
                }
                m_cursor.next();
                groupNumber = groupNumber * 10 + value;
            }
        } else {
            failReference(referenceStart);
        }
        if (U_SUCCESS(m_result.status))
            appendGroup(groupNumber);
    }

    void failReference(qsizetype referenceStart) {
        fail(U_REGEX_INVALID_CAPTURE_GROUP_NAME,
             QStringLiteral("invalid capture group reference at %1 in template <%2>")
                 .arg(QString::number(referenceStart), m_template.toString()));
    }

    void appendGroup(int32_t groupNumber) {
        UErrorCode status = U_ZERO_ERROR;
        const int64_t start = m_matcher.start64(groupNumber, status);
        const int64_t end = m_matcher.end64(groupNumber, status);
        if (U_FAILURE(status)) {
            fail(status, QStringLiteral("cannot read capture group %1").arg(groupNumber));
            return;
        }
        if (start < 0)
            return;
        const qsizetype from = static_cast<qsizetype>(start) + m_offset;
        const qsizetype to = static_cast<qsizetype>(end) + m_offset;
        if (from < 0 || to < from || to > m_text.size()) {
            fail(U_INDEX_OUTOFBOUNDS_ERROR, QStringLiteral("capture group %1 at %2..%3 lies outside the text "
                                                           "of length %4")
                                                .arg(QString::number(groupNumber), QString::number(from),
                                                     QString::number(to), QString::number(m_text.size())));
            return;
        }
        m_result.text.append(m_text.sliced(from, to - from));
    }

    const icu::RegexMatcher& m_matcher;
    QStringView m_template;
    TemplateCursor m_cursor;
    QStringView m_text;
    qsizetype m_offset;
    HXTemplateExpansion m_result;
};

} // namespace

HXTemplateExpansion HXExpandTemplate(const icu::RegexMatcher& matcher, QStringView replacementTemplate,
                                     QStringView text, qsizetype offset) {
    return Expander(matcher, replacementTemplate, text, offset).run();
}
