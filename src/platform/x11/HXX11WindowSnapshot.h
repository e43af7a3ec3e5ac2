#pragma once

#include "platform/x11/HXX11ClientWindow.h"

#include <optional>
#include <vector>

// The managed windows at one moment, front to back, with the desktop and window the user works in.
struct HXX11WindowSnapshot {
    std::vector<HXX11ClientWindow> windows;
    std::optional<std::uint32_t> currentDesktop;
    // _NET_ACTIVE_WINDOW; none while focus changes hands or nothing has focus.
    xcb_window_t activeWindow = XCB_WINDOW_NONE;
    // The X requests that reading it took: a handful on a quiet desktop.
    std::uint32_t requests = 0;

    const HXX11ClientWindow* find(xcb_window_t id) const {
        for (const HXX11ClientWindow& w : windows) {
            if (w.id == id)
                return &w;
        }
        return nullptr;
    }

    // Windows without a desktop, sticky ones and all windows of a window manager without desktops count
    // as being on the current one.
    bool isOnCurrentDesktop(const HXX11ClientWindow& w) const {
        if (w.sticky || !w.desktop || !currentDesktop || *w.desktop == HXX11ClientWindow::kAllDesktops)
            return true;
        return *w.desktop == *currentDesktop;
    }
};
