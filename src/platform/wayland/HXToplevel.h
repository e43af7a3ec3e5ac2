#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// What a window is for, as far as the window list and the applications' activation policy care.
enum class HXToplevelKind {
    Normal,
    Dialog,
    Utility,
    Dock,
    Desktop,
    // Menus, pop-ups, tooltips, notifications and the like.
    Transient,
};

// One toplevel window as a Wayland-era source (the compositor, the KWin script, the GNOME Shell extension)
// describes it.
struct HXToplevel {
    // Unique within the source while the window exists.
    std::uint64_t number = 0;
    QString title;
    // The Wayland app_id, the KWin resource class or the GNOME wm_class: what a WM_CLASS class is on X11.
    QString identifier;
    // The KWin resource name or the GNOME wm_class instance; often empty.
    QString instanceName;
    // Absent where the source does not tell (the wlroots protocol never does).
    std::optional<std::int64_t> processIdentifier;
    HXToplevelKind kind = HXToplevelKind::Normal;
    bool activated = false;
    bool minimized = false;
    bool onCurrentDesktop = true;
    bool skipTaskbar = false;
    bool above = false;
};

// The toplevels front to back, while the source answers. generation changes whenever anything in the list
// does, so that readers rebuild what they derive from it only then.
struct HXToplevelList {
    std::vector<HXToplevel> toplevels;
    bool answering = false;
    std::uint64_t generation = 0;
};
