#include "app/HXTrackerDesktopShell.h"

#include "platform/dbus/HXDBusStatusNotifierWatcher.h"
#include "platform/x11/HXX11DesktopShell.h"

#include <QGuiApplication>

HXTrackerDesktopShell::HXTrackerDesktopShell() {
    if (QGuiApplication::platformName() == QStringLiteral("xcb"))
        m_x11 = std::make_unique<HXX11DesktopShell>();
}

HXTrackerDesktopShell::~HXTrackerDesktopShell() = default;

QString HXTrackerDesktopShell::trayKind() const {
    if (HXDBusStatusNotifierWatcher::hasRegisteredHost())
        return QStringLiteral("StatusNotifierItem");
    if (m_x11 && m_x11->hasXEmbedTrayManager())
        return QStringLiteral("XEmbed");
    return QString();
}

void HXTrackerDesktopShell::setSkipsTaskbar(quintptr windowId, bool skip) {
    if (m_x11)
        m_x11->setSkipsTaskbar(static_cast<std::uint32_t>(windowId), skip);
}

void HXTrackerDesktopShell::setOnAllDesktops(quintptr windowId) {
    if (m_x11)
        m_x11->setOnAllDesktops(static_cast<std::uint32_t>(windowId));
}
