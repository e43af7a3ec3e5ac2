#include "platform/dbus/HXDBusUserPresenceMonitor.h"

#include "foundation/HXLog.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <array>
#include <unistd.h>

namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");

QString reason(int source) {
    static const std::array<QString, 4> reasons{
        QStringLiteral("system sleep"), QStringLiteral("session locked"), QStringLiteral("session inactive"),
        QStringLiteral("screen saver")};
    return reasons[static_cast<std::size_t>(source)];
}

} // namespace

HXDBusUserPresenceMonitor::HXDBusUserPresenceMonitor(QObject* parent)
    : HXDBusUserPresenceMonitor(QDBusConnection::systemBus(), QDBusConnection::sessionBus(), parent) {}

HXDBusUserPresenceMonitor::HXDBusUserPresenceMonitor(QDBusConnection systemBus, QDBusConnection sessionBus,
                                                     QObject* parent)
    : QObject(parent), m_system(std::move(systemBus)), m_session(std::move(sessionBus)) {}

HXDBusUserPresenceMonitor::~HXDBusUserPresenceMonitor() {
    // Whoever the handlers call may already be gone.
    m_handlers = {};
    stop();
}

void HXDBusUserPresenceMonitor::logOnce(const QString& line) {
    // Once per kind of trouble: the details after the colon may differ from one attempt to the next.
    const QString kind = line.section(u':', 0, 0);
    if (m_logged.contains(kind))
        return;
    m_logged.insert(kind);
    HXSystemLog(line);
}

void HXDBusUserPresenceMonitor::start(Handlers handlers, bool observeScreenSaver) {
    stop();
    m_handlers = std::move(handlers);
    m_observeScreenSaver = observeScreenSaver;
    m_running = true;
    if (!m_system.isConnected())
        logOnce(QStringLiteral("cannot connect to the system bus: ") + m_system.lastError().message());
    if (observeScreenSaver && !m_session.isConnected())
        logOnce(QStringLiteral("cannot connect to the session bus: ") + m_session.lastError().message());
    connectSignals(true);
    if (m_system.isConnected())
        findSession(qEnvironmentVariableIsEmpty("XDG_SESSION_ID"));
}

void HXDBusUserPresenceMonitor::stop() {
    if (!m_running)
        return;
    connectSignals(false);
    if (!m_sessionPath.isEmpty())
        connectSessionSignals(false);
    // Every leave gets its return, also when watching ends.
    for (int source = 0; source < SourceCount; ++source)
        setAway(static_cast<Source>(source), false);
    m_running = false;
    ++m_generation;
    m_sessionPath.clear();
    m_handlers = {};
}

void HXDBusUserPresenceMonitor::connectSignals(bool on) {
    if (m_system.isConnected()) {
        if (on)
            m_system.connect(kLogin, kLoginPath, kManager, QStringLiteral("PrepareForSleep"), this,
                             SLOT(prepareForSleep(QDBusMessage)));
        else
            m_system.disconnect(kLogin, kLoginPath, kManager, QStringLiteral("PrepareForSleep"), this,
                                SLOT(prepareForSleep(QDBusMessage)));
    }
    if (m_observeScreenSaver && m_session.isConnected()) {
        // Any sender and path: screen savers differ in where they announce themselves.
        if (on)
            m_session.connect(QString(), QString(), kScreenSaver, QStringLiteral("ActiveChanged"), this,
                              SLOT(screenSaverActiveChanged(QDBusMessage)));
        else
            m_session.disconnect(QString(), QString(), kScreenSaver, QStringLiteral("ActiveChanged"), this,
                                 SLOT(screenSaverActiveChanged(QDBusMessage)));
    }
}

void HXDBusUserPresenceMonitor::connectSessionSignals(bool on) {
    struct Subscription {
        const QString& interface;
        QString name;
        const char* slot;
    };
    const Subscription subscriptions[] = {
        {kSession, QStringLiteral("Lock"), SLOT(sessionLocked())},
        {kSession, QStringLiteral("Unlock"), SLOT(sessionUnlocked())},
        {kProperties, QStringLiteral("PropertiesChanged"), SLOT(sessionPropertiesChanged(QDBusMessage))},
    };
    for (const Subscription& s : subscriptions) {
        if (!on)
            m_system.disconnect(kLogin, m_sessionPath, s.interface, s.name, this, s.slot);
        else if (!m_system.connect(kLogin, m_sessionPath, s.interface, s.name, this, s.slot))
            logOnce(QStringLiteral("cannot watch the login session's ") + s.name + QStringLiteral(" signal"));
    }
}

void HXDBusUserPresenceMonitor::findSession(bool byProcess) {
    QDBusMessage call;
    if (byProcess) {
        call =
            QDBusMessage::createMethodCall(kLogin, kLoginPath, kManager, QStringLiteral("GetSessionByPID"));
        call << static_cast<uint>(::getpid());
    } else {
        call = QDBusMessage::createMethodCall(kLogin, kLoginPath, kManager, QStringLiteral("GetSession"));
        call << qEnvironmentVariable("XDG_SESSION_ID");
    }
    auto* watcher = new QDBusPendingCallWatcher(m_system.asyncCall(call), this);
    const int generation = m_generation;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation, byProcess](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (generation != m_generation)
                    return;
                const QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (!reply.isError()) {
                    watchSession(reply.value().path());
                } else if (!byProcess) {
                    findSession(true);
                } else {
                    logOnce(QStringLiteral("cannot find the login session: ") + reply.error().message());
                }
            });
}

void HXDBusUserPresenceMonitor::watchSession(const QString& path) {
    m_sessionPath = path;
    connectSessionSignals(true);
    Q_EMIT sessionWatched(path);
}

void HXDBusUserPresenceMonitor::readSessionActive() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kLogin, m_sessionPath, kProperties, QStringLiteral("Get"));
    call << kSession << QStringLiteral("Active");
    auto* watcher = new QDBusPendingCallWatcher(m_system.asyncCall(call), this);
    const int generation = m_generation;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *w;
                if (generation == m_generation && !reply.isError())
                    setAway(SessionInactive, !reply.value().variant().toBool());
            });
}

void HXDBusUserPresenceMonitor::setAway(Source source, bool away) {
    const auto index = static_cast<std::size_t>(source);
    if (!m_running || m_away[index] == away)
        return;
    m_away[index] = away;
    // A copy: the handler may stop the monitor.
    const auto handler = away ? m_handlers.userLeaves : m_handlers.userReturns;
    if (handler)
        handler(reason(source));
}

void HXDBusUserPresenceMonitor::prepareForSleep(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (!arguments.isEmpty())
        setAway(SystemSleep, arguments.front().toBool());
}

void HXDBusUserPresenceMonitor::sessionLocked() {
    setAway(SessionLock, true);
}

void HXDBusUserPresenceMonitor::sessionUnlocked() {
    setAway(SessionLock, false);
}

void HXDBusUserPresenceMonitor::sessionPropertiesChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 3 || arguments[0].toString() != kSession)
        return;
    const QVariantMap changed = qdbus_cast<QVariantMap>(arguments[1]);
    const auto active = changed.constFind(QStringLiteral("Active"));
    if (active != changed.constEnd()) {
        setAway(SessionInactive, !active->toBool());
        return;
    }
    // A property may be announced as changed without its value.
    if (qdbus_cast<QStringList>(arguments[2]).contains(QStringLiteral("Active")))
        readSessionActive();
}

void HXDBusUserPresenceMonitor::screenSaverActiveChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (!arguments.isEmpty())
        setAway(ScreenSaver, arguments.front().toBool());
}
