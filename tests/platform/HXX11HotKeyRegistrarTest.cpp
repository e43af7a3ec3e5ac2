#include "X11TestSupport.h"

#include "foundation/HXLog.h"
#include "platform/x11/HXX11HotKeyRegistrar.h"
#include "platform/x11/HXXkbKeyboardLayout.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <vector>

namespace {

constexpr std::uint16_t kH = 4;
constexpr std::uint32_t kControlOption = HXHotKeyRegistrar::ControlKey | HXHotKeyRegistrar::OptionKey;

bool xdotool(const QStringList& arguments) {
    return runTool(QStringLiteral("xdotool"), arguments);
}

class X11HotKeyRegistrarTest : public testing::Test {
protected:
    void SetUp() override {
        QD_REQUIRE_DISPLAY();
        registrar = std::make_unique<HXX11HotKeyRegistrar>();
        registrar->setEventHandler([this](const HXKeyboardEvent& event) { events.push_back(event); });
        ASSERT_TRUE(registrar->isConnected());
        ASSERT_TRUE(registrar->keyboardLayout());
    }

    std::unique_ptr<HXX11HotKeyRegistrar> registrar;
    std::vector<HXKeyboardEvent> events;
};

// Another X client, holding a key grab of its own.
class OtherClient {
public:
    OtherClient() : m_connection(xcb_connect(nullptr, nullptr)) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~OtherClient() { xcb_disconnect(m_connection); }
    bool grab(std::uint8_t keycode, std::uint16_t modifiers) {
        xcb_generic_error_t* error =
            xcb_request_check(m_connection, xcb_grab_key_checked(m_connection, 1, m_root, modifiers, keycode,
                                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return !error;
    }

    // Presses or releases exactly this key, as the keyboard would.
    void fakeKey(std::uint32_t keycode, bool press) {
        xcb_test_fake_input(m_connection, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE,
                            static_cast<std::uint8_t>(keycode), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
};

} // namespace

TEST_F(X11HotKeyRegistrarTest, ControlAltHFiresOncePerPressWhateverTheLocks) {
    EXPECT_TRUE(registrar->hasDetectableAutoRepeat());
    EXPECT_GT(registrar->keyRepeatDelay(), 0.01);
    EXPECT_GT(registrar->keyRepeatInterval(), 0.001);
    const std::optional<std::uint32_t> reference =
        registrar->registerHotKey(kH, kControlOption, 0x514C686B, 0);
    ASSERT_TRUE(reference);
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+h")}));
    ASSERT_TRUE(waitUntil([&] { return events.size() >= 2; }));
    EXPECT_EQ(events[0].type, HXKeyboardEvent::Type::HotKeyPressed);
    EXPECT_EQ(events[0].hotKeyReference, *reference);
    EXPECT_EQ(events[0].keyCode, kH);
    EXPECT_EQ(events[0].modifierFlags & 0xFF0000, 0xC0000u);
    EXPECT_EQ(events[1].type, HXKeyboardEvent::Type::HotKeyReleased);
    EXPECT_EQ(events[1].hotKeyReference, *reference);

    // With Caps Lock on, the same press fires.
    events.clear();
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Caps_Lock"), QStringLiteral("ctrl+alt+h"),
                         QStringLiteral("Caps_Lock")}));
    ASSERT_TRUE(waitUntil([&] { return events.size() >= 2; }));
    EXPECT_EQ(events[0].modifierFlags & 0x10000, 0x10000u);

    // Held for a second, the key repeats on the server, and still gives one press and one release.
    events.clear();
    ASSERT_TRUE(xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl+alt+h"), QStringLiteral("sleep"),
                         QStringLiteral("1"), QStringLiteral("keyup"), QStringLiteral("ctrl+alt+h")}));
    ASSERT_TRUE(waitUntil([&] { return events.size() >= 2; }));
    spin(200);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].type, HXKeyboardEvent::Type::HotKeyReleased);

    // Other combinations are not ours; once unregistered, neither is this one.
    events.clear();
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+h"), QStringLiteral("alt+h")}));
    registrar->unregisterHotKey(*reference);
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+h")}));
    spin(300);
    EXPECT_TRUE(events.empty());
}

