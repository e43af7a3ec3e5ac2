#include "platform/dbus/HXDBusIdleTimeMonitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>

namespace {

constexpr int kFirstAnswerTimeoutMs = 1000;

std::optional<std::chrono::milliseconds> idleTimeIn(const QDBusMessage& reply,
                                                    std::chrono::milliseconds unit) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    bool ok = false;
    const qulonglong value = reply.arguments().front().toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<std::int64_t>(value)) * unit.count();
}

} // namespace

HXDBusIdleTimeMonitor::Service HXDBusIdleTimeMonitor::mutterIdleMonitor() {
    return {QStringLiteral("org.gnome.Mutter.IdleMonitor"),
            QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"),
            QStringLiteral("org.gnome.Mutter.IdleMonitor"), QStringLiteral("GetIdletime"),
            std::chrono::milliseconds(1)};
}

HXDBusIdleTimeMonitor::Service HXDBusIdleTimeMonitor::kdeScreenSaver() {
    return {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/ScreenSaver"),
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("GetSessionIdleTime"),
            std::chrono::milliseconds(1000)};
}

HXDBusIdleTimeMonitor::HXDBusIdleTimeMonitor(Service service, QDBusConnection bus,
                                             std::chrono::milliseconds pollInterval, QObject* parent)
    : QObject(parent), m_service(std::move(service)), m_bus(std::move(bus)), m_pollInterval(pollInterval) {
    m_timer.setInterval(m_pollInterval);
    connect(&m_timer, &QTimer::timeout, this, &HXDBusIdleTimeMonitor::poll);
}

HXDBusIdleTimeMonitor::~HXDBusIdleTimeMonitor() {
    remove();
}

bool HXDBusIdleTimeMonitor::install(std::function<void()> onActivity) {
    remove();
    if (!m_bus.isConnected())
        return false;
    const QDBusMessage call =
        QDBusMessage::createMethodCall(m_service.name, m_service.path, m_service.interface, m_service.method);
    const std::optional<std::chrono::milliseconds> idle =
        idleTimeIn(m_bus.call(call, QDBus::Block, kFirstAnswerTimeoutMs), m_service.unit);
    if (!idle)
        return false;
    m_onActivity = std::move(onActivity);
    m_installed = true;
    m_unanswered = 0;
    m_lastIdle = idle;
    m_timer.start();
    return true;
}

void HXDBusIdleTimeMonitor::remove() {
    m_timer.stop();
    m_installed = false;
    m_waiting = false;
    m_lastIdle.reset();
    m_onActivity = nullptr;
    ++m_generation;
}

void HXDBusIdleTimeMonitor::poll() {
    // One question at a time: a service that is slow to answer is not asked again meanwhile.
    if (m_waiting) {
        ++m_unanswered;
        return;
    }
    m_waiting = true;
    const QDBusMessage call =
        QDBusMessage::createMethodCall(m_service.name, m_service.path, m_service.interface, m_service.method);
    auto* watcher = new QDBusPendingCallWatcher(
        m_bus.asyncCall(call, static_cast<int>(m_pollInterval.count() * 3)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, generation = m_generation] {
        watcher->deleteLater();
        if (generation != m_generation)
            return;
        m_waiting = false;
        const std::optional<std::chrono::milliseconds> idle = idleTimeIn(watcher->reply(), m_service.unit);
        if (!idle) {
            ++m_unanswered;
            return;
        }
        m_unanswered = 0;
        answered(*idle);
    });
}

void HXDBusIdleTimeMonitor::answered(std::chrono::milliseconds idle) {
    const bool input = idle < m_pollInterval || (m_lastIdle && idle < *m_lastIdle);
    m_lastIdle = idle;
    if (input) {
        if (const std::function<void()> handler = m_onActivity)
            handler();
    }
}
