#include "platform/x11/HXX11WindowQuery.h"

#include "platform/HXWindowServer.h"
#include "platform/x11/HXX11Property.h"
#include "platform/x11/HXX11Reply.h"

#include <xcb/res.h>

#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>

namespace {

enum Property { NetName, Name, Pid, Class, Type, State, Desktop, PropertyCount };

constexpr xcb_get_property_cookie_t kNotAsked{0};

struct PropertyResult {
    HXX11Reply<xcb_get_property_reply_t> reply;
    bool badWindow = false;
};

PropertyResult collect(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    PropertyResult result{HXX11Reply<xcb_get_property_reply_t>(xcb_get_property_reply(c, cookie, &error))};
    if (error) {
        result.badWindow = error->error_code == XCB_WINDOW;
        std::free(error);
    }
    return result;
}

// Client resource base -> process id, from XRes.
std::unordered_map<std::uint32_t, std::int64_t> collectProcessIds(xcb_connection_t* c,
                                                                  xcb_res_query_client_ids_cookie_t cookie) {
    std::unordered_map<std::uint32_t, std::int64_t> pids;
    xcb_generic_error_t* error = nullptr;
    HXX11Reply<xcb_res_query_client_ids_reply_t> reply(xcb_res_query_client_ids_reply(c, cookie, &error));
    std::free(error);
    if (!reply)
        return pids;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
        if (!(it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID))
            continue;
        if (xcb_res_client_id_value_value_length(it.data) < 1)
            continue;
        const std::uint32_t pid = *xcb_res_client_id_value_value(it.data);
        if (pid > 0)
            pids.emplace(it.data->spec.client, pid);
    }
    return pids;
}

bool contains(const std::vector<std::uint32_t>& atoms, xcb_atom_t atom) {
    return atom != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

int layerFor(const HXX11ClientWindow& w) {
    switch (w.kind) {
    case HXX11WindowKind::Dock:
        return HXWindowServer::kDockLevel;
    case HXX11WindowKind::Transient:
        return HXWindowServer::kPopUpMenuLevel;
    case HXX11WindowKind::Utility:
        return HXWindowServer::kFloatingLevel;
    case HXX11WindowKind::Normal:
    case HXX11WindowKind::Dialog:
    case HXX11WindowKind::Desktop:
        break;
    }
    return w.above ? HXWindowServer::kFloatingLevel : HXWindowServer::kNormalLevel;
}

} // namespace

struct HXX11WindowQuery::WindowRequests {
    std::array<xcb_get_property_cookie_t, PropertyCount> cookies{};
    const FixedProperties* known = nullptr;
};

HXX11WindowQuery::HXX11WindowQuery(const xcb_ewmh_connection_t& ewmh, xcb_window_t root,
                                   xcb_atom_t compoundText, std::uint32_t resourceIdMask, bool hasClientIds)
    : m_ewmh(ewmh), m_connection(ewmh.connection), m_root(root), m_resourceIdMask(resourceIdMask),
      m_hasClientIds(hasClientIds), m_decoder(ewmh.UTF8_STRING, compoundText) {}

