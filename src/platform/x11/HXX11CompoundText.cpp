#include "platform/x11/HXX11CompoundText.h"

#include <unicode/ucnv.h>

#include <memory>

namespace {

constexpr char kEscape = 0x1b;
constexpr unsigned char kControlSequenceIntroducer = 0x9b;

// The character set a half of the code table is switched to. An empty ICU name with width 1 is plain
// Latin-1 (ASCII in the left half); a null name is a set this decoder does not know.
struct Charset {
    const char* icuName = "";
    int width = 1;
};

constexpr Charset kUnknown{nullptr, 1};

Charset ninetySixSet(char final) {
    switch (final) {
    case 'A':
        return {"", 1};
    case 'B':
        return {"ISO-8859-2", 1};
    case 'C':
        return {"ISO-8859-3", 1};
    case 'D':
        return {"ISO-8859-4", 1};
    case 'F':
        return {"ISO-8859-7", 1};
    case 'G':
        return {"ISO-8859-6", 1};
    case 'H':
        return {"ISO-8859-8", 1};
    case 'L':
        return {"ISO-8859-5", 1};
    case 'M':
        return {"ISO-8859-9", 1};
    default:
        return kUnknown;
    }
}

Charset doubleByteSet(char final) {
    switch (final) {
    case 'A':
        return {"EUC-CN", 2};
    case 'B':
        return {"EUC-JP", 2};
    case 'C':
        return {"EUC-KR", 2};
    default:
        return {nullptr, 2};
    }
}

Charset singleByteNinetyFourSet(char final) {
    // ASCII, or JIS X 0201 Roman, which differs from it in two glyphs only.
    if (final == 'B' || final == 'J')
        return {"", 1};
    return kUnknown;
}

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

QString convert(const char* icuName, const QByteArray& bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(icuName, &status));
    if (U_FAILURE(status))
        return QString(bytes.size(), QChar::ReplacementCharacter);
    QString out(bytes.size() + 1, Qt::Uninitialized);
    status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                      bytes.constData(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status))
        return QString(bytes.size(), QChar::ReplacementCharacter);
    out.truncate(length);
    return out;
}

class Decoder {
public:
    explicit Decoder(const QByteArray& text) : m_text(text) {}

    QString run() {
        while (m_pos < m_text.size()) {
            const auto byte = static_cast<unsigned char>(m_text[m_pos]);
            if (byte == static_cast<unsigned char>(kEscape))
                escape();
            else if (byte == kControlSequenceIntroducer)
                skipControlSequence();
            else if (byte < 0x20 && byte != '\t' && byte != '\n')
                ++m_pos;
            else if (byte >= 0x80 && byte < 0xa0)
                ++m_pos;
            else
                graphicRun(byte >= 0x80);
        }
        flush();
        return m_out;
    }

private:
    void escape() {
        flush();
        const qsizetype rest = m_text.size() - m_pos;
        if (rest < 3) {
            m_pos = m_text.size();
            return;
        }
        const char a = m_text[m_pos + 1];
        const char b = m_text[m_pos + 2];
        if (a == '%' && b == 'G') {
            utf8Segment();
            return;
        }
        if (a == '%' && b == '/' && rest >= 6) {
            extendedSegment();
            return;
        }
        if (a == '(') {
            m_left = singleByteNinetyFourSet(b);
        } else if (a == ')') {
            m_right = singleByteNinetyFourSet(b);
        } else if (a == '-') {
            m_right = ninetySixSet(b);
        } else if (a == '$' && rest >= 4 && (b == '(' || b == ')')) {
            (b == '(' ? m_left : m_right) = doubleByteSet(m_text[m_pos + 3]);
            m_pos += 4;
            return;
        }
        m_pos += 3;
    }

    // ESC % G ... ESC % @ holds UTF-8.
    void utf8Segment() {
        m_pos += 3;
        const qsizetype end = m_text.indexOf("\x1b%@", m_pos);
        const qsizetype stop = end < 0 ? m_text.size() : end;
        m_out += QString::fromUtf8(m_text.constData() + m_pos, stop - m_pos);
        m_pos = end < 0 ? m_text.size() : end + 3;
    }

    // ESC % / F M L, then M L bytes: an encoding name, STX and the text in that encoding.
    void extendedSegment() {
        const auto m = static_cast<unsigned char>(m_text[m_pos + 4]);
        const auto l = static_cast<unsigned char>(m_text[m_pos + 5]);
        m_pos += 6;
        const qsizetype length = qsizetype(m & 0x7f) * 128 + (l & 0x7f);
        const QByteArray segment = m_text.mid(m_pos, length);
        m_pos = std::min(m_text.size(), m_pos + length);
        const qsizetype stx = segment.indexOf('\x02');
        if (stx < 0)
            return;
        const QByteArray name = segment.left(stx).toLower();
        const QByteArray data = segment.mid(stx + 1);
        if (name == "utf-8")
            m_out += QString::fromUtf8(data);
        else
            m_out += convert(name.constData(), data);
    }

    void skipControlSequence() {
        flush();
        ++m_pos;
        while (m_pos < m_text.size()) {
            const auto byte = static_cast<unsigned char>(m_text[m_pos++]);
            if (byte >= 0x40 && byte <= 0x7e)
                break;
        }
    }

    void graphicRun(bool right) {
        if (right != m_runIsRight)
            flush();
        m_runIsRight = right;
        m_run += m_text[m_pos++];
    }

    void flush() {
        if (m_run.isEmpty())
            return;
        const Charset& set = m_runIsRight ? m_right : m_left;
        if (!set.icuName) {
            m_out += QString(m_run.size() / set.width, QChar::ReplacementCharacter);
        } else if (*set.icuName == '\0') {
            m_out += QString::fromLatin1(m_run);
        } else {
            // The ICU tables take the right-half (high bit set) form of every set.
            QByteArray high = m_run;
            for (char& c : high)
                c = static_cast<char>(static_cast<unsigned char>(c) | 0x80);
            m_out += convert(set.icuName, high);
        }
        m_run.clear();
    }

    const QByteArray& m_text;
    qsizetype m_pos = 0;
    Charset m_left{"", 1};
    Charset m_right{"", 1};
    QByteArray m_run;
    bool m_runIsRight = false;
    QString m_out;
};

} // namespace

QString HXX11CompoundText::decode(const QByteArray& text) {
    return Decoder(text).run();
}
