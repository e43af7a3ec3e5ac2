#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// Notifications that every program of the user's session can post and observe: a name and a text, in
// the order posted, without a reply. Posting and observing work from any thread; observers are called on
// the thread that made the center, never while posting.
class HXDistributedNotificationCenter {
public:
    using Observer = std::function<void(const QString& name, const QString& object)>;

    virtual ~HXDistributedNotificationCenter() = default;

    // An empty object is sent as "" and reaches observers as an empty text.
    virtual void postNotification(const QString& name, const QString& object) = 0;
    // Observes every notification of that name from any sender; the token removes the observer.
    virtual std::uint64_t addObserver(const QString& name, Observer observer) = 0;
    virtual void removeObserver(std::uint64_t token) = 0;
};
