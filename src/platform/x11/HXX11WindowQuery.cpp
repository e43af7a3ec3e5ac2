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

constexpr std::uint32_t bit(Property p) {
    return 1u << p;
}
constexpr std::uint32_t kEveryProperty = (1u << PropertyCount) - 1;

// Property changes say what to read again; the window's end says that its id may soon name another.
constexpr std::uint32_t kWatchedEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

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
    std::uint32_t asked = 0;
};

HXX11WindowQuery::HXX11WindowQuery(const xcb_ewmh_connection_t& ewmh, xcb_window_t root,
                                   xcb_atom_t compoundText, std::uint32_t resourceIdMask, bool hasClientIds)
    : m_ewmh(ewmh), m_connection(ewmh.connection), m_root(root), m_resourceIdMask(resourceIdMask),
      m_hasClientIds(hasClientIds), m_decoder(ewmh.UTF8_STRING, compoundText),
      m_requests{{{ewmh._NET_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, kMaxTitleLongs},
                  {XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, kMaxTitleLongs},
                  {ewmh._NET_WM_PID, XCB_ATOM_CARDINAL, 1},
                  {XCB_ATOM_WM_CLASS, XCB_GET_PROPERTY_TYPE_ANY, 256},
                  {ewmh._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, 32},
                  {ewmh._NET_WM_STATE, XCB_ATOM_ATOM, 64},
                  {ewmh._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, 1}}} {
    static_assert(std::tuple_size_v<decltype(m_requests)> == PropertyCount);
}

std::optional<HXX11WindowSnapshot> HXX11WindowQuery::run(HXX11Availability& status) const {
    xcb_connection_t* c = m_connection;
    if (xcb_connection_has_error(c)) {
        status = HXX11Availability::ConnectionLost;
        return std::nullopt;
    }
    std::uint32_t requests = 0;
    const auto get = [&](xcb_window_t window, xcb_atom_t property, xcb_atom_t type, std::uint32_t length) {
        ++requests;
        return xcb_get_property(c, 0, window, property, type, 0, length);
    };
    const auto wmCheckCookie = get(m_root, m_ewmh._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1);
    const auto stackingCookie = get(m_root, m_ewmh._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW, kMaxWindows);
    const auto activeCookie = get(m_root, m_ewmh._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1);
    const auto desktopCookie = get(m_root, m_ewmh._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 1);
    xcb_res_query_client_ids_cookie_t idsCookie{};
    if (m_hasClientIds) {
        const xcb_res_client_id_spec_t everyClient{0, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        idsCookie = xcb_res_query_client_ids(c, 1, &everyClient);
        ++requests;
    }
    // The check window names itself while its window manager runs; a stale root property after a crash
    // does not. Last run's is asked at once, in the likely case that it is still the one.
    const xcb_window_t lastCheckWindow = m_checkWindow;
    std::optional<xcb_get_property_cookie_t> lastSelfCheckCookie;
    if (lastCheckWindow != XCB_WINDOW_NONE)
        lastSelfCheckCookie = get(lastCheckWindow, m_ewmh._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1);

    const PropertyResult wmCheck = collect(c, wmCheckCookie);
    const PropertyResult stacking = collect(c, stackingCookie);
    const PropertyResult active = collect(c, activeCookie);
    const PropertyResult desktop = collect(c, desktopCookie);
    const auto pids =
        m_hasClientIds ? collectProcessIds(c, idsCookie) : std::unordered_map<std::uint32_t, std::int64_t>();
    std::optional<PropertyResult> selfCheck;
    if (lastSelfCheckCookie)
        selfCheck = collect(c, *lastSelfCheckCookie);
    if (xcb_connection_has_error(c)) {
        status = HXX11Availability::ConnectionLost;
        return std::nullopt;
    }
    m_checkWindow = XCB_WINDOW_NONE;
    const std::optional<std::uint32_t> checkWindow =
        HXX11Property::first32(wmCheck.reply.get(), XCB_ATOM_WINDOW);
    if (!checkWindow || *checkWindow == XCB_WINDOW_NONE) {
        status = HXX11Availability::NoWindowManager;
        return std::nullopt;
    }

    std::vector<std::uint32_t> clients = HXX11Property::items32(stacking.reply.get(), XCB_ATOM_WINDOW);
    if (!stacking.reply || stacking.reply->type == XCB_ATOM_NONE) {
        // Without a stacking order the plain client list (oldest first) is the best guess.
        clients = HXX11Property::items32(
            collect(c, get(m_root, m_ewmh._NET_CLIENT_LIST, XCB_ATOM_WINDOW, kMaxWindows)).reply.get(),
            XCB_ATOM_WINDOW);
    }
    std::reverse(clients.begin(), clients.end());
    std::unordered_set<std::uint32_t> seen;
    std::erase_if(clients, [&](std::uint32_t w) { return w == XCB_WINDOW_NONE || !seen.insert(w).second; });

    // What changed up to the replies above: every change before them was reported before them.
    noteEvents();
    std::optional<xcb_get_property_cookie_t> selfCheckCookie;
    if (*checkWindow != lastCheckWindow)
        selfCheckCookie = get(*checkWindow, m_ewmh._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1);
    std::vector<KnownWindow*> known(clients.size());
    std::vector<WindowRequests> asked(clients.size());
    for (std::size_t i = 0; i < clients.size(); ++i) {
        const auto [entry, added] = m_known.try_emplace(clients[i]);
        KnownWindow& k = entry->second;
        if (added) {
            k.window.id = clients[i];
            k.stale = kEveryProperty;
            // Watched before it is read, so that no change after the reading goes unreported.
            xcb_change_window_attributes(c, clients[i], XCB_CW_EVENT_MASK, &kWatchedEvents);
            ++requests;
        }
        known[i] = &k;
        requests += ask(k, asked[i]);
    }
    if (selfCheckCookie)
        selfCheck = collect(c, *selfCheckCookie);

    HXX11WindowSnapshot snapshot;
    snapshot.windows.reserve(clients.size());
    for (std::size_t i = 0; i < clients.size(); ++i) {
        if (!take(*known[i], asked[i])) {
            m_known.erase(clients[i]);
            continue;
        }
        HXX11ClientWindow window = known[i]->window;
        const auto owner = pids.find(window.id & ~m_resourceIdMask);
        if (owner != pids.end())
            window.processIdentifier = owner->second;
        snapshot.windows.push_back(std::move(window));
    }
    if (xcb_connection_has_error(c)) {
        status = HXX11Availability::ConnectionLost;
        return std::nullopt;
    }
    if (!selfCheck || HXX11Property::first32(selfCheck->reply.get(), XCB_ATOM_WINDOW) != checkWindow) {
        status = HXX11Availability::NoWindowManager;
        return std::nullopt;
    }
    m_checkWindow = *checkWindow;
    // Windows no longer listed are forgotten: shown again, they are read anew.
    std::erase_if(m_known, [&](const auto& entry) { return !seen.contains(entry.first); });
    snapshot.currentDesktop = HXX11Property::first32(desktop.reply.get(), XCB_ATOM_CARDINAL);
    snapshot.activeWindow =
        HXX11Property::first32(active.reply.get(), XCB_ATOM_WINDOW).value_or(XCB_WINDOW_NONE);
    snapshot.requests = requests;
    status = HXX11Availability::Available;
    return snapshot;
}

void HXX11WindowQuery::noteEvents() const {
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_PROPERTY_NOTIFY) {
            const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            if (const auto k = m_known.find(change->window); k != m_known.end())
                k->second.stale |= propertyBit(change->atom);
        } else if (type == XCB_DESTROY_NOTIFY) {
            m_known.erase(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window);
        }
        // Anything else (errors of watching windows that were already gone among them) tells nothing.
        std::free(event);
    }
}

