#include "platform/x11/HXX11DisplayPower.h"

#include "platform/x11/HXX11Reply.h"

#include <xcb/dpms.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

HXX11DisplayPower::HXX11DisplayPower(QByteArray displayName) : m_displayName(std::move(displayName)) {}

HXX11DisplayPower::~HXX11DisplayPower() {
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool HXX11DisplayPower::open(QString* why) {
    if (m_connection)
        return true;
    xcb_connection_t* connection =
        xcb_connect(m_displayName.isEmpty() ? nullptr : m_displayName.constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        *why = QStringLiteral("cannot connect to the X display");
        return false;
    }
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_dpms_id);
    if (!extension || !extension->present) {
        xcb_disconnect(connection);
        *why = QStringLiteral("the X server has no DPMS extension");
        return false;
    }
    m_connection = connection;
    return true;
}

std::optional<bool> HXX11DisplayPower::displaysAsleep() {
    if (!m_connection || xcb_connection_has_error(m_connection))
        return std::nullopt;
    if (m_pending) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        if (xcb_poll_for_reply(m_connection, *m_pending, &reply, &error)) {
            const HXX11Reply<xcb_dpms_info_reply_t> info(static_cast<xcb_dpms_info_reply_t*>(reply));
            const HXX11Reply<xcb_generic_error_t> failure(error);
            if (info)
                m_asleep = info->state != 0 && info->power_level != XCB_DPMS_DPMS_MODE_ON;
            m_pending.reset();
        }
    }
    // A slow server keeps its request; a new one is sent only once it answered.
    if (!m_pending) {
        m_pending = xcb_dpms_info(m_connection).sequence;
        xcb_flush(m_connection);
    }
    return m_asleep;
}
