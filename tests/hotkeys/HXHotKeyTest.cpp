#include "HotKeyTestSupport.h"

#include "foundation/HXLog.h"
#include "hotkeys/HXModifierFlags.h"
#include "platform/HXKeyboardEvent.h"

#include <gtest/gtest.h>

using namespace HXModifierFlags;

namespace {

HXKeyboardEvent keyDown(std::uint16_t code, std::uint64_t flags) {
    HXKeyboardEvent e;
    e.type = HXKeyboardEvent::Type::KeyDown;
    e.keyCode = code;
    e.modifierFlags = flags;
    return e;
}

bool matches(const HXHotKey& hotKey, const HXKeyboardEvent& event) {
    return hotKey.matchesEvent(&event);
}

} // namespace

TEST(HXModifierFlags, RegistrationModifiersKeepOnlyTheFiveMappedBits) {
    EXPECT_EQ(HXCarbonModifierFlagsFromCocoaModifierFlags(Shift | Control | Option | Command | Function),
              0x200u | 0x1000u | 0x800u | 0x100u | 0x20000u);
    EXPECT_EQ(HXCarbonModifierFlagsFromCocoaModifierFlags(CapsLock | LeftControl | RightCommand | NumericPad),
              0u);
    EXPECT_EQ(HXCocoaModifierFlagsFromCarbonModifierFlags(0x1000 | 0x800), Control | Option);
    EXPECT_EQ(HXCocoaModifierFlagsFromCarbonModifierFlags(0x200 | 0x100 | 0x20000 | 0x1),
              Shift | Command | Function);
}

TEST(HXModifierFlags, CapsLockFnAndSidesAreIgnoredOrComparedAsTold) {
    const std::uint64_t controlOption = Control | Option;
    EXPECT_TRUE(HXModifierFlagsMatch(controlOption, controlOption, false, false, false));
    EXPECT_FALSE(HXModifierFlagsMatch(controlOption | Shift, controlOption, true, true, false));
    // Caps lock and fn count only when the settings say so.
    EXPECT_TRUE(HXModifierFlagsMatch(controlOption | CapsLock, controlOption, true, false, false));
    EXPECT_FALSE(HXModifierFlagsMatch(controlOption | CapsLock, controlOption, false, false, false));
    EXPECT_TRUE(HXModifierFlagsMatch(controlOption | Function, controlOption, false, true, false));
    EXPECT_FALSE(HXModifierFlagsMatch(controlOption | Function, controlOption, false, false, false));
    // Left and right: compared only with exact matching and when both sides carry them.
    const std::uint64_t leftCommand = Command | LeftCommand;
    const std::uint64_t rightCommand = Command | RightCommand;
    EXPECT_TRUE(HXModifierFlagsMatch(rightCommand, leftCommand, true, true, false));
    EXPECT_FALSE(HXModifierFlagsMatch(rightCommand, leftCommand, true, true, true));
    EXPECT_TRUE(HXModifierFlagsMatch(leftCommand, leftCommand, true, true, true));
    EXPECT_TRUE(HXModifierFlagsMatch(rightCommand, Command, true, true, true));
    EXPECT_TRUE(HXModifierFlagsMatch(Command, leftCommand, true, true, true));
    // The numeric pad bit belongs to the device-independent byte.
    EXPECT_FALSE(HXModifierFlagsMatch(Command | NumericPad, Command, true, true, false));
}

TEST(HXModifierFlags, LoggingShowsTheMaskedValues) {
    HXLogging::Capture log;
    EXPECT_TRUE(HXLogModifierFlagsMatch(true, Control | 0x1, Control, false, false, false));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines()[0],
              QStringLiteral("comparing modifiers (=> relevant device-independent bits only):\n"
                             "event:\t0x40001\t=>\t0x40000\ninput:\t0x40000\t=>\t0x40000"));
    EXPECT_FALSE(HXLogModifierFlagsMatch(false, Control, Shift, false, false, false));
    EXPECT_EQ(log.lines().size(), 1);
}

