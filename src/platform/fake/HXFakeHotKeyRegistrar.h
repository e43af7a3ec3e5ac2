#pragma once

#include "platform/HXHotKeyRegistrar.h"

#include <map>
#include <set>
#include <utility>
#include <vector>

// A registrar a test scripts: combinations it refuses, the key repeat rate, the modifier keys held, and
// presses and releases of what is registered.
class HXFakeHotKeyRegistrar final : public HXHotKeyRegistrar {
public:
    struct Registration {
        std::uint16_t keyCode;
        std::uint32_t modifiers;
        std::uint32_t signature;
        std::uint32_t identifier;
    };

    void refuse(std::uint16_t keyCode, std::uint32_t modifiers) { m_refused.insert({keyCode, modifiers}); }
    void setKeyRepeat(double delay, double interval) {
        m_delay = delay;
        m_interval = interval;
    }
    void setHeldModifierSides(std::uint64_t sides) { m_sides = sides; }

    std::optional<std::uint32_t> registerHotKey(std::uint16_t keyCode, std::uint32_t modifiers,
                                                std::uint32_t signature, std::uint32_t identifier) override {
        ++registerCalls;
        if (m_refused.count({keyCode, modifiers}))
            return std::nullopt;
        const std::uint32_t reference = ++m_lastReference;
        m_registrations[reference] = Registration{keyCode, modifiers, signature, identifier};
        return reference;
    }
    void unregisterHotKey(std::uint32_t reference) override {
        ++unregisterCalls;
        m_registrations.erase(reference);
    }
    void setEventHandler(std::function<void(const HXKeyboardEvent&)> handler) override {
        m_handler = std::move(handler);
    }
    double keyRepeatDelay() const override { return m_delay; }
    double keyRepeatInterval() const override { return m_interval; }
    std::uint64_t heldModifierSides() const override { return m_sides; }

    const std::map<std::uint32_t, Registration>& registrations() const { return m_registrations; }
    std::uint32_t lastReference() const { return m_lastReference; }

    // The event a press or release of the registration delivers.
    HXKeyboardEvent event(std::uint32_t reference, bool pressed, std::uint64_t modifierFlags) const {
        HXKeyboardEvent e;
        e.type = pressed ? HXKeyboardEvent::Type::HotKeyPressed : HXKeyboardEvent::Type::HotKeyReleased;
        e.hotKeyReference = reference;
        e.modifierFlags = modifierFlags;
        const auto found = m_registrations.find(reference);
        if (found != m_registrations.end())
            e.keyCode = found->second.keyCode;
        return e;
    }
    void deliver(const HXKeyboardEvent& e) const {
        if (m_handler)
            m_handler(e);
    }

    int registerCalls = 0;
    int unregisterCalls = 0;

private:
    std::set<std::pair<std::uint16_t, std::uint32_t>> m_refused;
    std::map<std::uint32_t, Registration> m_registrations;
    std::uint32_t m_lastReference = 0;
    double m_delay = 0;
    double m_interval = 0;
    std::uint64_t m_sides = 0;
    std::function<void(const HXKeyboardEvent&)> m_handler;
};
