#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <vector>

// The window sources, in the order they are tried.
enum class HXWindowSourceKind {
    // zwlr_foreign_toplevel_manager_v1: sway, Hyprland, river, labwc, Wayfire.
    WlrootsForeignToplevel,
    // A script loaded into KWin (KDE Plasma) that reports over D-Bus.
    KWinScript,
    // The tracker's own GNOME Shell extension on the session bus.
    GnomeShellExtension,
    // The EWMH client list: an X11 session, or the X11 programs of a Wayland session through Xwayland.
    X11,
};

// The idle sources, in the order they are tried.
enum class HXIdleSourceKind {
    ExtIdleNotifier,
    KdeIdle,
    MutterIdleMonitor,
    // org.freedesktop.ScreenSaver's session idle time, as KDE offers it.
    KdeScreenSaverIdle,
    X11,
};

// What the session shows of itself before any source is started.
struct HXSessionFacts {
    // WAYLAND_DISPLAY is set, or XDG_SESSION_TYPE says wayland.
    bool waylandSession = false;
    // A connection to the compositor was made; the globals are those it offers.
    bool waylandConnected = false;
    QStringList waylandGlobals;
    // DISPLAY is set (an X11 session, or Xwayland).
    bool x11Display = false;
    // XDG_CURRENT_DESKTOP, split at its colons.
    QStringList desktops;
    // Of busNamesOfInterest(), those that have an owner on the session bus.
    QStringList busNames;

    // The environment's part; the rest is found by asking the compositor and the bus.
    static HXSessionFacts fromEnvironment(const QProcessEnvironment& environment);
    static QStringList busNamesOfInterest();
    bool isDesktop(const QString& name) const { return desktops.contains(name, Qt::CaseInsensitive); }
};

namespace HXSessionProbe {

inline constexpr char kKWinService[] = "org.kde.KWin";
inline constexpr char kGnomeShellService[] = "org.gnome.Shell";
inline constexpr char kShellExtensionService[] = "com.corvella.Qualdern.Shell";
inline constexpr char kMutterIdleMonitorService[] = "org.gnome.Mutter.IdleMonitor";
inline constexpr char kScreenSaverService[] = "org.freedesktop.ScreenSaver";

// In a Wayland session: the wlroots protocol where the compositor offers it, the KWin script where KWin
// is on the bus, the GNOME Shell extension on GNOME (also when it is missing, so that the user is told
// how to enable it), then X11 through Xwayland. Otherwise X11 alone.
std::vector<HXWindowSourceKind> windowSources(const HXSessionFacts& facts);
// In a Wayland session: ext_idle_notifier_v1, org_kde_kwin_idle (each with a seat), Mutter's idle
// monitor, KDE's screen saver idle time, then X11. Otherwise X11 alone.
std::vector<HXIdleSourceKind> idleSources(const HXSessionFacts& facts);

QString nameOf(HXWindowSourceKind kind);
QString nameOf(HXIdleSourceKind kind);

} // namespace HXSessionProbe