TEST(HXHotKey, DictionaryRepresentationRoundTripsAndReadsDefensively) {
    HotKeyWorld w;
    const auto hotKey = HXHotKey::hotKeyWithIdentifer(w.context(), QStringLiteral("Hibernate"),
                                                      QStringLiteral("\u2303\u2325H"), Keys::H,
                                                      Control | Option | LeftControl);
    const HXDictionaryRef dictionary = hotKey->dictionaryRepresentation();
    EXPECT_EQ(dictionary->stringForKey(u"Identifier"), u"Hibernate");
    EXPECT_EQ(dictionary->stringForKey(u"Visual Representation"), u"\u2303\u2325H");
    EXPECT_EQ(dictionary->integerForKey(u"Key Code"), 4);
    EXPECT_EQ(dictionary->integerForKey(u"Modifier Flags"), 0xC0001);
    const auto back = HXHotKey::hotKeyWithDictionaryRepresentation(w.context(), dictionary.get());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->identifier(), u"Hibernate");
    EXPECT_EQ(back->keyCode(), Keys::H);
    EXPECT_EQ(back->modifierFlags(), Control | Option | LeftControl);
    EXPECT_FALSE(back->canBeLocal());
    EXPECT_EQ(back->hotKeyReference(), 0u);

    // The fallback identifier; a missing visual representation or identifier gives nothing; wrong
    // types read as 0.
    const HXDictionaryRef partial =
        makeDictionary({{QStringLiteral("Visual Representation"), QStringLiteral("x")},
                        {QStringLiteral("Key Code"), QStringLiteral("four")}});
    EXPECT_FALSE(HXHotKey::hotKeyWithDictionaryRepresentation(w.context(), partial.get()));
    const auto fallback =
        HXHotKey::hotKeyWithDictionaryRepresentation(w.context(), partial.get(), QStringLiteral("Other"));
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->identifier(), u"Other");
    EXPECT_EQ(fallback->keyCode(), 0);
    const HXDictionaryRef noVisual =
        makeDictionary({{QStringLiteral("Identifier"), QStringLiteral("Hibernate")}});
    EXPECT_FALSE(HXHotKey::hotKeyWithDictionaryRepresentation(w.context(), noVisual.get()));
    EXPECT_FALSE(HXHotKey::hotKeyWithDictionaryRepresentation(w.context(), nullptr));
}

TEST(HXHotKey, VisualRepresentationFollowsTheLayoutAndTheExactSetting) {
    HotKeyWorld w;
    const auto hotKey =
        HXHotKey::hotKeyWithIdentifer(w.context(), QStringLiteral("Hibernate"), QStringLiteral("stale"),
                                      Keys::H, Control | Option | RightControl);
    EXPECT_EQ(hotKey->visualRepresentation(), u"\u2303\u2325H");
    EXPECT_EQ(hotKey->keyEquivalentCharacter(), u"h");
    // Cached until the stored text is set again.
    w.defaults.setBool(u"Hot Keys Require Exact Modifier Key Matches", true);
    EXPECT_EQ(hotKey->visualRepresentation(), u"\u2303\u2325H");
    hotKey->setVisualRepresentation(QStringLiteral("again"));
    EXPECT_EQ(hotKey->visualRepresentation(), u"\u24C7\u2303\u2325H");

    // A key the layout does not know keeps the stored key part.
    const auto unknown = HXHotKey::hotKeyWithIdentifer(w.context(), QStringLiteral("X"),
                                                       QStringLiteral("\u2318\u00A7"), 10, Command);
    EXPECT_EQ(unknown->visualRepresentation(), u"\u2318\u00A7");
    EXPECT_EQ(unknown->keyEquivalentCharacter(), u"\u00A7");
    const auto onlySymbols = HXHotKey::hotKeyWithIdentifer(w.context(), QStringLiteral("X"),
                                                           QStringLiteral("\u2318"), 10, Command);
    EXPECT_EQ(onlySymbols->visualRepresentation(), u"\u2318");
    const auto function = HXHotKey::hotKeyWithIdentifer(w.context(), QStringLiteral("X"),
                                                        QStringLiteral("F5"), Keys::F5, Shift);
    EXPECT_EQ(function->visualRepresentation(), u"\u21E7F5");
    EXPECT_EQ(function->keyEquivalentCharacter(), u"F5");
}