std::uint32_t HXX11WindowQuery::propertyBit(xcb_atom_t atom) const {
    for (std::size_t p = 0; p < m_requests.size(); ++p) {
        if (m_requests[p].atom == atom)
            return bit(static_cast<Property>(p));
    }
    return 0;
}

std::uint32_t HXX11WindowQuery::ask(KnownWindow& known, WindowRequests& requests) const {
    requests.asked = std::exchange(known.stale, 0);
    std::uint32_t sent = 0;
    for (int p = 0; p < PropertyCount; ++p) {
        if (!(requests.asked & bit(static_cast<Property>(p))))
            continue;
        const PropertyRequest& r = m_requests[static_cast<std::size_t>(p)];
        requests.cookies[p] = xcb_get_property(m_connection, 0, known.window.id, r.atom, r.type, 0, r.length);
        ++sent;
    }
    return sent;
}

bool HXX11WindowQuery::take(KnownWindow& known, WindowRequests& requests) const {
    std::array<PropertyResult, PropertyCount> r;
    bool vanished = false;
    const auto read = [&](Property p) {
        return (requests.asked & bit(p)) != 0;
    };
    for (int p = 0; p < PropertyCount; ++p) {
        if (!read(static_cast<Property>(p)))
            continue;
        r[p] = collect(m_connection, requests.cookies[p]);
        vanished = vanished || r[p].badWindow;
    }
    if (vanished)
        return false;

    HXX11ClientWindow& window = known.window;
    if (read(NetName))
        known.netName = text(r[NetName].reply.get());
    if (read(Name))
        known.name = text(r[Name].reply.get());
    if (read(Pid)) {
        window.processIdentifier.reset();
        if (const auto pid = HXX11Property::first32(r[Pid].reply.get(), XCB_ATOM_CARDINAL); pid && *pid > 0)
            window.processIdentifier = *pid;
    }
    if (read(Class)) {
        window.instanceName.clear();
        window.className.clear();
        if (const std::optional<QByteArray> wmClass = HXX11Property::bytes8(r[Class].reply.get())) {
            const qsizetype split = wmClass->indexOf('\0');
            const xcb_atom_t type = r[Class].reply->type;
            window.instanceName = m_decoder.decode(type, wmClass->left(split < 0 ? wmClass->size() : split));
            if (split >= 0)
                window.className = m_decoder.decode(type, wmClass->mid(split + 1));
        }
    }
    if (read(Type))
        window.kind = kindFromTypes(HXX11Property::items32(r[Type].reply.get(), XCB_ATOM_ATOM));
    if (read(State)) {
        const std::vector<std::uint32_t> states = HXX11Property::items32(r[State].reply.get(), XCB_ATOM_ATOM);
        window.hidden = contains(states, m_ewmh._NET_WM_STATE_HIDDEN);
        window.sticky = contains(states, m_ewmh._NET_WM_STATE_STICKY);
        window.above = contains(states, m_ewmh._NET_WM_STATE_ABOVE);
        window.skipTaskbar = contains(states, m_ewmh._NET_WM_STATE_SKIP_TASKBAR);
    }
    if (read(Desktop))
        window.desktop = HXX11Property::first32(r[Desktop].reply.get(), XCB_ATOM_CARDINAL);
    // _NET_WM_NAME, unless it is missing or empty and there is a WM_NAME.
    if (known.netName && !known.netName->isEmpty())
        window.title = known.netName;
    else if (known.name && (!known.netName || !known.name->isEmpty()))
        window.title = known.name;
    else
        window.title = known.netName;
    window.layer = layerFor(window);
    return true;
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
