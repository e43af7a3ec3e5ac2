#include "platform/x11/HXX11HotKeyRegistrar.h"

#include "foundation/HXLog.h"
#include "platform/x11/HXX11Reply.h"
#include "platform/x11/HXXkbKeyboardLayout.h"

#include <QSocketNotifier>
#include <QTimer>

#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::uint16_t, 4> kLockVariants{0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                     XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr std::uint16_t kHotKeyModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
constexpr std::uint8_t kBadAccess = 10;

// The virtual key codes of the left and right modifier keys and their event flag bits.
constexpr std::array<std::pair<std::uint16_t, std::uint64_t>, 8> kModifierKeys{{
    {56, 0x2},    // left shift
    {60, 0x4},    // right shift
    {59, 0x1},    // left control
    {62, 0x2000}, // right control
    {58, 0x20},   // left option (Alt)
    {61, 0x40},   // right option
    {55, 0x8},    // left command (Super)
    {54, 0x10},   // right command
}};

} // namespace

HXX11HotKeyRegistrar::HXX11HotKeyRegistrar(const QByteArray& displayName, QObject* parent) : QObject(parent) {
    int screenNumber = 0;
    m_connection = xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        HXSystemLog(QStringLiteral("cannot connect to the X server for hot keys"));
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    m_root = screens.rem > 0 ? screens.data->root : 0;

    std::uint8_t errorBase = 0;
    if (xkb_x11_setup_xkb_extension(m_connection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                    XKB_X11_MIN_MINOR_XKB_VERSION, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS,
                                    nullptr, nullptr, &m_xkbEventBase, &errorBase)) {
        m_layout = HXXkbKeyboardLayout::fromServer(m_connection);
        // Key repetition then sends no releases in between, only the real one at the end.
        HXX11Reply<xcb_xkb_per_client_flags_reply_t> flags(xcb_xkb_per_client_flags_reply(
            m_connection,
            xcb_xkb_per_client_flags(m_connection, XCB_XKB_ID_USE_CORE_KBD,
                                     XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                                     XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0),
            nullptr));
        m_detectableAutoRepeat = flags && (flags->value & XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT);
        constexpr std::uint16_t events = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY |
                                         XCB_XKB_EVENT_TYPE_MAP_NOTIFY | XCB_XKB_EVENT_TYPE_STATE_NOTIFY |
                                         XCB_XKB_EVENT_TYPE_CONTROLS_NOTIFY;
        constexpr std::uint16_t mapParts = 0xFF;
        xcb_xkb_select_events(m_connection, XCB_XKB_ID_USE_CORE_KBD, events, 0, events, mapParts, mapParts,
                              nullptr);
        readKeyRepeat();
    }
    if (!m_layout)
        HXSystemLog(QStringLiteral("cannot read the keyboard layout: hot keys are unavailable"));
    else if (!m_detectableAutoRepeat)
        HXSystemLog(QStringLiteral("the X server repeats held keys with releases in between"));

    m_notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &HXX11HotKeyRegistrar::readEvents);
    scheduleRead();
}

HXX11HotKeyRegistrar::~HXX11HotKeyRegistrar() {
    m_notifier.reset();
    m_layout.reset();
    if (m_connection)
        xcb_disconnect(m_connection);
}

std::uint16_t HXX11HotKeyRegistrar::xModifiers(std::uint32_t modifiers) {
    std::uint16_t mask = 0;
    if (modifiers & ShiftKey)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & ControlKey)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & OptionKey)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & CommandKey)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

std::uint64_t HXX11HotKeyRegistrar::eventFlags(std::uint16_t state) {
    std::uint64_t flags = 0;
    if (state & XCB_MOD_MASK_LOCK)
        flags |= 0x10000;
    if (state & XCB_MOD_MASK_SHIFT)
        flags |= 0x20000;
    if (state & XCB_MOD_MASK_CONTROL)
        flags |= 0x40000;
    if (state & XCB_MOD_MASK_1)
        flags |= 0x80000;
    if (state & XCB_MOD_MASK_4)
        flags |= 0x100000;
    return flags;
}

