#include "platform/wayland/HXWaylandIdleMonitor.h"

#include "platform/wayland/HXWaylandConnection.h"

#include <ext-idle-notify-v1-client-protocol.h>
#include <idle-client-protocol.h>
#include <wayland-client.h>

struct HXWaylandIdleMonitor::Listener {
    static void idled(void* data, ext_idle_notification_v1*) {
        static_cast<HXWaylandIdleMonitor*>(data)->becameIdle();
    }
    static void resumed(void* data, ext_idle_notification_v1*) {
        static_cast<HXWaylandIdleMonitor*>(data)->resumed();
    }
    static void kdeIdle(void* data, org_kde_kwin_idle_timeout*) {
        static_cast<HXWaylandIdleMonitor*>(data)->becameIdle();
    }
    static void kdeResumed(void* data, org_kde_kwin_idle_timeout*) {
        static_cast<HXWaylandIdleMonitor*>(data)->resumed();
    }

    static constexpr ext_idle_notification_v1_listener notification = {&idled, &resumed};
    static constexpr org_kde_kwin_idle_timeout_listener kdeTimeout = {&kdeIdle, &kdeResumed};
};

HXWaylandIdleMonitor::HXWaylandIdleMonitor(std::shared_ptr<HXWaylandConnection> connection, Protocol protocol,
                                           std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)), m_protocol(protocol), m_timeout(timeout) {
    m_repeat.setInterval(m_timeout);
    connect(&m_repeat, &QTimer::timeout, this, &HXWaylandIdleMonitor::report);
    connect(m_connection.get(), &HXWaylandConnection::lost, this, [this] { m_repeat.stop(); });
}

HXWaylandIdleMonitor::~HXWaylandIdleMonitor() {
    remove();
}

bool HXWaylandIdleMonitor::install(std::function<void()> onActivity) {
    remove();
    m_seat = static_cast<wl_seat*>(m_connection->bind(wl_seat_interface, 1));
    if (!m_seat)
        return false;
    const auto timeout = static_cast<std::uint32_t>(m_timeout.count());
    if (m_protocol == Protocol::ExtIdleNotifier) {
        m_notifier =
            static_cast<ext_idle_notifier_v1*>(m_connection->bind(ext_idle_notifier_v1_interface, 1));
        if (m_notifier) {
            m_notification = ext_idle_notifier_v1_get_idle_notification(m_notifier, timeout, m_seat);
            ext_idle_notification_v1_add_listener(m_notification, &Listener::notification, this);
        }
    } else {
        m_kdeIdle = static_cast<org_kde_kwin_idle*>(m_connection->bind(org_kde_kwin_idle_interface, 1));
        if (m_kdeIdle) {
            m_kdeTimeout = org_kde_kwin_idle_get_idle_timeout(m_kdeIdle, m_seat, timeout);
            org_kde_kwin_idle_timeout_add_listener(m_kdeTimeout, &Listener::kdeTimeout, this);
        }
    }
    if (!m_notification && !m_kdeTimeout) {
        remove();
        return false;
    }
    m_connection->flush();
    m_onActivity = std::move(onActivity);
    // Until the compositor says otherwise, the user is there.
    m_idle = false;
    m_repeat.start();
    return true;
}

void HXWaylandIdleMonitor::remove() {
    m_repeat.stop();
    m_onActivity = nullptr;
    if (m_notification)
        ext_idle_notification_v1_destroy(m_notification);
    if (m_notifier)
        ext_idle_notifier_v1_destroy(m_notifier);
    if (m_kdeTimeout)
        org_kde_kwin_idle_timeout_release(m_kdeTimeout);
    if (m_kdeIdle)
        org_kde_kwin_idle_destroy(m_kdeIdle);
    if (m_seat)
        wl_seat_destroy(m_seat);
    m_notification = nullptr;
    m_notifier = nullptr;
    m_kdeTimeout = nullptr;
    m_kdeIdle = nullptr;
    m_seat = nullptr;
    m_connection->flush();
}

bool HXWaylandIdleMonitor::isAnswering() const {
    return m_connection->isConnected();
}

void HXWaylandIdleMonitor::becameIdle() {
    m_idle = true;
    m_repeat.stop();
}

void HXWaylandIdleMonitor::resumed() {
    m_idle = false;
    report();
    m_repeat.start();
}

void HXWaylandIdleMonitor::report() {
    // The handler may remove the monitor, which drops the stored function.
    if (const std::function<void()> handler = m_onActivity)
        handler();
}
