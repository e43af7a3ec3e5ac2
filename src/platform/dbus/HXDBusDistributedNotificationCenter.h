#pragma once

#include "platform/HXDistributedNotificationCenter.h"

#include <QDBusConnection>
#include <QMutex>
#include <QObject>

#include <atomic>
#include <map>

// Distributed notifications as one signal on the session bus: path "/com/corvella/DistributedNotifications",
// interface "com.corvella.DistributedNotifications", member "Notification" with two strings, the
// notification's name and its object text ("" when there is none). Any program of the session may send
// or listen. The bus is asked to deliver the signal only while someone observes.
class HXDBusDistributedNotificationCenter final : public QObject, public HXDistributedNotificationCenter {
    Q_OBJECT

public:
    static constexpr const char* kPath = "/com/corvella/DistributedNotifications";
    static constexpr const char* kInterface = "com.corvella.DistributedNotifications";
    static constexpr const char* kMember = "Notification";

    explicit HXDBusDistributedNotificationCenter(QObject* parent = nullptr);
    HXDBusDistributedNotificationCenter(QDBusConnection bus, QObject* parent = nullptr);
    ~HXDBusDistributedNotificationCenter() override;

    void postNotification(const QString& name, const QString& object) override;
    std::uint64_t addObserver(const QString& name, Observer observer) override;
    void removeObserver(std::uint64_t token) override;

private Q_SLOTS:
    void receive(const QString& name, const QString& object);

private:
    struct Entry {
        QString name;
        Observer observer;
    };
    void updateSubscription();

    QDBusConnection m_bus;
    QMutex m_mutex;
    std::map<std::uint64_t, Entry> m_observers;
    std::uint64_t m_nextToken = 1;
    bool m_subscribed = false;
    std::atomic<bool> m_posted = false;
};
