#pragma once

#include "platform/HXInputMonitor.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>

class HXWaylandConnection;
struct ext_idle_notification_v1;
struct ext_idle_notifier_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;
struct wl_seat;

// Input activity from the compositor's idle protocol: ext_idle_notifier_v1, or org_kde_kwin_idle where
// that is what it offers. Both tell only when the seat has been idle for a timeout and when input resumed,
// so the monitor reports activity as input resumes and then once per timeout for as long as the seat is
// not idle: the activity it reports is never more than one timeout late.
class HXWaylandIdleMonitor final : public QObject, public HXInputMonitor {
    Q_OBJECT

public:
    enum class Protocol { ExtIdleNotifier, KdeIdle };

    HXWaylandIdleMonitor(std::shared_ptr<HXWaylandConnection> connection, Protocol protocol,
                         std::chrono::milliseconds timeout = std::chrono::seconds(1),
                         QObject* parent = nullptr);
    ~HXWaylandIdleMonitor() override;

    // False when the compositor does not offer the protocol or a seat.
    bool install(std::function<void()> onActivity) override;
    void remove() override;

    bool isAnswering() const;
    bool isIdle() const { return m_idle; }

private:
    struct Listener;

    void becameIdle();
    void resumed();
    void report();

    std::shared_ptr<HXWaylandConnection> m_connection;
    Protocol m_protocol;
    std::chrono::milliseconds m_timeout;
    wl_seat* m_seat = nullptr;
    ext_idle_notifier_v1* m_notifier = nullptr;
    ext_idle_notification_v1* m_notification = nullptr;
    org_kde_kwin_idle* m_kdeIdle = nullptr;
    org_kde_kwin_idle_timeout* m_kdeTimeout = nullptr;
    QTimer m_repeat;
    bool m_idle = false;
    std::function<void()> m_onActivity;
};