TEST(HXHotKey, LocalOrGlobalByTheSettings) {
    HotKeyWorld w;
    ScriptedDelegate canBeLocal;
    canBeLocal.canBeLocal = true;
    struct Case {
        std::uint16_t code;
        std::uint64_t flags;
    };
    const Case letter{Keys::A, 0}, f5{Keys::F5, 0}, keypad{Keys::Keypad5, 0}, controlLetter{Keys::A, Control},
        commandLetter{Keys::A, Command}, shiftF5{Keys::F5, Shift};
    auto local = [&](const Case& c, bool delegateAnswers = true) {
        auto hotKey = w.hotKey(c.code, c.flags);
        if (delegateAnswers)
            hotKey->setCanBeLocal(true);
        return hotKey->isLocal();
    };
    // Defaults: everything global.
    for (const Case& c : {letter, f5, keypad, controlLetter, commandLetter, shiftF5})
        EXPECT_FALSE(local(c)) << c.code;
    w.defaults.setBool(u"Non-Modifier Hot Keys Are Local", true);
    EXPECT_TRUE(local(letter));
    EXPECT_TRUE(local(keypad));
    EXPECT_FALSE(local(f5));
    EXPECT_FALSE(local(controlLetter));
    w.defaults.setBool(u"Non-Modifier Hot Keys Are Local: Strict", true);
    EXPECT_TRUE(local(f5));
    EXPECT_FALSE(local(shiftF5));
    // A filter mask of only command: control no longer makes a hot key global.
    w.defaults.setInteger(u"Local Hot Key Filter Mask", static_cast<std::int64_t>(Command));
    EXPECT_TRUE(local(controlLetter));
    EXPECT_FALSE(local(commandLetter));
    w.defaults.setBool(u"All Hot Keys Are Local", true);
    EXPECT_TRUE(local(commandLetter));
    // Only hot keys that can be local ever are.
    EXPECT_FALSE(local(commandLetter, false));

    // Registration asks the delegate; a local hot key is registered without the system.
    auto hotKey = w.hotKey(Keys::A, Command);
    EXPECT_TRUE(hotKey->registerForDelegate(canBeLocal));
    EXPECT_TRUE(hotKey->isLocal());
    EXPECT_TRUE(hotKey->isRegistered());
    EXPECT_EQ(hotKey->hotKeyReference(), 0u);
    EXPECT_EQ(w.registrar.registerCalls, 0);
    // A delegate that does not answer leaves it global.
    ScriptedDelegate silent;
    auto global = w.hotKey(Keys::A, Command);
    EXPECT_TRUE(global->registerForDelegate(silent));
    EXPECT_FALSE(global->isLocal());
    EXPECT_NE(global->hotKeyReference(), 0u);
}

