#include "app/HXTrackerDesktopPresence.h"

#include "platform/dbus/HXDBusStatusNotifierWatcher.h"
#include "platform/x11/HXX11DesktopPresence.h"

#include <QGuiApplication>

HXTrackerDesktopPresence::HXTrackerDesktopPresence() {
    if (QGuiApplication::platformName() == QStringLiteral("xcb"))
        m_x11 = std::make_unique<HXX11DesktopPresence>();
}

HXTrackerDesktopPresence::~HXTrackerDesktopPresence() = default;

QString HXTrackerDesktopPresence::trayKind() const {
    if (HXDBusStatusNotifierWatcher::hasRegisteredHost())
        return QStringLiteral("StatusNotifierItem");
    if (m_x11 && m_x11->hasXEmbedTrayManager())
        return QStringLiteral("XEmbed");
    return QString();
}

void HXTrackerDesktopPresence::setSkipsTaskbar(quintptr windowId, bool skip) {
    if (m_x11)
        m_x11->setSkipsTaskbar(static_cast<std::uint32_t>(windowId), skip);
}

void HXTrackerDesktopPresence::setOnAllDesktops(quintptr windowId) {
    if (m_x11)
        m_x11->setOnAllDesktops(static_cast<std::uint32_t>(windowId));
}
