#include "platform/wayland/HXWaylandConnection.h"

#include "foundation/HXLog.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>

struct HXWaylandConnection::Listener {
    static void global(void* data, wl_registry*, std::uint32_t name, const char* interface,
                       std::uint32_t version) {
        auto* self = static_cast<HXWaylandConnection*>(data);
        self->m_globals.push_back(Global{name, QString::fromUtf8(interface), version});
    }
    static void globalRemove(void* data, wl_registry*, std::uint32_t name) {
        auto& globals = static_cast<HXWaylandConnection*>(data)->m_globals;
        globals.erase(std::remove_if(globals.begin(), globals.end(),
                                     [name](const Global& g) { return g.name == name; }),
                      globals.end());
    }
    static constexpr wl_registry_listener registry = {&global, &globalRemove};
};

HXWaylandConnection::HXWaylandConnection(const QByteArray& displayName, QObject* parent) : QObject(parent) {
    m_display = wl_display_connect(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!m_display)
        return;
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &Listener::registry, this);
    if (wl_display_roundtrip(m_display) < 0) {
        m_lost = true;
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &HXWaylandConnection::readEvents);
}

bool HXWaylandConnection::canConnect(const QByteArray& displayName) {
    wl_display* display = wl_display_connect(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!display)
        return false;
    wl_display_disconnect(display);
    return true;
}

HXWaylandConnection::~HXWaylandConnection() {
    m_notifier.reset();
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
}

std::optional<HXWaylandConnection::Global> HXWaylandConnection::global(const QString& interface) const {
    for (const Global& g : m_globals) {
        if (g.interface == interface)
            return g;
    }
    return std::nullopt;
}

void* HXWaylandConnection::bind(const wl_interface& interface, std::uint32_t maxVersion,
                                std::uint32_t* boundVersion) {
    if (!isConnected())
        return nullptr;
    const std::optional<Global> g = global(QString::fromUtf8(interface.name));
    if (!g)
        return nullptr;
    const std::uint32_t version = std::min(g->version, maxVersion);
    if (boundVersion)
        *boundVersion = version;
    void* proxy = wl_registry_bind(m_registry, g->name, &interface, version);
    flush();
    return proxy;
}

bool HXWaylandConnection::roundtrip() {
    if (!isConnected())
        return false;
    if (wl_display_roundtrip(m_display) < 0) {
        markLost();
        return false;
    }
    return true;
}

void HXWaylandConnection::flush() {
    if (isConnected() && wl_display_flush(m_display) < 0 && errno != EAGAIN)
        markLost();
}

void HXWaylandConnection::readEvents() {
    if (!isConnected())
        return;
    // Events a roundtrip has read already are dispatched first; reading never waits (the library reads
    // what the socket holds), so a notification that a roundtrip overtook costs nothing.
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0) {
            checkError();
            return;
        }
    }
    if (wl_display_read_events(m_display) < 0 && checkError())
        return;
    if (wl_display_dispatch_pending(m_display) < 0 && checkError())
        return;
    flush();
}

bool HXWaylandConnection::checkError() {
    if (wl_display_get_error(m_display) == 0)
        return false;
    markLost();
    return true;
}

void HXWaylandConnection::markLost() {
    if (m_lost)
        return;
    m_lost = true;
    // A closed socket stays readable; without this the notifier would spin.
    if (m_notifier)
        m_notifier->setEnabled(false);
    HXSystemLog(QStringLiteral("lost the connection to the Wayland compositor"));
    Q_EMIT lost();
}
