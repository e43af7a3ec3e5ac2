#include "X11TestSupport.h"

#include "platform/x11/HXX11Reply.h"
#include "platform/x11/HXX11ScreenSaverSuspender.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

namespace {

// Watches the X screen saver with a one-second timeout, and puts the server's settings back afterwards.
class X11ScreenSaverSuspenderTest : public testing::Test {
protected:
    void SetUp() override {
        QD_REQUIRE_DISPLAY();
        connection = xcb_connect(nullptr, nullptr);
        ASSERT_FALSE(xcb_connection_has_error(connection));
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_set_screen_saver(connection, 1, 0, XCB_BLANKING_PREFERRED, XCB_EXPOSURES_ALLOWED);
        xcb_force_screen_saver(connection, XCB_SCREEN_SAVER_RESET);
        xcb_flush(connection);
    }

    void TearDown() override {
        if (!connection)
            return;
        xcb_set_screen_saver(connection, -1, -1, XCB_BLANKING_DEFAULT, XCB_EXPOSURES_DEFAULT);
        xcb_force_screen_saver(connection, XCB_SCREEN_SAVER_RESET);
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        xcb_disconnect(connection);
    }

    bool screenSaverOn() {
        HXX11Reply<xcb_screensaver_query_info_reply_t> info(xcb_screensaver_query_info_reply(
            connection, xcb_screensaver_query_info(connection, root), nullptr));
        return info && info->state == XCB_SCREENSAVER_STATE_ON;
    }

    void restartIdleTime() {
        xcb_force_screen_saver(connection, XCB_SCREEN_SAVER_RESET);
        xcb_flush(connection);
    }

    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
};

TEST_F(X11ScreenSaverSuspenderTest, AssertionsKeepTheScreenSaverOff) {
    // Without an assertion, the screen saver starts after a second.
    EXPECT_TRUE(waitUntil([&] { return screenSaverOn(); }, 3000));

    HXX11ScreenSaverSuspender suspender;
    restartIdleTime();
    const auto first = suspender.createAssertion(QStringLiteral("Qualdern Insomnia"));
    const auto second = suspender.createAssertion(QStringLiteral("Another"));
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    spin(1800);
    EXPECT_FALSE(screenSaverOn());

    // One assertion left still holds.
    EXPECT_TRUE(suspender.releaseAssertion(*first));
    EXPECT_FALSE(suspender.releaseAssertion(*first));
    spin(1200);
    EXPECT_FALSE(screenSaverOn());

    EXPECT_TRUE(suspender.releaseAssertion(*second));
    EXPECT_TRUE(waitUntil([&] { return screenSaverOn(); }, 3000));
}

TEST(X11ScreenSaverSuspenderWithoutDisplayTest, CreatesNoAssertion) {
    HXX11ScreenSaverSuspender suspender(":59999");
    EXPECT_FALSE(suspender.createAssertion(QStringLiteral("Nowhere")));
    EXPECT_FALSE(suspender.releaseAssertion(1));
}

} // namespace
