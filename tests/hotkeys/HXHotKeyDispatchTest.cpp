#include "HotKeyTestSupport.h"

#include "foundation/HXVirtualTime.h"
#include "hotkeys/HXHibernationHotKey.h"
#include "hotkeys/HXHotKeyDispatcher.h"
#include "hotkeys/HXModifierFlags.h"

#include <gtest/gtest.h>

using namespace HXModifierFlags;

namespace {

// Handles every pressed hot key, asking for repetition as told, and notes when it acted.
class RecordingHandler : public HXHotKeyHandler {
public:
    bool handleKeyDownEvent(const HXKeyboardEvent& event, bool* repeat) override {
        if (event.type == HXKeyboardEvent::Type::KeyDown && event.keyCode != handledKeyCode)
            return false;
        handled.push_back(event.hotKeyReference);
        *repeat = askToRepeat;
        return true;
    }
    bool askToRepeat = true;
    std::uint16_t handledKeyCode = 0;
    std::vector<std::uint32_t> handled;
};

struct DispatchWorld : HotKeyWorld {
    DispatchWorld() : dispatcher(HXHotKeyDispatcher::Services{defaults, time, time, &registrar}) {
        dispatcher.setHandler(&handler);
        registrar.setKeyRepeat(0.25, 0.05);
    }
    HXHotKeyDispatcher::Event hotKeyEvent(std::uint32_t reference, bool pressed) {
        return std::make_shared<HXKeyboardEvent>(registrar.event(reference, pressed, 0));
    }

    HXVirtualTime time;
    RecordingHandler handler;
    HXHotKeyDispatcher dispatcher;
};

} // namespace

TEST(HXHotKeyDispatcher, RepeatsAtTheKeyRepeatRateUntilReleased) {
    DispatchWorld w;
    ASSERT_TRUE(w.dispatcher.sendEvent(w.hotKeyEvent(5, true)));
    EXPECT_EQ(w.handler.handled.size(), 1u);
    // The first repetition after the delay, the others at the interval.
    w.time.advance(0.24);
    EXPECT_EQ(w.handler.handled.size(), 1u);
    w.time.advance(0.02);
    EXPECT_EQ(w.handler.handled.size(), 2u);
    w.time.advance(0.1);
    EXPECT_EQ(w.handler.handled.size(), 4u);
    EXPECT_TRUE(w.dispatcher.sendEvent(w.hotKeyEvent(5, false)));
    EXPECT_FALSE(w.dispatcher.eventToRepeat());
    w.time.advance(5);
    EXPECT_EQ(w.handler.handled.size(), 4u);

    // Without a known rate: half a second; a handler that does not ask for repetition gets none.
    w.registrar.setKeyRepeat(0, 0);
    w.dispatcher.sendEvent(w.hotKeyEvent(5, true));
    w.time.advance(0.49);
    EXPECT_EQ(w.handler.handled.size(), 5u);
    w.time.advance(0.02);
    EXPECT_EQ(w.handler.handled.size(), 6u);
    w.time.advance(0.5);
    EXPECT_EQ(w.handler.handled.size(), 7u);
    w.handler.askToRepeat = false;
    w.time.advance(0.5);
    EXPECT_EQ(w.handler.handled.size(), 8u);
    w.time.advance(5);
    EXPECT_EQ(w.handler.handled.size(), 8u);
}

TEST(HXHotKeyDispatcher, ToggleRepetitionStopsOnlyWhenPressedAgain) {
    DispatchWorld w;
    w.defaults.setBool(u"Toggle Repeatable Hot Keys", true);
    w.dispatcher.sendEvent(w.hotKeyEvent(5, true));
    EXPECT_TRUE(w.dispatcher.sendEvent(w.hotKeyEvent(5, false)));
    w.time.advance(0.27);
    EXPECT_EQ(w.handler.handled.size(), 2u) << "releasing does not stop it";
    // The same hot key pressed again only stops the repetition.
    EXPECT_TRUE(w.dispatcher.sendEvent(w.hotKeyEvent(5, true)));
    EXPECT_EQ(w.handler.handled.size(), 2u);
    w.time.advance(2);
    EXPECT_EQ(w.handler.handled.size(), 2u);
    // Another hot key stops the repetition and acts.
    w.dispatcher.sendEvent(w.hotKeyEvent(5, true));
    EXPECT_EQ(w.handler.handled.size(), 3u);
    w.dispatcher.sendEvent(w.hotKeyEvent(6, true));
    EXPECT_EQ(w.handler.handled, (std::vector<std::uint32_t>{5, 5, 5, 6}));
    w.time.advance(0.26);
    EXPECT_EQ(w.handler.handled.back(), 6u);
}

