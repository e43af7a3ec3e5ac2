#pragma once

#include <QByteArray>
#include <QString>

// Decodes COMPOUND_TEXT, the ISO 2022 form older Xlib clients use for window titles: ASCII and Latin-1,
// the other ISO 8859 right halves, GB 2312, JIS X 0208 and KS C 5601 in either half, and UTF-8 segments.
// Text in a character set it does not know becomes U+FFFD.
namespace HXX11CompoundText {

QString decode(const QByteArray& text);

} // namespace HXX11CompoundText
