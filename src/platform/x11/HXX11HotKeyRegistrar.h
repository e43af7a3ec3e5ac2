#pragma once

#include "platform/HXHotKeyRegistrar.h"

#include <QByteArray>
#include <QObject>

#include <map>
#include <memory>
#include <vector>

class HXXkbKeyboardLayout;
class QSocketNotifier;
struct xcb_connection_t;

// System-wide hot keys on X11: passive key grabs on the root window, one for every combination of the
// lock modifiers (Caps Lock, Num Lock) so that they fire whatever the locks. A grab another client holds
// makes the registration fail. With XKB's detectable auto-repeat a held key gives one press and one
// release. Events are read from a connection of its own on the main thread; the keyboard layout of the
// server is kept up to date for key names.
//
// Virtual key codes become keys through their XKB names (HXX11KeyCodes); modifiers map shift → Shift,
// control → Control, option → Mod1 (Alt), command → Mod4 (Super); fn has no X11 equivalent.
class HXX11HotKeyRegistrar final : public QObject, public HXHotKeyRegistrar {
    Q_OBJECT

public:
    // $DISPLAY when the name is empty.
    explicit HXX11HotKeyRegistrar(const QByteArray& displayName = {}, QObject* parent = nullptr);
    ~HXX11HotKeyRegistrar() override;

    bool isConnected() const { return m_connection != nullptr; }
    bool hasDetectableAutoRepeat() const { return m_detectableAutoRepeat; }
    // The server's layout; null without XKB.
    const HXXkbKeyboardLayout* keyboardLayout() const { return m_layout.get(); }

    std::optional<std::uint32_t> registerHotKey(std::uint16_t keyCode, std::uint32_t modifiers,
                                                std::uint32_t signature, std::uint32_t identifier) override;
    void unregisterHotKey(std::uint32_t reference) override;
    void setEventHandler(std::function<void(const HXKeyboardEvent&)> handler) override {
        m_handler = std::move(handler);
    }
    double keyRepeatDelay() const override { return m_repeatDelay; }
    double keyRepeatInterval() const override { return m_repeatInterval; }
    std::uint64_t heldModifierSides() const override;

    // The X modifier mask of hot key modifiers, and the event flags of an X modifier state.
    static std::uint16_t xModifiers(std::uint32_t modifiers);
    static std::uint64_t eventFlags(std::uint16_t state);

private:
    struct Combination {
        std::uint8_t keycode;
        std::uint16_t modifiers;
        auto operator<=>(const Combination&) const = default;
    };
    struct Registration {
        Combination combination;
        std::uint16_t keyCode;
        bool pressed = false;
    };

    bool grab(const Combination& combination);
    void ungrab(const Combination& combination);
    void readEvents();
    void scheduleRead();
    void keyPressed(std::uint8_t keycode, std::uint16_t state);
    void keyReleased(std::uint8_t keycode, std::uint16_t state);
    void xkbEvent(const void* event);
    void readKeyRepeat();
    void deliver(const HXKeyboardEvent& event);

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint8_t m_xkbEventBase = 0;
    bool m_detectableAutoRepeat = false;
    std::unique_ptr<HXXkbKeyboardLayout> m_layout;
    std::unique_ptr<QSocketNotifier> m_notifier;
    // Grabs are the server's per client: combinations registered more than once are grabbed once.
    std::map<Combination, int> m_grabs;
    std::map<std::uint32_t, Registration> m_registrations;
    std::uint32_t m_lastReference = 0;
    double m_repeatDelay = 0;
    double m_repeatInterval = 0;
    bool m_readScheduled = false;
    std::function<void(const HXKeyboardEvent&)> m_handler;
};
