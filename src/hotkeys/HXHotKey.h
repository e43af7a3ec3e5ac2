#pragma once

#include "foundation/HXDictionary.h"
#include "hotkeys/HXHotKeyContext.h"

#include <QString>

#include <cstdint>
#include <memory>

class HXHotKeyDelegate;
class HXUserDefaults;
struct HXKeyboardEvent;

// A key combination bound to an action. A global hot key is registered with the system and fires while
// other programs are in front; a local one (only when it can be, and the settings make it so) is never
// registered and is recognised in the key presses that reach this program. Stored in the settings under
// its identifier as a dictionary ("Identifier", "Visual Representation", "Key Code", "Modifier Flags").
// Letting go of a hot key unregisters it.
class HXHotKey {
public:
    HXHotKey(const HXHotKeyContext& context, QString identifier, QString visualRepresentation,
             std::uint16_t keyCode, std::uint64_t modifierFlags);
    ~HXHotKey();
    HXHotKey(const HXHotKey&) = delete;
    HXHotKey& operator=(const HXHotKey&) = delete;

    static std::shared_ptr<HXHotKey> hotKeyWithIdentifer(const HXHotKeyContext& context, QString identifier,
                                                         QString visualRepresentation, std::uint16_t keyCode,
                                                         std::uint64_t modifierFlags);
    // Null without an identifier (the dictionary's, else the fallback) or without a visual representation.
    static std::shared_ptr<HXHotKey>
    hotKeyWithDictionaryRepresentation(const HXHotKeyContext& context, const HXDictionary* dictionary,
                                       const QString& fallbackIdentifier = {});
    HXDictionaryRef dictionaryRepresentation() const;

    const QString& identifier() const { return m_identifier; }
    // The stored text with its key part named anew for the current layout and settings; computed once
    // per stored text.
    QString visualRepresentation() const;
    void setVisualRepresentation(const QString& text);
    QString correctedVisualRepresentation() const;
    // What a menu shows as the shortcut's key.
    QString keyEquivalentCharacter() const;

    std::uint16_t keyCode() const { return m_keyCode; }
    std::uint64_t modifierFlags() const { return m_modifierFlags; }
    std::uint32_t hotKeyReference() const { return m_reference; }
    bool canBeLocal() const { return m_canBeLocal; }
    void setCanBeLocal(bool canBeLocal) { m_canBeLocal = canBeLocal; }

    bool registerForDelegate(HXHotKeyDelegate& delegate) {
        return registerForDelegateTestOnly(delegate, false);
    }
    // Whether registering would succeed; leaves nothing registered that was not before.
    bool testForDelegate(HXHotKeyDelegate& delegate) { return registerForDelegateTestOnly(delegate, true); }
    void unregister();
    bool isRegistered() const;
    bool isLocal() const;

    bool matchesModifierFlags(std::uint64_t flags) const;
    bool matchesEvent(const HXKeyboardEvent* event) const;
    bool isEqualToHotKey(const HXHotKey* other) const;

    static bool requireExactModifierMatches(const HXUserDefaults& defaults);
    static bool ignoreCapsLock(const HXUserDefaults& defaults);
    static bool ignoreFunctionKey(const HXUserDefaults& defaults);

    const HXHotKeyContext& context() const { return m_context; }

private:
    bool registerForDelegateTestOnly(HXHotKeyDelegate& delegate, bool testOnly);

    HXHotKeyContext m_context;
    QString m_identifier;
    QString m_visualRepresentation;
    mutable QString m_cachedCorrectedVisualRepresentation;
    mutable bool m_cacheValid = false;
    std::uint32_t m_reference = 0;
    std::uint16_t m_keyCode;
    std::uint64_t m_modifierFlags;
    bool m_canBeLocal = false;
};
