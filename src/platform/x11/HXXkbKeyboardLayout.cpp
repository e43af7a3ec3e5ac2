#include "platform/x11/HXXkbKeyboardLayout.h"

#include "platform/x11/HXX11KeyCodes.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <string>
#include <utility>

namespace {

// What a dead key shows on its own: the spacing form of its accent.
constexpr std::array<std::pair<xkb_keysym_t, char32_t>, 17> kDeadKeys{{
    {XKB_KEY_dead_grave, U'`'},
    {XKB_KEY_dead_acute, U'\u00B4'},
    {XKB_KEY_dead_circumflex, U'^'},
    {XKB_KEY_dead_tilde, U'~'},
    {XKB_KEY_dead_macron, U'\u00AF'},
    {XKB_KEY_dead_breve, U'\u02D8'},
    {XKB_KEY_dead_abovedot, U'\u02D9'},
    {XKB_KEY_dead_diaeresis, U'\u00A8'},
    {XKB_KEY_dead_abovering, U'\u02DA'},
    {XKB_KEY_dead_doubleacute, U'\u02DD'},
    {XKB_KEY_dead_caron, U'\u02C7'},
    {XKB_KEY_dead_cedilla, U'\u00B8'},
    {XKB_KEY_dead_ogonek, U'\u02DB'},
    {XKB_KEY_dead_iota, U'\u037A'},
    {XKB_KEY_dead_abovecomma, U'\u1FBF'},
    {XKB_KEY_dead_currency, U'\u00A4'},
    {XKB_KEY_dead_lowline, U'_'},
}};

xkb_keymap* serverKeymap(xkb_context* context, xcb_connection_t* connection) {
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (device < 0)
        return nullptr;
    return xkb_x11_keymap_new_from_device(context, connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
}

} // namespace

HXXkbKeyboardLayout::HXXkbKeyboardLayout(xkb_context* context, xkb_keymap* keymap)
    : m_context(context), m_keymap(keymap) {}

HXXkbKeyboardLayout::~HXXkbKeyboardLayout() {
    xkb_keymap_unref(m_keymap);
    xkb_context_unref(m_context);
}

std::unique_ptr<HXXkbKeyboardLayout> HXXkbKeyboardLayout::fromNames(const Names& names) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context)
        return nullptr;
    const xkb_rule_names rules{names.rules.constData(), names.model.constData(), names.layout.constData(),
                               names.variant.constData(), nullptr};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &rules, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) {
        xkb_context_unref(context);
        return nullptr;
    }
    return std::unique_ptr<HXXkbKeyboardLayout>(new HXXkbKeyboardLayout(context, keymap));
}

std::unique_ptr<HXXkbKeyboardLayout> HXXkbKeyboardLayout::fromServer(xcb_connection_t* connection) {
    if (!connection || !xkb_x11_setup_xkb_extension(
                           connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                           XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return nullptr;
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context)
        return nullptr;
    xkb_keymap* keymap = serverKeymap(context, connection);
    if (!keymap) {
        xkb_context_unref(context);
        return nullptr;
    }
    auto layout = std::unique_ptr<HXXkbKeyboardLayout>(new HXXkbKeyboardLayout(context, keymap));
    if (xkb_state* state = xkb_x11_state_new_from_device(keymap, connection,
                                                         xkb_x11_get_core_keyboard_device_id(connection))) {
        layout->m_group = xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE);
        xkb_state_unref(state);
    }
    return layout;
}

bool HXXkbKeyboardLayout::reloadFromServer(xcb_connection_t* connection) {
    xkb_keymap* keymap = serverKeymap(m_context, connection);
    if (!keymap)
        return false;
    xkb_keymap_unref(m_keymap);
    m_keymap = keymap;
    if (m_group >= xkb_keymap_num_layouts(m_keymap))
        m_group = 0;
    return true;
}

std::optional<std::uint32_t> HXXkbKeyboardLayout::nativeKeyCodeForKeyCode(std::uint16_t keyCode) const {
    const std::optional<std::string_view> name = HXXkbKeyNameForKeyCode(keyCode);
    if (!name)
        return std::nullopt;
    const xkb_keycode_t code = xkb_keymap_key_by_name(m_keymap, std::string(*name).c_str());
    if (code == XKB_KEYCODE_INVALID)
        return std::nullopt;
    return code;
}

std::optional<std::uint16_t> HXXkbKeyboardLayout::keyCodeForNativeKeyCode(std::uint32_t nativeKeyCode) const {
    const char* name = xkb_keymap_key_get_name(m_keymap, nativeKeyCode);
    if (!name)
        return std::nullopt;
    return HXKeyCodeForXkbKeyName(name);
}

std::optional<HXKeyboardLayout::Translation>
HXXkbKeyboardLayout::translate(std::uint16_t keyCode, std::uint64_t modifierFlags) const {
    const std::optional<std::uint32_t> native = nativeKeyCodeForKeyCode(keyCode);
    if (!native)
        return std::nullopt;
    xkb_state* state = xkb_state_new(m_keymap);
    if (!state)
        return std::nullopt;
    struct Modifier {
        std::uint64_t flag;
        const char* name;
    };
    const std::array<Modifier, 5> modifiers{{{0x10000, XKB_MOD_NAME_CAPS},
                                             {0x20000, XKB_MOD_NAME_SHIFT},
                                             {0x40000, XKB_MOD_NAME_CTRL},
                                             {0x80000, XKB_MOD_NAME_ALT},
                                             {0x100000, XKB_MOD_NAME_LOGO}}};
    xkb_mod_mask_t depressed = 0;
    for (const Modifier& m : modifiers) {
        const xkb_mod_index_t index = xkb_keymap_mod_get_index(m_keymap, m.name);
        if ((modifierFlags & m.flag) && index != XKB_MOD_INVALID)
            depressed |= xkb_mod_mask_t(1) << index;
    }
    xkb_state_update_mask(state, depressed, 0, 0, 0, 0, m_group);
    const xkb_keysym_t keysym = xkb_state_key_get_one_sym(state, *native);
    xkb_state_unref(state);
    Translation translation;
    if (const char32_t spacing = spacingCharacterForDeadKeysym(keysym)) {
        translation.deadKeyText = QString::fromUcs4(&spacing, 1);
        return translation;
    }
    const char32_t character = xkb_keysym_to_utf32(keysym);
    if (character)
        translation.text = QString::fromUcs4(&character, 1);
    return translation;
}

char32_t HXXkbKeyboardLayout::spacingCharacterForDeadKeysym(std::uint32_t keysym) {
    for (const auto& [dead, spacing] : kDeadKeys) {
        if (dead == keysym)
            return spacing;
    }
    return 0;
}
