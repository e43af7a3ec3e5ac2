#pragma once

#include "platform/HXUserPresenceMonitor.h"

#include <QDBusConnection>
#include <QObject>
#include <QSet>

#include <array>

class QDBusMessage;

// The user leaves when the system goes to sleep (logind PrepareForSleep), when the login session is
// locked or stops being the active one, and when the screen saver starts; each return is reported only
// after a leave from the same source, so leaves and returns stay balanced. Nothing blocks: the session is
// looked up asynchronously and everything else is a signal subscription. A missing bus or service is
// logged once and the other sources keep working. Stopping reports the returns still owed.
class HXDBusUserPresenceMonitor final : public QObject, public HXUserPresenceMonitor {
    Q_OBJECT

public:
    explicit HXDBusUserPresenceMonitor(QObject* parent = nullptr);
    HXDBusUserPresenceMonitor(QDBusConnection systemBus, QDBusConnection sessionBus,
                              QObject* parent = nullptr);
    ~HXDBusUserPresenceMonitor() override;

    void start(Handlers handlers, bool observeScreenSaver) override;
    void stop() override;

    // The login session's object path once it was found; empty before.
    QString sessionPath() const { return m_sessionPath; }

Q_SIGNALS:
    // The session was found and its signals are watched.
    void sessionWatched(const QString& path);

private Q_SLOTS:
    void prepareForSleep(const QDBusMessage& message);
    void sessionLocked();
    void sessionUnlocked();
    void sessionPropertiesChanged(const QDBusMessage& message);
    void screenSaverActiveChanged(const QDBusMessage& message);

private:
    enum Source { SystemSleep, SessionLock, SessionInactive, ScreenSaver, SourceCount };

    void setAway(Source source, bool away);
    void findSession(bool byProcess);
    void watchSession(const QString& path);
    void readSessionActive();
    void connectSignals(bool on);
    void connectSessionSignals(bool on);
    void logOnce(const QString& line);

    QDBusConnection m_system;
    QDBusConnection m_session;
    Handlers m_handlers;
    bool m_running = false;
    bool m_observeScreenSaver = true;
    // Replies to calls made before the last stop() are ignored.
    int m_generation = 0;
    QString m_sessionPath;
    std::array<bool, SourceCount> m_away{};
    QSet<QString> m_logged;
};
