#include "reports/HXCSVTextCheck.h"

#include "foundation/HXLocalization.h"

#include <cstring>

namespace {

// The length of the well-formed UTF-8 sequence at p (RFC 3629: no overlong forms, no surrogates,
// nothing above U+10FFFF), 0 when there is none.
qsizetype sequenceLength(const unsigned char* p, qsizetype left) {
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    const auto continuation = [&](qsizetype i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return i < left && p[i] >= low && p[i] <= high;
    };
    if (c >= 0xC2 && c <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned char low = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = c == 0xED ? 0x9F : 0xBF;
        return continuation(1, low, high) && continuation(2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned char low = c == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = c == 0xF4 ? 0x8F : 0xBF;
        return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
    }
    return 0;
}

} // namespace

QString HXCSVTextProblem(QByteArrayView data) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const qsizetype size = data.size();
    if (size > 0 && std::memchr(bytes, 0, static_cast<std::size_t>(size)))
        return HXLocalized("Not a text file");
    qsizetype line = 1;
    for (qsizetype i = 0; i < size;) {
        const qsizetype length = sequenceLength(bytes + i, size - i);
        if (length == 0)
            return HXLocalized("Not UTF-8 at line %1").arg(line);
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == size || bytes[i + 1] != '\n')))
            ++line;
        i += length;
    }
    return QString();
}
