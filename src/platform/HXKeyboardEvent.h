#pragma once

#include <QString>

#include <cstdint>

// A keyboard event as hot keys see it: a key press or release with its virtual key code, or a hot key
// registered with the system being pressed or released. Key codes and modifier flags are the
// device-independent virtual key codes and event modifier flags that stored hot keys keep.
struct HXKeyboardEvent {
    enum class Type : std::uint8_t { KeyDown, KeyUp, HotKeyPressed, HotKeyReleased };

    Type type = Type::KeyDown;
    std::uint16_t keyCode = 0;
    std::uint64_t modifierFlags = 0;
    // What the key typed, with and without the modifiers.
    QString characters;
    QString charactersIgnoringModifiers;
    // The registration that fired (hot key events only).
    std::uint32_t hotKeyReference = 0;
};
