#pragma once

#include "platform/x11/HXX11Availability.h"
#include "platform/x11/HXX11TextDecoder.h"
#include "platform/x11/HXX11WindowSnapshot.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <optional>

// Reads the managed windows with all properties the tracker needs in two round trips: the root window's
// properties and the X server's client PIDs first, then every property of every window, all requests sent
// before the first reply is awaited. Windows that vanish in between are left out.
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
    struct Requests;

    void fill(HXX11ClientWindow& window, Requests& requests, std::size_t index, bool& vanished) const;
    HXX11WindowKind kindFromTypes(const std::vector<std::uint32_t>& types) const;
    std::optional<QString> text(xcb_get_property_reply_t* reply) const;

    const xcb_ewmh_connection_t& m_ewmh;
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    std::uint32_t m_resourceIdMask;
    bool m_hasClientIds;
    HXX11TextDecoder m_decoder;
};
