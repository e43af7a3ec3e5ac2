#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class HXHotKey;
class QObject;
struct HXKeyboardEvent;

// Owns hot keys and decides about new ones; the recorder asks it. Optional operations answer nothing
// when not implemented.
class HXHotKeyDelegate {
public:
    virtual ~HXHotKeyDelegate() = default;

    virtual std::vector<HXHotKey*> hotKeys() = 0;
    virtual std::uint32_t hotKeySignature() = 0;
    // The identifier of what the recorder view sets (view may be null).
    virtual QString identifierForHotKeyTextView(const QObject* view) = 0;
    // hotKey null: the hot key is cleared.
    virtual bool shouldSetHotKey(const std::shared_ptr<HXHotKey>& hotKey, const QString& identifier) = 0;

    virtual std::optional<bool> hotKeyCanBeLocal(const HXHotKey& hotKey) {
        static_cast<void>(hotKey);
        return std::nullopt;
    }
    virtual std::optional<bool> acceptNonUniqueHotKey(const HXHotKey& hotKey,
                                                      const std::vector<HXHotKey*>& existingEquals) {
        static_cast<void>(hotKey);
        static_cast<void>(existingEquals);
        return std::nullopt;
    }
    virtual void didSetHotKey(const std::shared_ptr<HXHotKey>& hotKey, const QString& identifier) {
        static_cast<void>(hotKey);
        static_cast<void>(identifier);
    }
    virtual std::optional<double> fontSizeForHotKeyTextView(const QObject* view) {
        static_cast<void>(view);
        return std::nullopt;
    }
};

// Acts on key events that the application's dispatch passes on.
class HXHotKeyHandler {
public:
    virtual ~HXHotKeyHandler() = default;

    // True when the event was handled; repeat asks for it to be repeated while the key is held.
    virtual bool handleKeyDownEvent(const HXKeyboardEvent& event, bool* repeat) = 0;
};
