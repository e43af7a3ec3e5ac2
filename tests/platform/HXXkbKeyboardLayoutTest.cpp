// Key names for fixed layouts compiled from their names: no display needed, only the XKB data files.
#include "platform/x11/HXXkbKeyboardLayout.h"
#include "hotkeys/HXKeyCodeConverter.h"
#include "platform/x11/HXX11KeyCodes.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<HXXkbKeyboardLayout> layout(const char* name) {
    HXXkbKeyboardLayout::Names names;
    names.layout = name;
    return HXXkbKeyboardLayout::fromNames(names);
}

constexpr std::uint64_t kShift = 0x20000;

} // namespace

TEST(HXXkbKeyboardLayout, KeyNamesForUsAndGerman) {
    const auto us = layout("us");
    const auto de = layout("de");
    ASSERT_TRUE(us) << "no XKB data (xkb-data)";
    ASSERT_TRUE(de);
    struct Row {
        std::uint16_t code;
        const char16_t* us;
        const char16_t* de;
    };
    const Row rows[] = {
        {96, u"F5", u"F5"},
        {122, u"F1", u"F1"},
        {87, u"#5", u"#5"},
        {82, u"#0", u"#0"},
        {36, u"\u21B5", u"\u21B5"},
        {76, u"\u2305", u"\u2305"},
        {49, u"Space", u"Space"},
        {0, u"A", u"A"},
        {16, u"Y", u"Z"},
        {6, u"Z", u"Y"},
        {41, u";", u"\u00D6"},
        {33, u"[", u"\u00DC"},
        {27, u"-", u"\u00DF"},
        {18, u"1", u"1"},
        {67, u"*", u"*"},
        // Dead keys show their spacing characters.
        {24, u"=", u"\u00B4"},
        {50, u"`", u"^"},
        {30, u"]", u"+"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(stringRepresentingKeyCode(us.get(), row.code, false), QString::fromUtf16(row.us))
            << row.code;
        EXPECT_EQ(stringRepresentingKeyCode(de.get(), row.code, false), QString::fromUtf16(row.de))
            << row.code;
    }
    EXPECT_EQ(stringRepresentingKeyCode(de.get(), 41, true), u"\u00F6");
    EXPECT_EQ(stringRepresentingKeyCode(us.get(), 36, true), u"\n");
    // A key without a place on the keyboard has no name.
    EXPECT_TRUE(stringRepresentingKeyCode(us.get(), 52, false).isNull());
    EXPECT_FALSE(us->translate(52, 0));

    EXPECT_EQ(HXStringFromKeyCode(us.get(), 19, kShift), u"@");
    EXPECT_EQ(HXStringFromKeyCode(de.get(), 19, kShift), u"\"");
    EXPECT_EQ(HXStringFromKeyCode(de.get(), 50, 0), u"^");
    EXPECT_EQ(HXStringFromKeyCode(de.get(), 24, kShift), u"`");
    std::uint16_t code = 0;
    ASSERT_TRUE(HXGetKeyCodeForUniChar(de.get(), QLatin1Char('z'), 0, &code));
    EXPECT_EQ(code, 16);
    ASSERT_TRUE(HXGetKeyCodeForUniChar(us.get(), QLatin1Char('z'), 0, &code));
    EXPECT_EQ(code, 6);
    EXPECT_FALSE(HXGetKeyCodeForUniChar(us.get(), QChar(0xF6), 0, &code));
}

TEST(HXXkbKeyboardLayout, NativeKeyCodesAndGroups) {
    HXXkbKeyboardLayout::Names names;
    names.layout = "us,de";
    const auto both = HXXkbKeyboardLayout::fromNames(names);
    ASSERT_TRUE(both);
    // evdev numbers: A is 38, Return 36, the key left of Z on ISO keyboards 94.
    EXPECT_EQ(both->nativeKeyCodeForKeyCode(0), 38u);
    EXPECT_EQ(both->keyCodeForNativeKeyCode(38), 0);
    EXPECT_EQ(both->keyCodeForNativeKeyCode(36), 36);
    EXPECT_EQ(both->keyCodeForNativeKeyCode(94), 10);
    EXPECT_EQ(both->keyCodeForNativeKeyCode(51), 42) << "backslash";
    EXPECT_FALSE(both->keyCodeForNativeKeyCode(9999));
    EXPECT_EQ(stringRepresentingKeyCode(both.get(), 16, false), u"Y");
    both->setGroup(1);
    EXPECT_EQ(stringRepresentingKeyCode(both.get(), 16, false), u"Z");

    names.layout = "no-such-layout-here";
    EXPECT_FALSE(HXXkbKeyboardLayout::fromNames(names));
}

TEST(HXX11KeyCodes, EveryVirtualKeyCodeHasOneNameAndBack) {
    int named = 0;
    for (std::uint16_t code = 0; code < 128; ++code) {
        const std::optional<std::string_view> name = HXXkbKeyNameForKeyCode(code);
        if (!name)
            continue;
        ++named;
        EXPECT_EQ(HXKeyCodeForXkbKeyName(*name), code) << std::string(*name);
    }
    EXPECT_EQ(named, 117);
    EXPECT_EQ(HXXkbKeyNameForKeyCode(0), "AC01");
    EXPECT_EQ(HXXkbKeyNameForKeyCode(36), "RTRN");
    EXPECT_EQ(HXXkbKeyNameForKeyCode(48), "TAB");
    EXPECT_EQ(HXXkbKeyNameForKeyCode(49), "SPCE");
    EXPECT_EQ(HXXkbKeyNameForKeyCode(53), "ESC");
    EXPECT_EQ(HXXkbKeyNameForKeyCode(96), "FK05");
    EXPECT_EQ(HXKeyCodeForXkbKeyName("AC12"), 42);
    EXPECT_FALSE(HXKeyCodeForXkbKeyName("I248"));
}
