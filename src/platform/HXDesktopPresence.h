#pragma once

#include <QString>

// What the program's presence on the desktop asks of it: whether there is a tray to put an icon into,
// and keeping a window out of the taskbar and pager.
class HXDesktopPresence {
public:
    virtual ~HXDesktopPresence() = default;

    // A StatusNotifierWatcher with a host on the session bus: "StatusNotifierItem"; else an XEmbed tray
    // manager: "XEmbed"; else empty (no tray).
    virtual QString trayKind() const = 0;
    // The native window's taskbar entry; a window that is not mapped yet takes it when it is.
    virtual void setSkipsTaskbar(quintptr windowId, bool skip) = 0;
    // Shown on every virtual desktop (the desktop report).
    virtual void setOnAllDesktops(quintptr windowId) = 0;
};
