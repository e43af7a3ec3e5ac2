#pragma once

#include "platform/HXKeyboardLayout.h"

#include <QByteArray>

#include <memory>
#include <optional>

struct xkb_context;
struct xkb_keymap;
struct xcb_connection_t;

// A keyboard layout read through xkbcommon: the X server's current keymap, or one compiled from
// rules, model, layout and variant names (which needs no display). Translates in the current group
// (the layout the user switched to), keysym by keysym; a dead key gives its spacing character.
class HXXkbKeyboardLayout final : public HXKeyboardLayout {
public:
    struct Names {
        QByteArray rules = "evdev";
        QByteArray model = "pc105";
        QByteArray layout = "us";
        QByteArray variant;
    };

    // Null when the names do not make a keymap.
    static std::unique_ptr<HXXkbKeyboardLayout> fromNames(const Names& names);
    // The server's core keyboard; null without the XKB extension.
    static std::unique_ptr<HXXkbKeyboardLayout> fromServer(xcb_connection_t* connection);

    ~HXXkbKeyboardLayout() override;

    // Reads the server's keymap again (after the user changed it); false when that fails.
    bool reloadFromServer(xcb_connection_t* connection);
    void setGroup(std::uint32_t group) { m_group = group; }
    std::uint32_t group() const { return m_group; }

    std::optional<Translation> translate(std::uint16_t keyCode, std::uint64_t modifierFlags) const override;
    std::optional<std::uint16_t> keyCodeForNativeKeyCode(std::uint32_t nativeKeyCode) const override;
    // The keyboard's own code of the key with that virtual key code.
    std::optional<std::uint32_t> nativeKeyCodeForKeyCode(std::uint16_t keyCode) const;

    // The spacing character that shows a dead keysym, or 0 when the keysym is not a dead key.
    static char32_t spacingCharacterForDeadKeysym(std::uint32_t keysym);

private:
    HXXkbKeyboardLayout(xkb_context* context, xkb_keymap* keymap);

    xkb_context* m_context;
    xkb_keymap* m_keymap;
    std::uint32_t m_group = 0;
};
