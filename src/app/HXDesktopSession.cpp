#include "app/HXDesktopSession.h"

#include "foundation/HXLog.h"
#include "platform/HXInputMonitorChooser.h"
#include "platform/HXSessionProbe.h"
#include "platform/HXWindowSourceChooser.h"
#include "platform/dbus/HXDBusIdleTimeMonitor.h"
#include "platform/wayland/HXGnomeShellSource.h"
#include "platform/wayland/HXKWinScriptSource.h"
#include "platform/wayland/HXWaylandConnection.h"
#include "platform/wayland/HXWaylandIdleMonitor.h"
#include "platform/wayland/HXWlrToplevelSource.h"
#include "platform/x11/HXX11InputMonitor.h"
#include "platform/x11/HXX11WindowSource.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace {

QByteArray waylandDisplayName(const QProcessEnvironment& environment) {
    return environment.value(QStringLiteral("WAYLAND_DISPLAY")).toLocal8Bit();
}

} // namespace

HXDesktopSession::HXDesktopSession(QProcessEnvironment environment)
    : m_environment(std::move(environment)), m_facts(std::make_unique<HXSessionFacts>()) {}

HXDesktopSession::~HXDesktopSession() {
    close();
    // The sources are stopped and destroyed before the choosers that refer to them.
    m_chooser.reset();
    m_inputChooser.reset();
}

std::optional<QByteArray> HXDesktopSession::qtPlatform(const QProcessEnvironment& environment,
                                                       QString* reason) {
    const HXSessionFacts facts = HXSessionFacts::fromEnvironment(environment);
    if (facts.waylandSession) {
        const QByteArray name = waylandDisplayName(environment);
        if (HXWaylandConnection::canConnect(name))
            return QByteArray("wayland");
        if (facts.x11Display)
            return QByteArray("xcb");
        if (reason)
            *reason = QStringLiteral("cannot connect to the Wayland display %1, and there is no X11 display "
                                     "(Xwayland) either.")
                          .arg(name.isEmpty() ? QStringLiteral("wayland-0") : QString::fromLocal8Bit(name));
        return std::nullopt;
    }
    if (facts.x11Display)
        return QByteArray("xcb");
    if (reason)
        *reason = QStringLiteral(
            "no display: Qualdern tracks the windows of a desktop session, but neither DISPLAY "
            "(X11) nor WAYLAND_DISPLAY is set.");
    return std::nullopt;
}

void HXDesktopSession::probe() {
    *m_facts = HXSessionFacts::fromEnvironment(m_environment);
    if (!m_facts->waylandSession)
        return;
    m_wayland = std::make_shared<HXWaylandConnection>(waylandDisplayName(m_environment));
    m_facts->waylandConnected = m_wayland->isConnected();
    for (const HXWaylandConnection::Global& g : m_wayland->globals())
        m_facts->waylandGlobals.append(g.interface);
    if (QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface()) {
        for (const QString& name : HXSessionFacts::busNamesOfInterest()) {
            if (bus->isServiceRegistered(name))
                m_facts->busNames.append(name);
        }
    }
}

std::unique_ptr<HXWindowSource> HXDesktopSession::makeWindowSource(int kind) {
    HXDesktopEntryMatcher matcher = HXDesktopEntryMatcher::standard();
    switch (static_cast<HXWindowSourceKind>(kind)) {
    case HXWindowSourceKind::WlrootsForeignToplevel:
        return std::make_unique<HXWlrToplevelSource>(m_wayland, std::move(matcher));
    case HXWindowSourceKind::KWinScript:
        return std::make_unique<HXKWinScriptSource>(std::move(matcher));
    case HXWindowSourceKind::GnomeShellExtension:
        return std::make_unique<HXGnomeShellSource>(std::move(matcher));
    case HXWindowSourceKind::X11:
        return std::make_unique<HXX11WindowSource>(
            std::move(matcher), m_environment.value(QStringLiteral("DISPLAY")).toLocal8Bit());
    }
    return nullptr;
}

