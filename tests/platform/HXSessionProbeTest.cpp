#include "platform/HXSessionProbe.h"

#include <gtest/gtest.h>

namespace {

using W = HXWindowSourceKind;
using I = HXIdleSourceKind;

QProcessEnvironment environment(std::initializer_list<std::pair<const char*, const char*>> variables) {
    QProcessEnvironment e;
    for (const auto& [name, value] : variables)
        e.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    return e;
}

struct Case {
    const char* desktop;
    QProcessEnvironment environment;
    bool connected;
    QStringList globals;
    QStringList busNames;
    std::vector<W> windows;
    std::vector<I> idle;
};

const QString wlr = QStringLiteral("zwlr_foreign_toplevel_manager_v1");
const QString seat = QStringLiteral("wl_seat");
const QString kdeIdle = QStringLiteral("org_kde_kwin_idle");
const QString extIdle = QStringLiteral("ext_idle_notifier_v1");
const QString kwin = QStringLiteral("org.kde.KWin");
const QString shell = QStringLiteral("org.gnome.Shell");
const QString extension = QStringLiteral("com.corvella.Qualdern.Shell");
const QString mutter = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString screenSaver = QStringLiteral("org.freedesktop.ScreenSaver");

} // namespace

TEST(HXSessionProbe, EachSessionGetsItsSourcesInTheDocumentedOrder) {
    const std::vector<Case> cases = {
        {"X11 desktop", environment({{"DISPLAY", ":0"}}), false, {}, {}, {W::X11}, {I::X11}},
        {"X11 Plasma: KWin on the bus changes nothing",
         environment({{"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "KDE"}}),
         false,
         {},
         {kwin, screenSaver},
         {W::X11},
         {I::X11}},
        {"no display at all", environment({}), false, {}, {}, {}, {}},
        {"sway 1.7 with Xwayland",
         environment({{"WAYLAND_DISPLAY", "wayland-1"}, {"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "sway"}}),
         true,
         {seat, wlr, kdeIdle},
         {},
         {W::WlrootsForeignToplevel, W::X11},
         {I::KdeIdle, I::X11}},
        {"sway without Xwayland",
         environment({{"WAYLAND_DISPLAY", "wayland-1"}}),
         true,
         {seat, wlr, kdeIdle},
         {},
         {W::WlrootsForeignToplevel},
         {I::KdeIdle}},
        {"a newer wlroots compositor offers both idle protocols",
         environment({{"WAYLAND_DISPLAY", "wayland-1"}}),
         true,
         {seat, wlr, extIdle, kdeIdle},
         {},
         {W::WlrootsForeignToplevel},
         {I::ExtIdleNotifier, I::KdeIdle}},
        {"idle protocols without a seat are of no use",
         environment({{"WAYLAND_DISPLAY", "wayland-1"}}),
         true,
         {wlr, extIdle, kdeIdle},
         {},
         {W::WlrootsForeignToplevel},
         {}},
        {"Plasma 5 on Wayland",
         environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":1"}, {"XDG_CURRENT_DESKTOP", "KDE"}}),
         true,
         {seat, kdeIdle},
         {kwin, screenSaver},
         {W::KWinScript, W::X11},
         {I::KdeIdle, I::KdeScreenSaverIdle, I::X11}},
        {"Plasma 6 on Wayland",
         environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "KDE"}}),
         true,
         {seat, extIdle, kdeIdle},
         {kwin, screenSaver},
         {W::KWinScript},
         {I::ExtIdleNotifier, I::KdeIdle, I::KdeScreenSaverIdle}},
        {"a Wayland session the tracker cannot connect to still has KWin's script",
         environment({{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}, {"XDG_CURRENT_DESKTOP", "KDE"}}),
         false,
         {wlr, seat, kdeIdle},
         {kwin},
         {W::KWinScript, W::X11},
         {I::X11}},
        {"GNOME with the extension",
         environment(
             {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}),
         true,
         {seat},
         {shell, extension, mutter, screenSaver},
         {W::GnomeShellExtension, W::X11},
         {I::MutterIdleMonitor, I::X11}},
        {"GNOME without the extension still tries it, to tell how to enable it",
         environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "GNOME"}}),
         true,
         {seat},
         {shell, mutter},
         {W::GnomeShellExtension, W::X11},
         {I::MutterIdleMonitor, I::X11}},
        {"GNOME Shell on the bus under another desktop name",
         environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "Pop"}}),
         true,
         {seat},
         {shell},
         {W::GnomeShellExtension},
         {}},
        {"a Wayland session of nothing known falls to Xwayland",
         environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}),
         true,
         {seat},
         {},
         {W::X11},
         {I::X11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desktop);
        HXSessionFacts facts = HXSessionFacts::fromEnvironment(c.environment);
        facts.waylandConnected = c.connected;
        facts.waylandGlobals = c.globals;
        facts.busNames = c.busNames;
        EXPECT_EQ(HXSessionProbe::windowSources(facts), c.windows);
        EXPECT_EQ(HXSessionProbe::idleSources(facts), c.idle);
    }
}

TEST(HXSessionProbe, ReadsTheEnvironment) {
    const HXSessionFacts x11 = HXSessionFacts::fromEnvironment(environment({{"DISPLAY", ":0"}}));
    EXPECT_TRUE(x11.x11Display);
    EXPECT_FALSE(x11.waylandSession);
    EXPECT_TRUE(x11.desktops.isEmpty());
    const HXSessionFacts gnome = HXSessionFacts::fromEnvironment(environment(
        {{"XDG_SESSION_TYPE", "wayland"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}, {"DISPLAY", ""}}));
    EXPECT_TRUE(gnome.waylandSession);
    EXPECT_FALSE(gnome.x11Display) << "an empty DISPLAY is no display";
    EXPECT_EQ(gnome.desktops, (QStringList{QStringLiteral("ubuntu"), QStringLiteral("GNOME")}));
    EXPECT_TRUE(gnome.isDesktop(QStringLiteral("gnome")));
    EXPECT_FALSE(HXSessionFacts::fromEnvironment(environment({{"XDG_SESSION_TYPE", "x11"}})).waylandSession);
    // What the probe asks the bus about covers every name the order depends on.
    const QStringList asked = HXSessionFacts::busNamesOfInterest();
    for (const QString& name : {kwin, shell, extension, mutter, screenSaver})
        EXPECT_TRUE(asked.contains(name)) << name.toStdString();
}