TEST(HXHotKey, GlobalRegistrationRefusalTestsAndRelease) {
    HotKeyWorld w;
    ScriptedDelegate delegate;
    w.registrar.refuse(Keys::K, 0x1000 | 0x800);
    auto refused = w.hotKey(Keys::K, Control | Option);
    EXPECT_FALSE(refused->testForDelegate(delegate));
    EXPECT_FALSE(refused->registerForDelegate(delegate));
    EXPECT_FALSE(refused->isRegistered());

    auto hotKey = w.hotKey(Keys::H, Control | Option | LeftOption);
    EXPECT_TRUE(hotKey->testForDelegate(delegate));
    EXPECT_TRUE(w.registrar.registrations().empty()) << "a test leaves nothing registered";
    EXPECT_FALSE(hotKey->isRegistered());
    ASSERT_TRUE(hotKey->registerForDelegate(delegate));
    ASSERT_EQ(w.registrar.registrations().size(), 1u);
    const auto& registration = w.registrar.registrations().begin()->second;
    EXPECT_EQ(registration.keyCode, Keys::H);
    EXPECT_EQ(registration.modifiers, 0x1000u | 0x800u);
    EXPECT_EQ(registration.signature, 0x54455354u);
    EXPECT_EQ(w.pool.useCount(hotKey->hotKeyReference()), 1);
    // Testing an already registered hot key asks nothing of the system; registering again replaces it.
    const int calls = w.registrar.registerCalls;
    EXPECT_TRUE(hotKey->testForDelegate(delegate));
    EXPECT_EQ(w.registrar.registerCalls, calls);
    const std::uint32_t first = hotKey->hotKeyReference();
    EXPECT_TRUE(hotKey->registerForDelegate(delegate));
    EXPECT_NE(hotKey->hotKeyReference(), first);
    EXPECT_EQ(w.registrar.registrations().size(), 1u);

    // Events: a key down by key code, a pressed hot key by its reference; modifiers must match.
    HXKeyboardEvent pressed =
        w.registrar.event(hotKey->hotKeyReference(), true, Control | Option | RightOption);
    EXPECT_TRUE(hotKey->matchesEvent(&pressed));
    pressed.hotKeyReference = first;
    EXPECT_FALSE(hotKey->matchesEvent(&pressed));
    EXPECT_TRUE(matches(*hotKey, keyDown(Keys::H, Control | Option | CapsLock)));
    EXPECT_FALSE(matches(*hotKey, keyDown(Keys::H, Control)));
    EXPECT_FALSE(matches(*hotKey, keyDown(Keys::K, Control | Option)));
    EXPECT_FALSE(hotKey->matchesEvent(nullptr));
    HXKeyboardEvent released = w.registrar.event(hotKey->hotKeyReference(), false, Control | Option);
    EXPECT_FALSE(hotKey->matchesEvent(&released));

    // Letting go of the hot key gives the registration back.
    hotKey.reset();
    EXPECT_TRUE(w.registrar.registrations().empty());
}

TEST(HXHotKey, EqualsAreTakenUnlessTheDelegateSharesTheRegistration) {
    HotKeyWorld w;
    ScriptedDelegate delegate;
    auto first = w.hotKey(Keys::H, Control | Option);
    ASSERT_TRUE(first->registerForDelegate(delegate));
    delegate.keys = {first.get()};
    {
        HXLogging::Capture log;
        auto second = w.hotKey(Keys::H, Control | Option | CapsLock);
        EXPECT_FALSE(second->testForDelegate(delegate));
        EXPECT_FALSE(second->registerForDelegate(delegate));
        EXPECT_TRUE(log.contains(QStringLiteral("the hot key <\u2303\u2325H> is already taken")));
    }
    // With a delegate that accepts duplicates, the second shares the first's registration.
    delegate.acceptDuplicates = true;
    auto second = w.hotKey(Keys::H, Control | Option);
    EXPECT_TRUE(second->registerForDelegate(delegate));
    EXPECT_EQ(second->hotKeyReference(), first->hotKeyReference());
    EXPECT_EQ(w.registrar.registrations().size(), 1u);
    EXPECT_EQ(w.pool.useCount(first->hotKeyReference()), 2);
    first.reset();
    EXPECT_EQ(w.registrar.registrations().size(), 1u) << "still used by the second";
    second->unregister();
    EXPECT_TRUE(w.registrar.registrations().empty());
    EXPECT_EQ(w.registrar.unregisterCalls, 1);

    // An equal without a registration of its own cannot be shared; a refusal is the delegate's answer.
    auto unregistered = w.hotKey(Keys::K, Command);
    delegate.keys = {unregistered.get()};
    {
        HXLogging::Capture log;
        auto third = w.hotKey(Keys::K, Command);
        EXPECT_FALSE(third->registerForDelegate(delegate));
        EXPECT_TRUE(log.contains(QStringLiteral("cannot inherit reference for hot key <\u2318K>")));
    }
    delegate.acceptDuplicates = false;
    auto fourth = w.hotKey(Keys::K, Command);
    EXPECT_TRUE(fourth->testForDelegate(delegate))
        << "a test with equals only asks whether the delegate answers";
    EXPECT_FALSE(fourth->registerForDelegate(delegate));
}

