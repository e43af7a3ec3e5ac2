#pragma once

#include "platform/x11/HXX11Availability.h"
#include "platform/x11/HXX11TextDecoder.h"
#include "platform/x11/HXX11WindowSnapshot.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <array>
#include <optional>
#include <unordered_map>

// Reads the managed windows with all properties the tracker needs. Each window is watched for property
// changes (PropertyNotify) from when it is first listed, and only what changed since is asked for again:
// a quiet desktop costs one round trip of a few requests on the root window, however many windows it has.
// When something did change, its properties are asked for in a second round trip, all requests sent
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
    // A listed window as read so far: both titles as they are, the window as the snapshot has it, and
    // which properties (a bit for each) changed since they were read.
    struct KnownWindow {
        HXX11ClientWindow window;
        std::optional<QString> netName;
        std::optional<QString> name;
        std::uint32_t stale = 0;
    };
    struct WindowRequests;
    struct PropertyRequest {
        xcb_atom_t atom;
        xcb_atom_t type;
        std::uint32_t length;
    };

    // Marks what the events so far say changed, and forgets windows that are gone.
    void noteEvents() const;
    std::uint32_t propertyBit(xcb_atom_t atom) const;
    // Asks for the window's stale properties; how many requests that took.
    std::uint32_t ask(KnownWindow& known, WindowRequests& requests) const;
    // Takes in the answers; false when the window vanished.
    bool take(KnownWindow& known, WindowRequests& requests) const;
    HXX11WindowKind kindFromTypes(const std::vector<std::uint32_t>& types) const;
    std::optional<QString> text(xcb_get_property_reply_t* reply) const;

    const xcb_ewmh_connection_t& m_ewmh;
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    std::uint32_t m_resourceIdMask;
    bool m_hasClientIds;
    HXX11TextDecoder m_decoder;
    // How each window property is asked for, in the order of the query's property bits.
    std::array<PropertyRequest, 7> m_requests;
    // The windows listed at the last run, as read so far, with what changed since.
    mutable std::unordered_map<std::uint32_t, KnownWindow> m_known;
    // The window manager's check window of the last run.
    mutable xcb_window_t m_checkWindow = XCB_WINDOW_NONE;
};
