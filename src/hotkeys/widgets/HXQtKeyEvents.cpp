#include "hotkeys/widgets/HXQtKeyEvents.h"

#include "hotkeys/HXKeyCodeConverter.h"
#include "hotkeys/HXModifierFlags.h"
#include "platform/HXKeyboardLayout.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace {

// Keys whose place does not depend on the layout, and letters and digits at their us places, for key
// events that carry no key code of the window system.
constexpr std::array<std::pair<int, std::uint16_t>, 42> kQtKeys{{
    {Qt::Key_F1, 122},        {Qt::Key_F2, 120},        {Qt::Key_F3, 99},      {Qt::Key_F4, 118},
    {Qt::Key_F5, 96},         {Qt::Key_F6, 97},         {Qt::Key_F7, 98},      {Qt::Key_F8, 100},
    {Qt::Key_F9, 101},        {Qt::Key_F10, 109},       {Qt::Key_F11, 103},    {Qt::Key_F12, 111},
    {Qt::Key_F13, 105},       {Qt::Key_F14, 107},       {Qt::Key_F15, 113},    {Qt::Key_F16, 106},
    {Qt::Key_F17, 64},        {Qt::Key_F18, 79},        {Qt::Key_F19, 80},     {Qt::Key_Space, 49},
    {Qt::Key_Escape, 53},     {Qt::Key_Help, 114},      {Qt::Key_Insert, 114}, {Qt::Key_Tab, 48},
    {Qt::Key_Backtab, 48},    {Qt::Key_Backspace, 51},  {Qt::Key_Return, 36},  {Qt::Key_Enter, 76},
    {Qt::Key_Delete, 117},    {Qt::Key_Left, 123},      {Qt::Key_Right, 124},  {Qt::Key_Down, 125},
    {Qt::Key_Up, 126},        {Qt::Key_Home, 115},      {Qt::Key_End, 119},    {Qt::Key_PageUp, 116},
    {Qt::Key_PageDown, 121},  {Qt::Key_Menu, 110},      {Qt::Key_NumLock, 71}, {Qt::Key_VolumeUp, 72},
    {Qt::Key_VolumeDown, 73}, {Qt::Key_VolumeMute, 74},
}};

constexpr std::array<std::uint16_t, 26> kLetters{0,  11, 8,  2,  14, 3, 5,  4,  34, 38, 40, 37, 46,
                                                 45, 31, 35, 12, 15, 1, 17, 32, 9,  13, 7,  16, 6};
constexpr std::array<std::uint16_t, 10> kDigits{29, 18, 19, 20, 21, 23, 22, 26, 28, 25};
constexpr std::array<std::uint16_t, 10> kKeypadDigits{82, 83, 84, 85, 86, 87, 88, 89, 91, 92};

// The X modifier state's Lock bit, as Qt passes it on X11.
constexpr quint32 kNativeLockMask = 0x2;

std::uint16_t keyCodeFromQtKey(const QKeyEvent& event, const HXKeyboardLayout* layout) {
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return kKeypadDigits[static_cast<std::size_t>(key - Qt::Key_0)];
    for (const auto& [qtKey, code] : kQtKeys) {
        if (qtKey == key)
            return code;
    }
    const QString text = event.text();
    std::uint16_t code = 0;
    if (text.size() == 1 && text[0].isPrint() &&
        HXGetKeyCodeForUniChar(layout, text[0],
                               HXModifierFlagsFromQt(event.modifiers()) & HXModifierFlags::Shift, &code))
        return code;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return kLetters[static_cast<std::size_t>(key - Qt::Key_A)];
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return kDigits[static_cast<std::size_t>(key - Qt::Key_0)];
    return 0xFFFF;
}

} // namespace

std::uint64_t HXModifierFlagsFromQt(Qt::KeyboardModifiers modifiers) {
    std::uint64_t flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= HXModifierFlags::Shift;
    if (modifiers & Qt::ControlModifier)
        flags |= HXModifierFlags::Control;
    if (modifiers & Qt::AltModifier)
        flags |= HXModifierFlags::Option;
    if (modifiers & Qt::MetaModifier)
        flags |= HXModifierFlags::Command;
    if (modifiers & Qt::KeypadModifier)
        flags |= HXModifierFlags::NumericPad;
    return flags;
}

Qt::KeyboardModifiers HXQtModifiersFromModifierFlags(std::uint64_t flags) {
    Qt::KeyboardModifiers modifiers;
    if (flags & HXModifierFlags::Shift)
        modifiers |= Qt::ShiftModifier;
    if (flags & HXModifierFlags::Control)
        modifiers |= Qt::ControlModifier;
    if (flags & HXModifierFlags::Option)
        modifiers |= Qt::AltModifier;
    if (flags & HXModifierFlags::Command)
        modifiers |= Qt::MetaModifier;
    return modifiers;
}

bool HXIsModifierKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_unknown:
        return true;
    default:
        return false;
    }
}

HXKeyboardEvent HXKeyboardEventFromQKeyEvent(const QKeyEvent& event, const HXKeyboardLayout* layout,
                                             std::uint64_t heldModifierSides) {
    HXKeyboardEvent result;
    result.type =
        event.type() == QEvent::KeyRelease ? HXKeyboardEvent::Type::KeyUp : HXKeyboardEvent::Type::KeyDown;
    std::optional<std::uint16_t> code;
    if (layout && event.nativeScanCode() != 0)
        code = layout->keyCodeForNativeKeyCode(event.nativeScanCode());
    result.keyCode = code ? *code : keyCodeFromQtKey(event, layout);
    result.modifierFlags = HXModifierFlagsFromQt(event.modifiers()) | heldModifierSides;
    if (event.nativeModifiers() & kNativeLockMask)
        result.modifierFlags |= HXModifierFlags::CapsLock;
    result.characters = event.text();
    const QString plain = HXStringFromKeyCode(layout, result.keyCode, 0);
    result.charactersIgnoringModifiers = plain.isNull() ? event.text() : plain;
    return result;
}
