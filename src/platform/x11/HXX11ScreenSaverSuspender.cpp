#include "platform/x11/HXX11ScreenSaverSuspender.h"

#include "platform/x11/HXX11Reply.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

HXX11ScreenSaverSuspender::HXX11ScreenSaverSuspender(QByteArray displayName)
    : m_displayName(std::move(displayName)) {}

HXX11ScreenSaverSuspender::~HXX11ScreenSaverSuspender() {
    disconnect();
}

void HXX11ScreenSaverSuspender::disconnect() {
    if (m_connection)
        xcb_disconnect(m_connection);
    m_connection = nullptr;
}

bool HXX11ScreenSaverSuspender::suspend(bool on) {
    if (!m_connection) {
        m_connection = xcb_connect(m_displayName.isEmpty() ? nullptr : m_displayName.constData(), nullptr);
        const xcb_query_extension_reply_t* extension =
            xcb_connection_has_error(m_connection)
                ? nullptr
                : xcb_get_extension_data(m_connection, &xcb_screensaver_id);
        if (!extension || !extension->present) {
            disconnect();
            return false;
        }
    }
    HXX11Reply<xcb_generic_error_t> error(
        xcb_request_check(m_connection, xcb_screensaver_suspend_checked(m_connection, on ? 1 : 0)));
    const bool done = !error && !xcb_connection_has_error(m_connection);
    if (!done)
        disconnect();
    return done;
}

std::optional<std::uint32_t> HXX11ScreenSaverSuspender::createAssertion(const QString&) {
    // One suspension covers every assertion; it is taken with the first and given back with the last.
    if (m_assertions.empty() && !suspend(true))
        return std::nullopt;
    const std::uint32_t identifier = m_nextIdentifier++;
    m_assertions.insert(identifier);
    return identifier;
}

bool HXX11ScreenSaverSuspender::releaseAssertion(std::uint32_t identifier) {
    if (m_assertions.erase(identifier) == 0)
        return false;
    if (m_assertions.empty()) {
        suspend(false);
        disconnect();
    }
    return true;
}
