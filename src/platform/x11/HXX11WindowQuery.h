#pragma once

#include "platform/x11/HXX11Availability.h"
#include "platform/x11/HXX11TextDecoder.h"
#include "platform/x11/HXX11WindowSnapshot.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <optional>
#include <unordered_map>

// Reads the managed windows with all properties the tracker needs in two round trips: the root window's
// properties and the X server's client PIDs first, then the properties of every window, all requests sent
// before the first reply is awaited. Windows that vanish in between are left out. What a window sets once
// before it is mapped (its process, class and type) is read once and remembered while it is listed, so
// that a query asks each known window only for what changes: its titles, state and desktop.
class HXX11WindowQuery {
public:
    // resourceIdMask is the X server's mask of the per-client part of resource ids; hasClientIds says
    // whether XRes 1.2 (client PIDs) is there.
    HXX11WindowQuery(const xcb_ewmh_connection_t& ewmh, xcb_window_t root, xcb_atom_t compoundText,
                     std::uint32_t resourceIdMask, bool hasClientIds);

    // The windows, or nothing with the reason in status.
    std::optional<HXX11WindowSnapshot> run(HXX11Availability& status) const;

    // Longest lists and texts read; longer ones are cut.
    static constexpr std::uint32_t kMaxWindows = 16384;
    static constexpr std::uint32_t kMaxTitleLongs = 2048;

private:
    // The properties a window sets once, as read when it first appeared.
    struct FixedProperties {
        std::optional<std::int64_t> processIdentifier;
        QString instanceName;
        QString className;
        HXX11WindowKind kind = HXX11WindowKind::Normal;
        // Whether it had a _NET_WM_NAME: then WM_NAME is read only when that one is gone.
        bool hasNetName = false;
    };
    struct WindowRequests;

    void fill(HXX11ClientWindow& window, WindowRequests& requests, bool& vanished) const;
    HXX11WindowKind kindFromTypes(const std::vector<std::uint32_t>& types) const;
    std::optional<QString> text(xcb_get_property_reply_t* reply) const;

    const xcb_ewmh_connection_t& m_ewmh;
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    std::uint32_t m_resourceIdMask;
    bool m_hasClientIds;
    HXX11TextDecoder m_decoder;
    mutable std::unordered_map<std::uint32_t, FixedProperties> m_fixed;
};