std::optional<std::uint32_t> HXX11HotKeyRegistrar::registerHotKey(std::uint16_t keyCode,
                                                                  std::uint32_t modifiers,
                                                                  std::uint32_t signature,
                                                                  std::uint32_t identifier) {
    static_cast<void>(signature);
    static_cast<void>(identifier);
    if (!m_connection || !m_layout || !m_root)
        return std::nullopt;
    const std::optional<std::uint32_t> native = m_layout->nativeKeyCodeForKeyCode(keyCode);
    if (!native || *native > 255)
        return std::nullopt;
    const Combination combination{static_cast<std::uint8_t>(*native), xModifiers(modifiers)};
    if (!grab(combination))
        return std::nullopt;
    const std::uint32_t reference = ++m_lastReference == 0 ? ++m_lastReference : m_lastReference;
    m_registrations[reference] = Registration{combination, keyCode};
    return reference;
}

void HXX11HotKeyRegistrar::unregisterHotKey(std::uint32_t reference) {
    const auto found = m_registrations.find(reference);
    if (found == m_registrations.end())
        return;
    const Combination combination = found->second.combination;
    m_registrations.erase(found);
    ungrab(combination);
}

bool HXX11HotKeyRegistrar::grab(const Combination& combination) {
    if (int& users = m_grabs[combination]; users > 0) {
        ++users;
        return true;
    }
    std::array<xcb_void_cookie_t, kLockVariants.size()> cookies;
    for (std::size_t i = 0; i < kLockVariants.size(); ++i)
        cookies[i] = xcb_grab_key_checked(m_connection, 1, m_root, combination.modifiers | kLockVariants[i],
                                          combination.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    bool refused = false;
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        HXX11Reply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookies[i]));
        if (error) {
            if (error->error_code != kBadAccess)
                HXSystemLog(QStringLiteral("cannot grab key %1: X error %2")
                                .arg(combination.keycode)
                                .arg(error->error_code));
            refused = true;
        }
    }
    scheduleRead();
    if (!refused) {
        m_grabs[combination] = 1;
        return true;
    }
    // Some variants may have been granted; none is kept.
    for (std::uint16_t variant : kLockVariants)
        xcb_ungrab_key(m_connection, combination.keycode, m_root, combination.modifiers | variant);
    xcb_flush(m_connection);
    m_grabs.erase(combination);
    return false;
}

void HXX11HotKeyRegistrar::ungrab(const Combination& combination) {
    const auto found = m_grabs.find(combination);
    if (found == m_grabs.end())
        return;
    if (--found->second > 0)
        return;
    m_grabs.erase(found);
    for (std::uint16_t variant : kLockVariants)
        xcb_ungrab_key(m_connection, combination.keycode, m_root, combination.modifiers | variant);
    xcb_flush(m_connection);
}

std::uint64_t HXX11HotKeyRegistrar::heldModifierSides() const {
    if (!m_connection || !m_layout)
        return 0;
    HXX11Reply<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(m_connection, xcb_query_keymap(m_connection), nullptr));
    if (!keymap)
        return 0;
    std::uint64_t sides = 0;
    for (const auto& [keyCode, bit] : kModifierKeys) {
        const std::optional<std::uint32_t> native = m_layout->nativeKeyCodeForKeyCode(keyCode);
        if (native && *native < 256 && (keymap->keys[*native / 8] & (1u << (*native % 8))))
            sides |= bit;
    }
    return sides;
}

void HXX11HotKeyRegistrar::scheduleRead() {
    // Events that came in with a reply are queued already and would not wake the notifier.
    if (m_readScheduled)
        return;
    m_readScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_readScheduled = false;
        readEvents();
    });
}

