#pragma once

#include "platform/HXKeyboardLayout.h"

#include <map>

// A layout of a few keys a test lists: what each virtual key code types, without and with shift.
class HXFakeKeyboardLayout final : public HXKeyboardLayout {
public:
    void setKey(std::uint16_t keyCode, const QString& text, const QString& shifted = {},
                const QString& deadKeyText = {}) {
        m_keys[keyCode] = Key{text, shifted.isEmpty() ? text.toUpper() : shifted, deadKeyText};
    }
    void setNativeKeyCode(std::uint32_t native, std::uint16_t keyCode) { m_native[native] = keyCode; }

    std::optional<Translation> translate(std::uint16_t keyCode, std::uint64_t modifierFlags) const override {
        const auto found = m_keys.find(keyCode);
        if (found == m_keys.end())
            return std::nullopt;
        const Key& key = found->second;
        if (!key.deadKeyText.isEmpty())
            return Translation{QString(), key.deadKeyText};
        return Translation{(modifierFlags & 0x20000) ? key.shifted : key.text, QString()};
    }
    std::optional<std::uint16_t> keyCodeForNativeKeyCode(std::uint32_t nativeKeyCode) const override {
        const auto found = m_native.find(nativeKeyCode);
        if (found == m_native.end())
            return std::nullopt;
        return found->second;
    }

private:
    struct Key {
        QString text;
        QString shifted;
        QString deadKeyText;
    };
    std::map<std::uint16_t, Key> m_keys;
    std::map<std::uint32_t, std::uint16_t> m_native;
};
