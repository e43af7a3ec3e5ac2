#pragma once

#include <QString>

#include <xcb/xproto.h>

#include <cstdint>
#include <optional>

// What a window is for, from _NET_WM_WINDOW_TYPE (windows without a type are normal, as EWMH says).
enum class HXX11WindowKind {
    Normal,
    Dialog,
    Utility,
    Dock,
    Desktop,
    // Menus, pop-ups, tooltips, notifications and the like.
    Transient,
};

// One managed top-level window with the properties the tracker reads.
struct HXX11ClientWindow {
    xcb_window_t id = XCB_WINDOW_NONE;
    // _NET_WM_NAME, else WM_NAME; absent when the window has neither.
    std::optional<QString> title;
    // The process that owns the window: the X server's word (XRes), else _NET_WM_PID.
    std::optional<std::int64_t> processIdentifier;
    // WM_CLASS.
    QString instanceName;
    QString className;
    HXX11WindowKind kind = HXX11WindowKind::Normal;
    // _NET_WM_DESKTOP; 0xFFFFFFFF is every desktop.
    std::optional<std::uint32_t> desktop;
    // _NET_WM_STATE.
    bool hidden = false;
    bool sticky = false;
    bool above = false;
    bool skipTaskbar = false;
    int layer = 0;

    static constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
};
