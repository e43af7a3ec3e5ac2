#pragma once

#include <QString>

// Whether the X11 window list can be had; when it cannot, the tracker tells the user why instead of
// tracking nothing silently.
enum class HXX11Availability {
    Available,
    // No X display to connect to (none set, or a Wayland session without Xwayland).
    NoDisplay,
    // The display has no window manager that keeps the EWMH client list.
    NoWindowManager,
    // The connection to the X server broke.
    ConnectionLost,
    // The X server does not answer (it is frozen or stopped).
    NotResponding,
};

// One plain sentence for the user; empty when available.
QString HXX11AvailabilityReason(HXX11Availability availability);
