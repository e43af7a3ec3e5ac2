#pragma once

#include "platform/HXInputMonitor.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

// Input activity from a session service that tells the idle time when asked: Mutter's idle monitor
// (GetIdletime, in milliseconds) on GNOME, or the screen saver's GetSessionIdleTime (in seconds) on KDE.
// The service is asked once per poll interval, never waiting for the answer; input happened when the idle
// time is shorter than the interval or dropped since the answer before. After a few unanswered polls in a
// row the service counts as gone.
class HXDBusIdleTimeMonitor final : public QObject, public HXInputMonitor {
    Q_OBJECT

public:
    struct Service {
        QString name;
        QString path;
        QString interface;
        QString method;
        // What one unit of the answer is.
        std::chrono::milliseconds unit{1};
    };
    static Service mutterIdleMonitor();
    static Service kdeScreenSaver();

    explicit HXDBusIdleTimeMonitor(Service service, QDBusConnection bus = QDBusConnection::sessionBus(),
                                   std::chrono::milliseconds pollInterval = std::chrono::seconds(1),
                                   QObject* parent = nullptr);
    ~HXDBusIdleTimeMonitor() override;

    // False when the service does not answer the first question (it is asked once, briefly waiting).
    bool install(std::function<void()> onActivity) override;
    void remove() override;

    bool isAnswering() const { return m_installed && m_unanswered < kUnansweredLimit; }

    static constexpr int kUnansweredLimit = 3;

private:
    void poll();
    void answered(std::chrono::milliseconds idle);

    Service m_service;
    QDBusConnection m_bus;
    std::chrono::milliseconds m_pollInterval;
    QTimer m_timer;
    bool m_installed = false;
    bool m_waiting = false;
    int m_unanswered = 0;
    // Replies to polls made before the last remove() are ignored.
    int m_generation = 0;
    std::optional<std::chrono::milliseconds> m_lastIdle;
    std::function<void()> m_onActivity;
};