bool HXDesktopSession::open(QString* reason) {
    probe();
    std::vector<HXWindowSource*> candidates;
    QStringList names;
    for (const HXWindowSourceKind kind : HXSessionProbe::windowSources(*m_facts)) {
        m_windowSources.push_back(makeWindowSource(static_cast<int>(kind)));
        candidates.push_back(m_windowSources.back().get());
        names.append(HXSessionProbe::nameOf(kind));
    }
    std::vector<HXInputMonitorChooser::Candidate> idle;
    QStringList idleNames;
    for (const HXIdleSourceKind kind : HXSessionProbe::idleSources(*m_facts)) {
        HXInputMonitorChooser::Candidate c{HXSessionProbe::nameOf(kind), nullptr, nullptr};
        switch (kind) {
        case HXIdleSourceKind::ExtIdleNotifier:
        case HXIdleSourceKind::KdeIdle: {
            auto monitor = std::make_unique<HXWaylandIdleMonitor>(
                m_wayland, kind == HXIdleSourceKind::ExtIdleNotifier
                               ? HXWaylandIdleMonitor::Protocol::ExtIdleNotifier
                               : HXWaylandIdleMonitor::Protocol::KdeIdle);
            c.answering = [m = monitor.get()] {
                return m->isAnswering();
            };
            c.monitor = monitor.get();
            m_inputMonitors.push_back(std::move(monitor));
            break;
        }
        case HXIdleSourceKind::MutterIdleMonitor:
        case HXIdleSourceKind::KdeScreenSaverIdle: {
            auto monitor = std::make_unique<HXDBusIdleTimeMonitor>(
                kind == HXIdleSourceKind::MutterIdleMonitor ? HXDBusIdleTimeMonitor::mutterIdleMonitor()
                                                            : HXDBusIdleTimeMonitor::kdeScreenSaver());
            c.answering = [m = monitor.get()] {
                return m->isAnswering();
            };
            c.monitor = monitor.get();
            m_inputMonitors.push_back(std::move(monitor));
            break;
        }
        case HXIdleSourceKind::X11: {
            HXX11InputMonitor::Options options;
            options.displayName = m_environment.value(QStringLiteral("DISPLAY")).toLocal8Bit();
            auto monitor = std::make_unique<HXX11InputMonitor>(options);
            c.monitor = monitor.get();
            m_inputMonitors.push_back(std::move(monitor));
            break;
        }
        }
        idleNames.append(c.name);
        idle.push_back(std::move(c));
    }
    m_inputChooser = std::make_unique<HXInputMonitorChooser>(std::move(idle));
    m_chooser = std::make_unique<HXWindowSourceChooser>(std::move(candidates));
    m_chooser->setAdviceHandler([this](const QString& advice) {
        if (m_adviceHandler)
            m_adviceHandler(advice);
    });
    HXSystemLog(
        QStringLiteral("%1 session%2; window sources to try: %3; idle sources: %4")
            .arg(m_facts->waylandSession ? QStringLiteral("Wayland") : QStringLiteral("X11"),
                 m_facts->desktops.isEmpty() ? QString()
                                             : QStringLiteral(" (%1)").arg(m_facts->desktops.join(u':')),
                 names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", ")),
                 idleNames.isEmpty() ? QStringLiteral("none") : idleNames.join(QStringLiteral(", "))));
    if (!m_chooser->start()) {
        if (reason)
            *reason =
                m_facts->waylandSession
                    ? QStringLiteral("This Wayland session offers no way to see its windows: the compositor "
                                     "has no foreign-toplevel list, KWin and GNOME Shell are not on the "
                                     "session bus, and there is no X11 display (Xwayland).")
                    : QStringLiteral("There is no X11 display to connect to.");
        return false;
    }
    if (m_chooser->isWaitingToRetry()) {
        // Every source failed at once; the last one's reason is the one to give.
        if (reason)
            *reason = m_windowSources.back()->failureReason();
        return false;
    }
    return true;
}

void HXDesktopSession::close() {
    if (m_chooser)
        m_chooser->stop();
}

void HXDesktopSession::setAdviceHandler(std::function<void(const QString&)> handler) {
    m_adviceHandler = std::move(handler);
}

HXWindowServer& HXDesktopSession::windowServer() {
    return *m_chooser;
}

HXWorkspace& HXDesktopSession::workspace() {
    return *m_chooser;
}

HXInputMonitor& HXDesktopSession::inputMonitor() {
    return *m_inputChooser;
}