TEST(HXHotKey, ExactMatchingMakesLeftAndRightDifferentHotKeys) {
    HotKeyWorld w;
    auto left = w.hotKey(Keys::K, Command | LeftCommand);
    auto right = w.hotKey(Keys::K, Command | RightCommand);
    auto either = w.hotKey(Keys::K, Command);
    EXPECT_TRUE(left->isEqualToHotKey(right.get()));
    EXPECT_FALSE(left->isEqualToHotKey(nullptr));
    EXPECT_TRUE(matches(*left, keyDown(Keys::K, Command | RightCommand)));
    w.defaults.setBool(u"Hot Keys Require Exact Modifier Key Matches", true);
    EXPECT_FALSE(left->isEqualToHotKey(right.get()));
    EXPECT_TRUE(left->isEqualToHotKey(either.get()));
    EXPECT_FALSE(matches(*left, keyDown(Keys::K, Command | RightCommand)));
    EXPECT_TRUE(matches(*left, keyDown(Keys::K, Command | LeftCommand)));
    EXPECT_TRUE(matches(*either, keyDown(Keys::K, Command | RightCommand)));
    // Caps lock and fn are ignored only while the settings say so.
    EXPECT_TRUE(matches(*either, keyDown(Keys::K, Command | CapsLock | Function)));
    w.defaults.setBool(u"Hot Keys Account For Caps Lock Status", true);
    EXPECT_FALSE(matches(*either, keyDown(Keys::K, Command | CapsLock)));
    w.defaults.setBool(u"Hot Keys Account For Function Key Status", true);
    EXPECT_FALSE(matches(*either, keyDown(Keys::K, Command | Function)));
    EXPECT_TRUE(matches(*either, keyDown(Keys::K, Command)));
}

TEST(HXHotKeyReferencePool, CountsSharesAndNumbersWrapAfterOneMillion) {
    HXHotKeyReferencePool pool;
    EXPECT_TRUE(pool.pop(7)) << "nothing counted yet";
    EXPECT_FALSE(pool.pop(0));
    pool.push(0);
    EXPECT_EQ(pool.useCount(0), 0);
    pool.push(7);
    pool.push(7);
    EXPECT_FALSE(pool.pop(7));
    EXPECT_TRUE(pool.pop(7));
    EXPECT_EQ(pool.useCount(7), 0);
    EXPECT_TRUE(pool.pop(9));

    EXPECT_EQ(pool.nextRegistrationNumber(), 0u);
    EXPECT_EQ(pool.nextRegistrationNumber(), 1u);
    pool.setNextRegistrationNumber(999999);
    EXPECT_EQ(pool.nextRegistrationNumber(), 999999u);
    EXPECT_EQ(pool.nextRegistrationNumber(), 1000000u);
    EXPECT_EQ(pool.nextRegistrationNumber(), 0u);

    // Registrations use the numbers in turn.
    HotKeyWorld w;
    ScriptedDelegate delegate;
    w.pool.setNextRegistrationNumber(1000000);
    auto a = w.hotKey(Keys::A, Command);
    auto b = w.hotKey(Keys::K, Command);
    ASSERT_TRUE(a->registerForDelegate(delegate));
    ASSERT_TRUE(b->registerForDelegate(delegate));
    EXPECT_EQ(w.registrar.registrations().at(a->hotKeyReference()).identifier, 1000000u);
    EXPECT_EQ(w.registrar.registrations().at(b->hotKeyReference()).identifier, 0u);
    EXPECT_EQ(&HXHotKeyReferencePool::defaultPool(), &HXHotKeyReferencePool::defaultPool());
}