std::optional<HXX11WindowSnapshot> HXX11WindowQuery::run(HXX11Availability& status) const {
    xcb_connection_t* c = m_connection;
    if (xcb_connection_has_error(c)) {
        status = HXX11Availability::ConnectionLost;
        return std::nullopt;
    }
    const auto wmCheckCookie =
        xcb_get_property(c, 0, m_root, m_ewmh._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 0, 1);
    const auto stackingCookie =
        xcb_get_property(c, 0, m_root, m_ewmh._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW, 0, kMaxWindows);
    const auto activeCookie =
        xcb_get_property(c, 0, m_root, m_ewmh._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 0, 1);
    const auto desktopCookie =
        xcb_get_property(c, 0, m_root, m_ewmh._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 0, 1);
    xcb_res_query_client_ids_cookie_t idsCookie{};
    if (m_hasClientIds) {
        const xcb_res_client_id_spec_t everyClient{0, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        idsCookie = xcb_res_query_client_ids(c, 1, &everyClient);
    }

    const PropertyResult wmCheck = collect(c, wmCheckCookie);
    const PropertyResult stacking = collect(c, stackingCookie);
    const PropertyResult active = collect(c, activeCookie);
    const PropertyResult desktop = collect(c, desktopCookie);
    const auto pids =
        m_hasClientIds ? collectProcessIds(c, idsCookie) : std::unordered_map<std::uint32_t, std::int64_t>();
    if (xcb_connection_has_error(c)) {
        status = HXX11Availability::ConnectionLost;
        return std::nullopt;
    }
    const std::optional<std::uint32_t> checkWindow =
        HXX11Property::first32(wmCheck.reply.get(), XCB_ATOM_WINDOW);
    if (!checkWindow || *checkWindow == XCB_WINDOW_NONE) {
        status = HXX11Availability::NoWindowManager;
        return std::nullopt;
    }

    std::vector<std::uint32_t> clients = HXX11Property::items32(stacking.reply.get(), XCB_ATOM_WINDOW);
    if (!stacking.reply || stacking.reply->type == XCB_ATOM_NONE) {
        // Without a stacking order the plain client list (oldest first) is the best guess.
        clients = HXX11Property::items32(collect(c, xcb_get_property(c, 0, m_root, m_ewmh._NET_CLIENT_LIST,
                                                                     XCB_ATOM_WINDOW, 0, kMaxWindows))
                                             .reply.get(),
                                         XCB_ATOM_WINDOW);
    }
    std::reverse(clients.begin(), clients.end());
    std::unordered_set<std::uint32_t> seen;
    std::erase_if(clients, [&](std::uint32_t w) { return w == XCB_WINDOW_NONE || !seen.insert(w).second; });

    // The check window names itself while its window manager runs; a stale root property after a crash
    // does not.
    const auto selfCheckCookie =
        xcb_get_property(c, 0, *checkWindow, m_ewmh._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 0, 1);
    std::vector<WindowRequests> requests(clients.size());
    for (std::size_t i = 0; i < clients.size(); ++i) {
        const std::uint32_t w = clients[i];
        WindowRequests& r = requests[i];
        const auto known = m_fixed.find(w);
        r.known = known == m_fixed.end() ? nullptr : &known->second;
        const auto ask = [&](xcb_atom_t property, xcb_atom_t type, std::uint32_t length) {
            return xcb_get_property(c, 0, w, property, type, 0, length);
        };
        r.cookies[NetName] = ask(m_ewmh._NET_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, kMaxTitleLongs);
        if (!r.known || !r.known->hasNetName)
            r.cookies[Name] = ask(XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, kMaxTitleLongs);
        if (!r.known) {
            r.cookies[Pid] = ask(m_ewmh._NET_WM_PID, XCB_ATOM_CARDINAL, 1);
            r.cookies[Class] = ask(XCB_ATOM_WM_CLASS, XCB_GET_PROPERTY_TYPE_ANY, 256);
            r.cookies[Type] = ask(m_ewmh._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, 32);
        }
        r.cookies[State] = ask(m_ewmh._NET_WM_STATE, XCB_ATOM_ATOM, 64);
        r.cookies[Desktop] = ask(m_ewmh._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, 1);
    }
    const PropertyResult selfCheck = collect(c, selfCheckCookie);

    HXX11WindowSnapshot snapshot;
    snapshot.windows.reserve(clients.size());
    for (std::size_t i = 0; i < clients.size(); ++i) {
        HXX11ClientWindow window;
        window.id = clients[i];
        bool vanished = false;
        fill(window, requests[i], vanished);
        if (vanished)
            continue;
        const auto owner = pids.find(window.id & ~m_resourceIdMask);
        if (owner != pids.end())
            window.processIdentifier = owner->second;
        snapshot.windows.push_back(std::move(window));
    }
    if (xcb_connection_has_error(c)) {
        status = HXX11Availability::ConnectionLost;
        return std::nullopt;
    }
    if (HXX11Property::first32(selfCheck.reply.get(), XCB_ATOM_WINDOW) != checkWindow) {
        status = HXX11Availability::NoWindowManager;
        return std::nullopt;
    }
    // Windows no longer listed are forgotten; their ids may come back for new windows.
    std::erase_if(m_fixed, [&](const auto& entry) { return !seen.contains(entry.first); });
    snapshot.currentDesktop = HXX11Property::first32(desktop.reply.get(), XCB_ATOM_CARDINAL);
    snapshot.activeWindow =
        HXX11Property::first32(active.reply.get(), XCB_ATOM_WINDOW).value_or(XCB_WINDOW_NONE);
    status = HXX11Availability::Available;
    return snapshot;
}

void HXX11WindowQuery::fill(HXX11ClientWindow& window, WindowRequests& requests, bool& vanished) const {
    std::array<PropertyResult, PropertyCount> r;
    for (std::size_t k = 0; k < PropertyCount; ++k) {
        if (requests.cookies[k].sequence == kNotAsked.sequence)
            continue;
        r[k] = collect(m_connection, requests.cookies[k]);
        vanished = vanished || r[k].badWindow;
    }
    if (vanished)
        return;

    window.title = text(r[NetName].reply.get());
    if ((!window.title || window.title->isEmpty()) && requests.known && requests.known->hasNetName) {
        // The window dropped its _NET_WM_NAME: its WM_NAME is wanted after all.
        r[Name] = collect(m_connection, xcb_get_property(m_connection, 0, window.id, XCB_ATOM_WM_NAME,
                                                         XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxTitleLongs));
    }
    const bool hasNetName = window.title && !window.title->isEmpty();
    if (!hasNetName) {
        std::optional<QString> legacy = text(r[Name].reply.get());
        if (legacy && (!window.title || !legacy->isEmpty()))
            window.title = std::move(legacy);
    }
    FixedProperties& fixed = m_fixed[window.id];
    if (!requests.known) {
        fixed = FixedProperties{};
        if (const auto pid = HXX11Property::first32(r[Pid].reply.get(), XCB_ATOM_CARDINAL); pid && *pid > 0)
            fixed.processIdentifier = *pid;
        if (const std::optional<QByteArray> wmClass = HXX11Property::bytes8(r[Class].reply.get())) {
            const qsizetype split = wmClass->indexOf('\0');
            const xcb_atom_t type = r[Class].reply->type;
            fixed.instanceName = m_decoder.decode(type, wmClass->left(split < 0 ? wmClass->size() : split));
            if (split >= 0)
                fixed.className = m_decoder.decode(type, wmClass->mid(split + 1));
        }
        fixed.kind = kindFromTypes(HXX11Property::items32(r[Type].reply.get(), XCB_ATOM_ATOM));
    }
    fixed.hasNetName = hasNetName;
    window.processIdentifier = fixed.processIdentifier;
    window.instanceName = fixed.instanceName;
    window.className = fixed.className;
    window.kind = fixed.kind;
    const std::vector<std::uint32_t> states = HXX11Property::items32(r[State].reply.get(), XCB_ATOM_ATOM);
    window.hidden = contains(states, m_ewmh._NET_WM_STATE_HIDDEN);
    window.sticky = contains(states, m_ewmh._NET_WM_STATE_STICKY);
    window.above = contains(states, m_ewmh._NET_WM_STATE_ABOVE);
    window.skipTaskbar = contains(states, m_ewmh._NET_WM_STATE_SKIP_TASKBAR);
    window.desktop = HXX11Property::first32(r[Desktop].reply.get(), XCB_ATOM_CARDINAL);
    window.layer = layerFor(window);
}

HXX11WindowKind HXX11WindowQuery::kindFromTypes(const std::vector<std::uint32_t>& types) const {
    // The list is in order of preference; the first type this code knows decides.
    const xcb_ewmh_connection_t& e = m_ewmh;
    for (const std::uint32_t t : types) {
        if (t == XCB_ATOM_NONE)
            continue;
        if (t == e._NET_WM_WINDOW_TYPE_NORMAL)
            return HXX11WindowKind::Normal;
        if (t == e._NET_WM_WINDOW_TYPE_DIALOG)
            return HXX11WindowKind::Dialog;
        if (t == e._NET_WM_WINDOW_TYPE_UTILITY || t == e._NET_WM_WINDOW_TYPE_TOOLBAR)
            return HXX11WindowKind::Utility;
        if (t == e._NET_WM_WINDOW_TYPE_DOCK)
            return HXX11WindowKind::Dock;
        if (t == e._NET_WM_WINDOW_TYPE_DESKTOP)
            return HXX11WindowKind::Desktop;
        if (t == e._NET_WM_WINDOW_TYPE_MENU || t == e._NET_WM_WINDOW_TYPE_DROPDOWN_MENU ||
            t == e._NET_WM_WINDOW_TYPE_POPUP_MENU || t == e._NET_WM_WINDOW_TYPE_TOOLTIP ||
            t == e._NET_WM_WINDOW_TYPE_NOTIFICATION || t == e._NET_WM_WINDOW_TYPE_COMBO ||
            t == e._NET_WM_WINDOW_TYPE_DND || t == e._NET_WM_WINDOW_TYPE_SPLASH)
            return HXX11WindowKind::Transient;
    }
    return HXX11WindowKind::Normal;
}

std::optional<QString> HXX11WindowQuery::text(xcb_get_property_reply_t* reply) const {
    std::optional<QByteArray> bytes = HXX11Property::bytes8(reply);
    if (!bytes)
        return std::nullopt;
    return m_decoder.decode(reply->type, std::move(*bytes));
}
