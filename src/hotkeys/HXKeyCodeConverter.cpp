#include "hotkeys/HXKeyCodeConverter.h"

#include "hotkeys/HXModifierFlags.h"
#include "platform/HXKeyboardEvent.h"
#include "platform/HXKeyboardLayout.h"

#include <array>

namespace {

struct NamedKey {
    std::uint16_t code;
    const char16_t* name;
    const char16_t* keyEquivalent;
};

constexpr std::array<NamedKey, 32> kNamedKeys{{
    {122, u"F1", nullptr},    {120, u"F2", nullptr},   {99, u"F3", nullptr},   {118, u"F4", nullptr},
    {96, u"F5", nullptr},     {97, u"F6", nullptr},    {98, u"F7", nullptr},   {100, u"F8", nullptr},
    {101, u"F9", nullptr},    {109, u"F10", nullptr},  {103, u"F11", nullptr}, {111, u"F12", nullptr},
    {105, u"F13", nullptr},   {107, u"F14", nullptr},  {113, u"F15", nullptr}, {106, u"F16", nullptr},
    {64, u"F17", nullptr},    {79, u"F18", nullptr},   {80, u"F19", nullptr},  {49, u"Space", u" "},
    {53, u"Escape", nullptr}, {114, u"Help", nullptr}, {82, u"#0", u"0"},      {83, u"#1", u"1"},
    {84, u"#2", u"2"},        {85, u"#3", u"3"},       {86, u"#4", u"4"},      {87, u"#5", u"5"},
    {88, u"#6", u"6"},        {89, u"#7", u"7"},       {91, u"#8", u"8"},      {92, u"#9", u"9"},
}};

struct SymbolKey {
    std::uint16_t code;
    char16_t symbol;
    const char16_t* keyEquivalent;
};

constexpr std::array<SymbolKey, 13> kSymbolKeys{{
    {48, u'\u21E5', u"\t"},
    {51, u'\u232B', nullptr},
    {36, u'\u21B5', u"\n"},
    {76, u'\u2305', nullptr},
    {117, u'\u2326', nullptr},
    {123, u'\u2190', nullptr},
    {124, u'\u2192', nullptr},
    {125, u'\u2193', nullptr},
    {126, u'\u2191', nullptr},
    {115, u'\u2196', nullptr},
    {119, u'\u2198', nullptr},
    {116, u'\u21DE', nullptr},
    {121, u'\u21DF', nullptr},
}};

constexpr char16_t kLeftMarker = u'\u24C1';
constexpr char16_t kRightMarker = u'\u24C7';

const QString& letters() {
    static const QString text =
        QStringLiteral("abcdefghijklmnopqrstuvwxyz%1%2%3ABCDEFGHIJKLMNOPQRSTUVWXYZ%4%5%6")
            .arg(QChar(0xE4))
            .arg(QChar(0xF6))
            .arg(QChar(0xFC))
            .arg(QChar(0xC4))
            .arg(QChar(0xD6))
            .arg(QChar(0xDC));
    return text;
}

const QString& modifierPrefixCharacters() {
    static const QString text = shiftKeyLabelString() + controlKeyLabelString() + alternateKeyLabelString() +
                                commandKeyLabelString() + QChar(kLeftMarker) + QChar(kRightMarker) +
                                QLatin1Char('^');
    return text;
}

} // namespace

QString shiftKeyLabelString() {
    return QString(QChar(0x21E7));
}

QString controlKeyLabelString() {
    return QString(QChar(0x2303));
}

QString alternateKeyLabelString() {
    return QString(QChar(0x2325));
}

QString commandKeyLabelString() {
    return QString(QChar(0x2318));
}

QString stringRepresentingKeyCode(const HXKeyboardLayout* layout, std::uint16_t keyCode, bool keyEquivalent) {
    for (const NamedKey& key : kNamedKeys) {
        if (key.code == keyCode)
            return QString::fromUtf16(keyEquivalent && key.keyEquivalent ? key.keyEquivalent : key.name);
    }
    for (const SymbolKey& key : kSymbolKeys) {
        if (key.code == keyCode)
            return keyEquivalent && key.keyEquivalent ? QString::fromUtf16(key.keyEquivalent)
                                                      : QString(QChar(key.symbol));
    }
    if (!layout)
        return QString();
    const std::optional<HXKeyboardLayout::Translation> translation = layout->translate(keyCode, 0);
    if (!translation)
        return QString();
    // A dead key is named by its own spacing character.
    const QString& text = translation->text.isEmpty() ? translation->deadKeyText : translation->text;
    if (text.size() != 1)
        return QString();
    return keyEquivalent ? text.toLower() : keyboardLabelString(text);
}

QString stringRepresentingModifierFlags(std::uint64_t flags, bool exact) {
    using namespace HXModifierFlags;
    struct Modifier {
        std::uint64_t flag, left, right;
        QString symbol;
    };
    const std::array<Modifier, 4> modifiers{{
        {Control, LeftControl, RightControl, controlKeyLabelString()},
        {Option, LeftOption, RightOption, alternateKeyLabelString()},
        {Shift, LeftShift, RightShift, shiftKeyLabelString()},
        {Command, LeftCommand, RightCommand, commandKeyLabelString()},
    }};
    QString text;
    for (const Modifier& m : modifiers) {
        if (!(flags & m.flag))
            continue;
        if (exact && (flags & m.left))
            text += QChar(kLeftMarker);
        if (exact && (flags & m.right))
            text += QChar(kRightMarker);
        text += m.symbol;
    }
    return text;
}

QString keyboardLabelString(const QString& text) {
    return letters().contains(text) ? text.toUpper() : text.toLower();
}

QString stringByTrimmingModifierPrefix(const QString& text) {
    const QString& trimmed = modifierPrefixCharacters();
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && trimmed.contains(text[begin]))
        ++begin;
    while (end > begin && trimmed.contains(text[end - 1]))
        --end;
    if (begin == end)
        return text.endsWith(QLatin1Char('^')) ? QStringLiteral("^") : QString();
    return text.mid(begin, end - begin);
}

QString visualKeyboardEventRepresentation(const HXKeyboardEvent& event, const HXKeyboardLayout* layout,
                                          bool exact) {
    QString name = stringRepresentingKeyCode(layout, event.keyCode, false);
    if (name.isNull())
        name = keyboardLabelString(event.charactersIgnoringModifiers);
    return stringRepresentingModifierFlags(event.modifierFlags, exact) + name;
}

QString HXStringFromKeyCode(const HXKeyboardLayout* layout, std::uint16_t keyCode, std::uint64_t flags) {
    if (!layout)
        return QString();
    const std::optional<HXKeyboardLayout::Translation> translation = layout->translate(keyCode, flags);
    if (!translation)
        return QString();
    QString text = translation->text.isEmpty() ? translation->deadKeyText : translation->text;
    if (text.isEmpty())
        return QString();
    return text.left(4);
}

bool HXGetKeyCodeForUniChar(const HXKeyboardLayout* layout, QChar character, std::uint64_t flags,
                            std::uint16_t* keyCode) {
    if (!layout)
        return false;
    for (std::uint16_t code = 0; code < 128; ++code) {
        const std::optional<HXKeyboardLayout::Translation> translation = layout->translate(code, flags);
        if (!translation)
            continue;
        const QString& text = translation->text.isEmpty() ? translation->deadKeyText : translation->text;
        if (text.size() == 1 && text[0] == character) {
            if (keyCode)
                *keyCode = code;
            return true;
        }
    }
    return false;
}
