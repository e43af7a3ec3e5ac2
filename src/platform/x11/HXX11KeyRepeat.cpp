#include "platform/x11/HXX11KeyRepeat.h"

#include "platform/x11/HXX11Reply.h"

// The header names a member "explicit", which C++ keeps for itself.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit

std::optional<HXX11KeyRepeat> HXX11KeyRepeatOf(xcb_connection_t* connection) {
    if (!connection)
        return std::nullopt;
    const HXX11Reply<xcb_xkb_use_extension_reply_t> use(xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
        nullptr));
    if (!use || !use->supported)
        return std::nullopt;
    const HXX11Reply<xcb_xkb_get_controls_reply_t> controls(xcb_xkb_get_controls_reply(
        connection, xcb_xkb_get_controls(connection, XCB_XKB_ID_USE_CORE_KBD), nullptr));
    if (!controls || controls->repeatInterval == 0)
        return std::nullopt;
    return HXX11KeyRepeat{controls->repeatDelay / 1000.0, controls->repeatInterval / 1000.0};
}
