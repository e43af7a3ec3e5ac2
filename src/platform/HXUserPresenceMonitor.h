#pragma once

#include <QString>

#include <functional>

// Notifications that the user left (displays or system asleep, session switched away, screen saver)
// and came back. Each leave is eventually matched by one return.
class HXUserPresenceMonitor {
public:
    struct Handlers {
        std::function<void(const QString& reason)> userLeaves;
        std::function<void(const QString& reason)> userReturns;
    };

    virtual ~HXUserPresenceMonitor() = default;

    virtual void start(Handlers handlers, bool observeScreenSaver) = 0;
    virtual void stop() = 0;
};