void HXX11HotKeyRegistrar::readEvents() {
    if (!m_connection)
        return;
    xcb_generic_event_t* pending = nullptr;
    while (xcb_generic_event_t* event =
               pending ? std::exchange(pending, nullptr) : xcb_poll_for_event(m_connection)) {
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_KEY_PRESS) {
            const auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
            keyPressed(key->detail, key->state);
        } else if (type == XCB_KEY_RELEASE) {
            const auto* key = reinterpret_cast<xcb_key_release_event_t*>(event);
            if (!m_detectableAutoRepeat) {
                // Without detectable auto-repeat, a repetition is a release and a press at the same time.
                pending = xcb_poll_for_queued_event(m_connection);
                const auto* press = reinterpret_cast<xcb_key_press_event_t*>(pending);
                if (pending && (pending->response_type & 0x7f) == XCB_KEY_PRESS &&
                    press->detail == key->detail && press->time == key->time) {
                    std::free(std::exchange(pending, nullptr));
                    std::free(event);
                    continue;
                }
            }
            keyReleased(key->detail, key->state);
        } else if (m_xkbEventBase && type == m_xkbEventBase) {
            xkbEvent(event);
        }
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection)) {
        HXSystemLog(QStringLiteral("lost the connection to the X server; hot keys no longer work"));
        if (m_notifier)
            m_notifier->setEnabled(false);
    }
}

void HXX11HotKeyRegistrar::keyPressed(std::uint8_t keycode, std::uint16_t state) {
    const Combination combination{keycode, static_cast<std::uint16_t>(state & kHotKeyModifiers)};
    std::vector<std::uint32_t> pressed;
    for (auto& [reference, registration] : m_registrations) {
        // A press while held is the key repeating.
        if (registration.combination == combination && !registration.pressed) {
            registration.pressed = true;
            pressed.push_back(reference);
        }
    }
    if (pressed.empty())
        return;
    const std::uint64_t flags = eventFlags(state) | heldModifierSides();
    for (std::uint32_t reference : pressed) {
        const auto found = m_registrations.find(reference);
        if (found == m_registrations.end())
            continue;
        HXKeyboardEvent event;
        event.type = HXKeyboardEvent::Type::HotKeyPressed;
        event.keyCode = found->second.keyCode;
        event.modifierFlags = flags;
        event.hotKeyReference = reference;
        deliver(event);
    }
}

void HXX11HotKeyRegistrar::keyReleased(std::uint8_t keycode, std::uint16_t state) {
    std::vector<std::pair<std::uint32_t, std::uint16_t>> released;
    for (auto& [reference, registration] : m_registrations) {
        if (registration.combination.keycode == keycode && registration.pressed) {
            registration.pressed = false;
            released.emplace_back(reference, registration.keyCode);
        }
    }
    for (const auto& [reference, keyCode] : released) {
        HXKeyboardEvent event;
        event.type = HXKeyboardEvent::Type::HotKeyReleased;
        event.keyCode = keyCode;
        event.modifierFlags = eventFlags(state);
        event.hotKeyReference = reference;
        deliver(event);
    }
}

void HXX11HotKeyRegistrar::xkbEvent(const void* event) {
    const auto* any = static_cast<const xcb_xkb_state_notify_event_t*>(event);
    switch (any->xkbType) {
    case XCB_XKB_NEW_KEYBOARD_NOTIFY:
    case XCB_XKB_MAP_NOTIFY:
        if (m_layout && !m_layout->reloadFromServer(m_connection))
            HXSystemLog(QStringLiteral("cannot read the new keyboard layout"));
        break;
    case XCB_XKB_STATE_NOTIFY:
        if (m_layout)
            m_layout->setGroup(any->group);
        break;
    case XCB_XKB_CONTROLS_NOTIFY:
        readKeyRepeat();
        break;
    default:
        break;
    }
}

void HXX11HotKeyRegistrar::readKeyRepeat() {
    HXX11Reply<xcb_xkb_get_controls_reply_t> controls(xcb_xkb_get_controls_reply(
        m_connection, xcb_xkb_get_controls(m_connection, XCB_XKB_ID_USE_CORE_KBD), nullptr));
    if (!controls)
        return;
    m_repeatDelay = controls->repeatDelay / 1000.0;
    m_repeatInterval = controls->repeatInterval / 1000.0;
    scheduleRead();
}

void HXX11HotKeyRegistrar::deliver(const HXKeyboardEvent& event) {
    // The handler may unregister hot keys, so it is called with nothing of ours held.
    if (const std::function<void(const HXKeyboardEvent&)> handler = m_handler)
        handler(event);
}
