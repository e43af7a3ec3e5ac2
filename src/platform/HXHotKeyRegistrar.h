#pragma once

#include "platform/HXKeyboardEvent.h"

#include <cstdint>
#include <functional>
#include <optional>

// System-wide hot keys: a key combination registered here fires while other programs are in front.
// Pressed and released events carry the registration's reference and arrive on the main thread.
class HXHotKeyRegistrar {
public:
    // Hot key modifiers: command 0x100, shift 0x200, option 0x800, control 0x1000, fn 0x20000.
    enum : std::uint32_t {
        CommandKey = 0x100,
        ShiftKey = 0x200,
        OptionKey = 0x800,
        ControlKey = 0x1000,
        FunctionKey = 0x20000,
    };

    virtual ~HXHotKeyRegistrar() = default;

    // A reference (never 0), or nothing when the system refuses the combination (another program holds
    // it, or the key does not exist). The signature and identifier name the registration for the system.
    virtual std::optional<std::uint32_t> registerHotKey(std::uint16_t keyCode, std::uint32_t modifiers,
                                                        std::uint32_t signature,
                                                        std::uint32_t identifier) = 0;
    virtual void unregisterHotKey(std::uint32_t reference) = 0;

    virtual void setEventHandler(std::function<void(const HXKeyboardEvent&)> handler) = 0;

    // The user's key repeat settings in seconds; 0 when unknown.
    virtual double keyRepeatDelay() const = 0;
    virtual double keyRepeatInterval() const = 0;
    // The left and right modifier bits (device-dependent event flags) of the modifier keys held now.
    virtual std::uint64_t heldModifierSides() const = 0;
};
