#include "HotKeyTestSupport.h"

#include "hotkeys/HXKeyCodeConverter.h"
#include "hotkeys/HXModifierFlags.h"
#include "platform/HXKeyboardEvent.h"

#include <gtest/gtest.h>

using namespace HXModifierFlags;

TEST(HXKeyCodeConverter, NamedKeysSymbolsAndLayoutKeys) {
    HXFakeKeyboardLayout layout;
    layout.setKey(Keys::A, QStringLiteral("a"));
    layout.setKey(Keys::Acute, QString(), QString(), QString(QChar(0xB4)));
    layout.setKey(41, QStringLiteral("\u00F6"));
    layout.setKey(18, QStringLiteral("1"), QStringLiteral("!"));
    layout.setKey(27, QStringLiteral("ab"));
    struct Row {
        std::uint16_t code;
        const char16_t* name;
        const char16_t* keyEquivalent;
    };
    const Row rows[] = {
        {122, u"F1", u"F1"},         {96, u"F5", u"F5"},
        {80, u"F19", u"F19"},        {49, u"Space", u" "},
        {53, u"Escape", u"Escape"},  {114, u"Help", u"Help"},
        {82, u"#0", u"0"},           {87, u"#5", u"5"},
        {92, u"#9", u"9"},           {48, u"\u21E5", u"\t"},
        {36, u"\u21B5", u"\n"},      {76, u"\u2305", u"\u2305"},
        {51, u"\u232B", u"\u232B"},  {123, u"\u2190", u"\u2190"},
        {121, u"\u21DF", u"\u21DF"}, {0, u"A", u"a"},
        {41, u"\u00D6", u"\u00F6"},  {18, u"1", u"1"},
        {24, u"\u00B4", u"\u00B4"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(stringRepresentingKeyCode(&layout, row.code, false), QString::fromUtf16(row.name))
            << row.code;
        EXPECT_EQ(stringRepresentingKeyCode(&layout, row.code, true), QString::fromUtf16(row.keyEquivalent))
            << row.code;
    }
    // Several characters, an unknown key, or no layout: no name.
    EXPECT_TRUE(stringRepresentingKeyCode(&layout, 27, false).isNull());
    EXPECT_TRUE(stringRepresentingKeyCode(&layout, 11, false).isNull());
    EXPECT_TRUE(stringRepresentingKeyCode(nullptr, 0, false).isNull());
    EXPECT_EQ(stringRepresentingKeyCode(nullptr, 96, false), u"F5");

    EXPECT_EQ(HXStringFromKeyCode(&layout, 18, Shift), u"!");
    EXPECT_EQ(HXStringFromKeyCode(&layout, Keys::Acute, 0), u"\u00B4");
    EXPECT_TRUE(HXStringFromKeyCode(&layout, 11, 0).isNull());
    std::uint16_t code = 999;
    EXPECT_TRUE(HXGetKeyCodeForUniChar(&layout, QLatin1Char('!'), Shift, &code));
    EXPECT_EQ(code, 18);
    EXPECT_TRUE(HXGetKeyCodeForUniChar(&layout, QChar(0xB4), 0, &code));
    EXPECT_EQ(code, Keys::Acute);
    EXPECT_FALSE(HXGetKeyCodeForUniChar(&layout, QLatin1Char('z'), 0, &code));
    EXPECT_FALSE(HXGetKeyCodeForUniChar(nullptr, QLatin1Char('a'), 0, &code));
}

TEST(HXKeyCodeConverter, ModifierSymbolsInOrderWithSides) {
    EXPECT_EQ(
        stringRepresentingModifierFlags(Command | Shift | Option | Control | CapsLock | Function, false),
        u"\u2303\u2325\u21E7\u2318");
    EXPECT_EQ(stringRepresentingModifierFlags(Command | RightCommand | Control | LeftControl, false),
              u"\u2303\u2318");
    EXPECT_EQ(stringRepresentingModifierFlags(Command | RightCommand | Control | LeftControl, true),
              u"\u24C1\u2303\u24C7\u2318");
    EXPECT_EQ(stringRepresentingModifierFlags(Shift | LeftShift | RightShift | Option | RightOption, true),
              u"\u24C7\u2325\u24C1\u24C7\u21E7");
    EXPECT_EQ(stringRepresentingModifierFlags(0, true), u"");
}

TEST(HXKeyCodeConverter, LabelsAndPrefixTrimming) {
    EXPECT_EQ(keyboardLabelString(QStringLiteral("a")), u"A");
    EXPECT_EQ(keyboardLabelString(QStringLiteral("\u00FC")), u"\u00DC");
    EXPECT_EQ(keyboardLabelString(QStringLiteral("\u00E9")), u"\u00E9");
    EXPECT_EQ(keyboardLabelString(QStringLiteral("\u00C9")), u"\u00E9");
    EXPECT_EQ(keyboardLabelString(QStringLiteral("1")), u"1");
    EXPECT_EQ(stringByTrimmingModifierPrefix(QStringLiteral("\u24C1\u2303\u2325K")), u"K");
    EXPECT_EQ(stringByTrimmingModifierPrefix(QStringLiteral("\u2318^")), u"^");
    EXPECT_EQ(stringByTrimmingModifierPrefix(QStringLiteral("\u2318")), u"");
    EXPECT_EQ(stringByTrimmingModifierPrefix(QStringLiteral("^x^")), u"x");
}

TEST(HXKeyCodeConverter, EventRepresentationFallsBackToTheCharacters) {
    HXFakeKeyboardLayout layout;
    layout.setKey(Keys::K, QStringLiteral("k"));
    HXKeyboardEvent event;
    event.keyCode = Keys::K;
    event.modifierFlags = Command | RightCommand;
    EXPECT_EQ(visualKeyboardEventRepresentation(event, &layout, false), u"\u2318K");
    EXPECT_EQ(visualKeyboardEventRepresentation(event, &layout, true), u"\u24C7\u2318K");
    event.keyCode = 10;
    event.charactersIgnoringModifiers = QStringLiteral("\u00A7");
    EXPECT_EQ(visualKeyboardEventRepresentation(event, &layout, false), u"\u2318\u00A7");
    event.keyCode = Keys::Keypad5;
    event.modifierFlags = 0;
    EXPECT_EQ(visualKeyboardEventRepresentation(event, nullptr, false), u"#5");
}
