#include "platform/x11/HXX11DesktopPresence.h"

#include "platform/x11/HXX11Reply.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

HXX11DesktopPresence::HXX11DesktopPresence(const QByteArray& displayName) {
    m_connection = xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &m_screen);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < m_screen && it.rem; ++i)
        xcb_screen_next(&it);
    if (it.rem)
        m_root = it.data->root;
}

HXX11DesktopPresence::~HXX11DesktopPresence() {
    if (m_connection)
        xcb_disconnect(m_connection);
}

std::uint32_t HXX11DesktopPresence::atom(const char* name) const {
    HXX11Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : 0;
}

bool HXX11DesktopPresence::hasXEmbedTrayManager() const {
    if (!m_connection)
        return false;
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(m_screen);
    const std::uint32_t trayAtom = atom(selection.c_str());
    if (!trayAtom)
        return false;
    HXX11Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, trayAtom), nullptr));
    return owner && owner->owner != XCB_NONE;
}

void HXX11DesktopPresence::setSkipsTaskbar(std::uint32_t window, bool skip) {
    if (!m_connection || !window)
        return;
    const std::uint32_t state = atom("_NET_WM_STATE");
    const std::uint32_t taskbar = atom("_NET_WM_STATE_SKIP_TASKBAR");
    const std::uint32_t pager = atom("_NET_WM_STATE_SKIP_PAGER");
    if (!state || !taskbar || !pager)
        return;
    // The property, for a window the window manager has not taken on yet...
    HXX11Reply<xcb_get_property_reply_t> current(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, state, XCB_ATOM_ATOM, 0, 64), nullptr));
    std::vector<std::uint32_t> atoms;
    if (current && current->format == 32) {
        const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(current.get()));
        atoms.assign(values, values + xcb_get_property_value_length(current.get()) / 4);
    }
    std::erase_if(atoms, [&](std::uint32_t a) { return a == taskbar || a == pager; });
    if (skip) {
        atoms.push_back(taskbar);
        atoms.push_back(pager);
    }
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
    // ...and the request, for one it manages.
    sendToRoot(window, state, {skip ? 1u : 0u, taskbar, pager, 1});
}

void HXX11DesktopPresence::setOnAllDesktops(std::uint32_t window) {
    if (!m_connection || !window)
        return;
    const std::uint32_t desktop = atom("_NET_WM_DESKTOP");
    const std::uint32_t state = atom("_NET_WM_STATE");
    const std::uint32_t sticky = atom("_NET_WM_STATE_STICKY");
    if (!desktop || !state || !sticky)
        return;
    const std::uint32_t all = 0xFFFFFFFF;
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, desktop, XCB_ATOM_CARDINAL, 32, 1, &all);
    sendToRoot(window, desktop, {all, 1, 0, 0});
    sendToRoot(window, state, {1, sticky, 0, 1});
}

void HXX11DesktopPresence::sendToRoot(std::uint32_t window, std::uint32_t type,
                                      const std::uint32_t (&data)[4]) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    for (int i = 0; i < 4; ++i)
        message.data.data32[i] = data[i];
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
}
