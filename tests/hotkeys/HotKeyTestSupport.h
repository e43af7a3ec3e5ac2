#pragma once

#include "foundation/HXUserDefaults.h"
#include "hotkeys/HXHotKey.h"
#include "hotkeys/HXHotKeyContext.h"
#include "hotkeys/HXHotKeyDelegate.h"
#include "hotkeys/HXHotKeyReferencePool.h"
#include "platform/fake/HXFakeHotKeyRegistrar.h"
#include "platform/fake/HXFakeKeyboardLayout.h"
#include "support/TestSupport.h"

#include <memory>

// Virtual key codes used by the tests.
namespace Keys {
inline constexpr std::uint16_t A = 0;
inline constexpr std::uint16_t H = 4;
inline constexpr std::uint16_t K = 40;
inline constexpr std::uint16_t F5 = 96;
inline constexpr std::uint16_t Keypad5 = 87;
inline constexpr std::uint16_t Return = 36;
inline constexpr std::uint16_t Tab = 48;
inline constexpr std::uint16_t Escape = 53;
inline constexpr std::uint16_t Acute = 24;
} // namespace Keys

// Settings in a scratch folder, a scripted registrar, a small us-like layout and a pool of its own.
struct HotKeyWorld {
    HotKeyWorld() : defaults(scratch.file(QStringLiteral("Defaults.plist"))) {
        layout.setKey(Keys::A, QStringLiteral("a"));
        layout.setKey(Keys::H, QStringLiteral("h"));
        layout.setKey(Keys::K, QStringLiteral("k"));
        layout.setKey(Keys::Acute, QString(), QString(), QString(QChar(0xB4)));
        layout.setKey(18, QStringLiteral("1"), QStringLiteral("!"));
    }
    HXHotKeyContext context() { return HXHotKeyContext{defaults, &registrar, &layout, pool}; }
    std::shared_ptr<HXHotKey> hotKey(std::uint16_t code, std::uint64_t flags,
                                     const QString& identifier = QStringLiteral("Hibernate")) {
        return HXHotKey::hotKeyWithIdentifer(context(), identifier, QStringLiteral("?"), code, flags);
    }

    ScratchFolder scratch;
    HXUserDefaults defaults;
    HXFakeHotKeyRegistrar registrar;
    HXFakeKeyboardLayout layout;
    HXHotKeyReferencePool pool;
};

// A delegate that holds hot keys and answers the optional questions as told.
class ScriptedDelegate : public HXHotKeyDelegate {
public:
    std::vector<HXHotKey*> hotKeys() override { return keys; }
    std::uint32_t hotKeySignature() override { return 0x54455354; }
    QString identifierForHotKeyTextView(const QObject*) override { return QStringLiteral("Test"); }
    bool shouldSetHotKey(const std::shared_ptr<HXHotKey>& hotKey, const QString&) override {
        asked.push_back(hotKey);
        return answer;
    }
    std::optional<bool> hotKeyCanBeLocal(const HXHotKey&) override { return canBeLocal; }
    std::optional<bool> acceptNonUniqueHotKey(const HXHotKey&, const std::vector<HXHotKey*>&) override {
        return acceptDuplicates;
    }
    void didSetHotKey(const std::shared_ptr<HXHotKey>& hotKey, const QString&) override { set = hotKey; }

    std::vector<HXHotKey*> keys;
    std::optional<bool> canBeLocal;
    std::optional<bool> acceptDuplicates;
    bool answer = true;
    std::vector<std::shared_ptr<HXHotKey>> asked;
    std::shared_ptr<HXHotKey> set;
};
