#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The keyboard layout in use: what each key types. Keys are named by virtual key code; modifiers are
// event modifier flags (shift 0x20000, control 0x40000, option 0x80000, command 0x100000).
class HXKeyboardLayout {
public:
    struct Translation {
        // What the key types with the modifiers; empty for a dead key.
        QString text;
        // For a dead key: its own spacing character (´ for the acute accent), else empty.
        QString deadKeyText;
    };

    virtual ~HXKeyboardLayout() = default;

    // Nothing when the key does not exist in the layout.
    virtual std::optional<Translation> translate(std::uint16_t keyCode,
                                                 std::uint64_t modifierFlags) const = 0;
    // The virtual key code of a key as the window system numbers it; nothing for keys without one.
    virtual std::optional<std::uint16_t> keyCodeForNativeKeyCode(std::uint32_t nativeKeyCode) const = 0;
};
