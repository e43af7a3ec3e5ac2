#include "QtTypePrinting.h"

#include "platform/x11/HXX11CompoundText.h"
#include "platform/x11/HXX11TextDecoder.h"

#include <gtest/gtest.h>

namespace {

constexpr xcb_atom_t kUtf8String = 300;
constexpr xcb_atom_t kCompoundText = 301;
constexpr xcb_atom_t kOtherType = 302;

QString compound(const QByteArray& bytes) {
    return HXX11CompoundText::decode(bytes);
}

TEST(HXX11CompoundTextTest, CharacterSetsOfBothHalves) {
    // Plain text: ASCII on the left, Latin-1 on the right without any designation.
    EXPECT_EQ(compound("Caf\xe9 cr\xe8me"), QStringLiteral("Café crème"));
    // ISO 8859-2 and ISO 8859-5 designated to the right half.
    EXPECT_EQ(compound("\x1b-B\xb3\xf3\x64\xbc"), QStringLiteral("łódź"));
    EXPECT_EQ(compound("\x1b-L\xbc\xd8\xe0"), QStringLiteral("Мир"));
    // JIS X 0208 in the right half and GB 2312 in the left half, back to ASCII afterwards.
    EXPECT_EQ(compound("\x1b$)B\xc6\xfc\xcb\xdc!"), QStringLiteral("日本!"));
    EXPECT_EQ(compound("\x1b$(A\x56\x50\x1b(B ok"), QStringLiteral("中 ok"));
    // UTF-8 segments, ended or running to the end.
    EXPECT_EQ(compound("a\x1b%G\xe2\x9c\x93\x1b%@b"), QStringLiteral("a✓b"));
    EXPECT_EQ(compound("\x1b%G\xc3\xbc"), QStringLiteral("ü"));
    // An extended segment names its encoding.
    EXPECT_EQ(compound(QByteArray("\x1b%/1\x80\x8ciso8859-15\x02\xa4", 18)), QStringLiteral("€"));
}

TEST(HXX11CompoundTextTest, UnknownOrBrokenInputNeverFails) {
    // A 94-character set this decoder does not know.
    EXPECT_EQ(compound("x\x1b(Iab"), QStringLiteral("x\ufffd\ufffd"));
    EXPECT_EQ(compound("\x1b$)Z\xc6\xfc"), QStringLiteral("\ufffd"));
    // Cut escapes, control sequences and C1 controls.
    EXPECT_EQ(compound("ab\x1b"), QStringLiteral("ab"));
    EXPECT_EQ(compound("ab\x1b$"), QStringLiteral("ab"));
    EXPECT_EQ(compound("a\x9b\x31]b"), QStringLiteral("ab"));
    EXPECT_EQ(compound("a\x85\x01z"), QStringLiteral("az"));
    // An extended segment longer than the text.
    EXPECT_EQ(compound(QByteArray("\x1b%/1\xff\xffutf-8\x02ok", 14)), QStringLiteral("ok"));
    EXPECT_EQ(compound(QByteArray("\x1b%/1\x80\x85nostx", 11)), QString());
}

TEST(HXX11TextDecoderTest, DecodesByPropertyType) {
    const HXX11TextDecoder decoder(kUtf8String, kCompoundText);
    EXPECT_EQ(decoder.decode(kUtf8String, "\xc3\x9c"
                                          "berblick"),
              QStringLiteral("Überblick"));
    EXPECT_EQ(decoder.decode(XCB_ATOM_STRING, "\xdc"
                                              "berblick"),
              QStringLiteral("Überblick"));
    EXPECT_EQ(decoder.decode(kCompoundText, "\x1b-L\xbc\xd8\xe0"), QStringLiteral("Мир"));
    // Other types: UTF-8 when the bytes are valid UTF-8, else Latin-1.
    EXPECT_EQ(decoder.decode(kOtherType, "\xe2\x9c\x93"), QStringLiteral("✓"));
    EXPECT_EQ(decoder.decode(kOtherType, "\xfc"), QStringLiteral("ü"));
    // A list: the first element.
    EXPECT_EQ(decoder.decode(XCB_ATOM_STRING, QByteArray("first\0second", 12)), QStringLiteral("first"));
    EXPECT_EQ(decoder.decode(kUtf8String, QByteArray()), QString());
}

} // namespace