TEST_F(X11HotKeyRegistrarTest, TheSidesOfTheModifierKeysHeldAreReported) {
    const std::optional<std::uint32_t> reference =
        registrar->registerHotKey(kH, HXHotKeyRegistrar::ShiftKey | HXHotKeyRegistrar::CommandKey, 0, 1);
    ASSERT_TRUE(reference);
    // The sides are read when the press arrives, while the keys are held. xdotool would add the left
    // keys of the modifiers it sets, so the keys are pressed one by one here.
    const HXXkbKeyboardLayout& layout = *registrar->keyboardLayout();
    const std::vector<std::uint32_t> keys{layout.nativeKeyCodeForKeyCode(60).value(),
                                          layout.nativeKeyCodeForKeyCode(55).value(),
                                          layout.nativeKeyCodeForKeyCode(kH).value()};
    OtherClient keyboard;
    for (std::uint32_t key : keys)
        keyboard.fakeKey(key, true);
    ASSERT_TRUE(waitUntil([&] { return !events.empty(); }));
    EXPECT_EQ(events[0].modifierFlags & 0x6, 0x4u) << "right shift, not left";
    EXPECT_EQ(events[0].modifierFlags & 0x18, 0x8u) << "left command (Super)";
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        keyboard.fakeKey(*key, false);
    ASSERT_TRUE(waitUntil([&] { return events.size() >= 2; }));
    EXPECT_EQ(registrar->heldModifierSides(), 0u);
    registrar->unregisterHotKey(*reference);
}

TEST_F(X11HotKeyRegistrarTest, CombinationsHeldElsewhereAreRefusedAndOwnOnesShared) {
    const std::uint32_t hNative = registrar->keyboardLayout()->nativeKeyCodeForKeyCode(kH).value();
    OtherClient other;
    // The other client holds only the Num Lock variant: the registration fails as a whole.
    ASSERT_TRUE(other.grab(static_cast<std::uint8_t>(hNative),
                           XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_2));
    EXPECT_FALSE(registrar->registerHotKey(kH, kControlOption, 0, 2));
    // Nothing was kept: a third client can still have the plain variant.
    OtherClient third;
    EXPECT_TRUE(third.grab(static_cast<std::uint8_t>(hNative), XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));

    // Our own registrations of one combination share its grab.
    const auto first = registrar->registerHotKey(kH, HXHotKeyRegistrar::CommandKey, 0, 3);
    const auto second = registrar->registerHotKey(kH, HXHotKeyRegistrar::CommandKey, 0, 4);
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_NE(*first, *second);
    registrar->unregisterHotKey(*first);
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("super+h")}));
    ASSERT_TRUE(waitUntil([&] { return !events.empty(); }));
    EXPECT_EQ(events[0].hotKeyReference, *second);
    EXPECT_EQ(events[0].modifierFlags & 0xFF0000, 0x100000u);
    registrar->unregisterHotKey(*second);
    EXPECT_FALSE(registrar->registerHotKey(52, HXHotKeyRegistrar::CommandKey, 0, 5)) << "no such key";
}

TEST(HXX11HotKeyRegistrar, ModifierMapping) {
    EXPECT_EQ(HXX11HotKeyRegistrar::xModifiers(HXHotKeyRegistrar::ShiftKey), XCB_MOD_MASK_SHIFT);
    EXPECT_EQ(HXX11HotKeyRegistrar::xModifiers(HXHotKeyRegistrar::ControlKey), XCB_MOD_MASK_CONTROL);
    EXPECT_EQ(HXX11HotKeyRegistrar::xModifiers(HXHotKeyRegistrar::OptionKey), XCB_MOD_MASK_1);
    EXPECT_EQ(HXX11HotKeyRegistrar::xModifiers(HXHotKeyRegistrar::CommandKey), XCB_MOD_MASK_4);
    EXPECT_EQ(HXX11HotKeyRegistrar::xModifiers(HXHotKeyRegistrar::FunctionKey), 0);
    EXPECT_EQ(HXX11HotKeyRegistrar::eventFlags(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2 | XCB_MOD_MASK_4),
              0x110000u);
    EXPECT_EQ(HXX11HotKeyRegistrar::eventFlags(XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1),
              0xE0000u);
}