TEST(HXHotKeyDispatcher, KeyPressesReachTheHandlerWithoutRepetition) {
    DispatchWorld w;
    w.handler.handledKeyCode = Keys::H;
    auto press = std::make_shared<HXKeyboardEvent>();
    press->keyCode = Keys::A;
    EXPECT_FALSE(w.dispatcher.sendEvent(press)) << "not the handler's: dispatched as usual";
    press->keyCode = Keys::H;
    EXPECT_TRUE(w.dispatcher.sendEvent(press));
    w.time.advance(2);
    EXPECT_EQ(w.handler.handled.size(), 1u);
    EXPECT_FALSE(w.dispatcher.sendEvent(nullptr));
    w.dispatcher.setHandler(nullptr);
    EXPECT_FALSE(w.dispatcher.sendEvent(press));
}

TEST(HXHibernationHotKey, StoredHotKeyIsRegisteredAtLaunchOrForgotten) {
    HotKeyWorld w;
    int toggles = 0;
    HXHibernationHotKey controller(w.context(), [&toggles] { ++toggles; });
    EXPECT_TRUE(controller.registerAtLaunch()) << "nothing stored, nothing to fail";
    EXPECT_FALSE(controller.hotKey());
    EXPECT_EQ(HXHibernationHotKey::kSignature, 0x514C686Bu);
    EXPECT_EQ(controller.identifierForHotKeyTextView(nullptr), u"Hibernate");

    const auto stored = w.hotKey(Keys::H, Control | Option);
    w.defaults.setObject(u"Hibernate", stored->dictionaryRepresentation());
    int changes = 0;
    QObject::connect(&controller, &HXHibernationHotKey::hotKeyChanged, [&changes] { ++changes; });
    ASSERT_TRUE(controller.registerAtLaunch());
    ASSERT_TRUE(controller.hotKey());
    EXPECT_EQ(changes, 1);
    const std::uint32_t reference = controller.hotKey()->hotKeyReference();
    ASSERT_NE(reference, 0u);
    EXPECT_EQ(w.registrar.registrations().at(reference).signature, HXHibernationHotKey::kSignature);

    // Its press toggles; nothing asks for repetition; other events are not its own.
    bool repeat = false;
    EXPECT_TRUE(controller.handleKeyDownEvent(w.registrar.event(reference, true, Control | Option), &repeat));
    EXPECT_FALSE(repeat);
    EXPECT_EQ(toggles, 1);
    EXPECT_FALSE(
        controller.handleKeyDownEvent(w.registrar.event(reference + 1, true, Control | Option), &repeat));
    EXPECT_EQ(toggles, 1);

    // The same combination recorded again is already taken; another one replaces it.
    const auto same = w.hotKey(Keys::H, Control | Option);
    EXPECT_FALSE(controller.shouldSetHotKey(same, QStringLiteral("Hibernate")));
    const auto other = HXHotKey::hotKeyWithIdentifer(
        w.context(), QStringLiteral("Hibernate"), QStringLiteral("\u2303\u2325K"), Keys::K, Control | Option);
    EXPECT_FALSE(controller.shouldSetHotKey(other, QString()));
    ASSERT_TRUE(controller.shouldSetHotKey(other, QStringLiteral("Hibernate")));
    EXPECT_EQ(w.defaults.dictionaryForKey(u"Hibernate")->integerForKey(u"Key Code"), Keys::K);
    controller.didSetHotKey(other, QStringLiteral("Hibernate"));
    EXPECT_EQ(w.registrar.registrations().size(), 1u) << "the old one let go";
    ASSERT_TRUE(controller.shouldSetHotKey(nullptr, QStringLiteral("Hibernate")));
    EXPECT_FALSE(w.defaults.hasUserValue(u"Hibernate"));

    // A combination the system refuses is removed from the settings at launch.
    HotKeyWorld refusing;
    refusing.registrar.refuse(Keys::H, 0x1000 | 0x800);
    refusing.defaults.setObject(u"Hibernate", stored->dictionaryRepresentation());
    HXHibernationHotKey second(refusing.context(), [] {});
    EXPECT_FALSE(second.registerAtLaunch());
    EXPECT_FALSE(second.hotKey());
    EXPECT_FALSE(refusing.defaults.hasUserValue(u"Hibernate"));
    EXPECT_FALSE(second.fontSizeForHotKeyTextView(nullptr));

    // A session without hot keys keeps the stored one for the next.
    HotKeyWorld noHotKeys;
    noHotKeys.defaults.setObject(u"Hibernate", stored->dictionaryRepresentation());
    HXHotKeyContext withoutRegistrar = noHotKeys.context();
    withoutRegistrar.registrar = nullptr;
    HXHibernationHotKey third(withoutRegistrar, [] {});
    EXPECT_TRUE(third.registerAtLaunch());
    EXPECT_FALSE(third.hotKey());
    EXPECT_TRUE(noHotKeys.defaults.hasUserValue(u"Hibernate"));
    second.setControlFontSize(10);
    EXPECT_EQ(second.fontSizeForHotKeyTextView(nullptr), 10);
}
