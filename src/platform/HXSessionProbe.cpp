#include "platform/HXSessionProbe.h"

HXSessionFacts HXSessionFacts::fromEnvironment(const QProcessEnvironment& environment) {
    HXSessionFacts facts;
    facts.waylandSession = !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
                           environment.value(QStringLiteral("XDG_SESSION_TYPE")) == u"wayland";
    facts.x11Display = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    facts.desktops = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(u':', Qt::SkipEmptyParts);
    return facts;
}

QStringList HXSessionFacts::busNamesOfInterest() {
    using namespace HXSessionProbe;
    return {QString::fromLatin1(kKWinService), QString::fromLatin1(kGnomeShellService),
            QString::fromLatin1(kShellExtensionService), QString::fromLatin1(kMutterIdleMonitorService),
            QString::fromLatin1(kScreenSaverService)};
}

namespace HXSessionProbe {

namespace {

bool offers(const HXSessionFacts& facts, const char* interface) {
    return facts.waylandConnected && facts.waylandGlobals.contains(QString::fromLatin1(interface));
}

bool hasName(const HXSessionFacts& facts, const char* name) {
    return facts.busNames.contains(QString::fromLatin1(name));
}

} // namespace

std::vector<HXWindowSourceKind> windowSources(const HXSessionFacts& facts) {
    std::vector<HXWindowSourceKind> order;
    if (facts.waylandSession) {
        if (offers(facts, "zwlr_foreign_toplevel_manager_v1"))
            order.push_back(HXWindowSourceKind::WlrootsForeignToplevel);
        if (hasName(facts, kKWinService))
            order.push_back(HXWindowSourceKind::KWinScript);
        if (hasName(facts, kShellExtensionService) || hasName(facts, kGnomeShellService) ||
            facts.isDesktop(QStringLiteral("GNOME")))
            order.push_back(HXWindowSourceKind::GnomeShellExtension);
    }
    if (facts.x11Display)
        order.push_back(HXWindowSourceKind::X11);
    return order;
}

std::vector<HXIdleSourceKind> idleSources(const HXSessionFacts& facts) {
    std::vector<HXIdleSourceKind> order;
    if (facts.waylandSession) {
        const bool seat = offers(facts, "wl_seat");
        if (seat && offers(facts, "ext_idle_notifier_v1"))
            order.push_back(HXIdleSourceKind::ExtIdleNotifier);
        if (seat && offers(facts, "org_kde_kwin_idle"))
            order.push_back(HXIdleSourceKind::KdeIdle);
        if (hasName(facts, kMutterIdleMonitorService))
            order.push_back(HXIdleSourceKind::MutterIdleMonitor);
        if (facts.isDesktop(QStringLiteral("KDE")) && hasName(facts, kScreenSaverService))
            order.push_back(HXIdleSourceKind::KdeScreenSaverIdle);
    }
    if (facts.x11Display)
        order.push_back(HXIdleSourceKind::X11);
    return order;
}

QString nameOf(HXWindowSourceKind kind) {
    switch (kind) {
    case HXWindowSourceKind::WlrootsForeignToplevel:
        return QStringLiteral("wlroots foreign-toplevel");
    case HXWindowSourceKind::KWinScript:
        return QStringLiteral("KWin script");
    case HXWindowSourceKind::GnomeShellExtension:
        return QStringLiteral("GNOME Shell extension");
    case HXWindowSourceKind::X11:
        return QStringLiteral("X11");
    }
    return QString();
}

QString nameOf(HXIdleSourceKind kind) {
    switch (kind) {
    case HXIdleSourceKind::ExtIdleNotifier:
        return QStringLiteral("ext_idle_notifier_v1");
    case HXIdleSourceKind::KdeIdle:
        return QStringLiteral("org_kde_kwin_idle");
    case HXIdleSourceKind::MutterIdleMonitor:
        return QStringLiteral("org.gnome.Mutter.IdleMonitor");
    case HXIdleSourceKind::KdeScreenSaverIdle:
        return QStringLiteral("org.freedesktop.ScreenSaver idle time");
    case HXIdleSourceKind::X11:
        return QStringLiteral("X11");
    }
    return QString();
}

} // namespace HXSessionProbe
