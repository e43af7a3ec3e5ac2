#pragma once

#include "platform/HXUserPresenceMonitor.h"

#include <vector>

// Several sources of leaves and returns watched as one; each balances its own.
class HXUserPresenceMonitorGroup final : public HXUserPresenceMonitor {
public:
    explicit HXUserPresenceMonitorGroup(std::vector<HXUserPresenceMonitor*> monitors)
        : m_monitors(std::move(monitors)) {}

    void start(Handlers handlers, bool observeScreenSaver) override {
        for (HXUserPresenceMonitor* monitor : m_monitors)
            monitor->start(handlers, observeScreenSaver);
    }
    void stop() override {
        for (HXUserPresenceMonitor* monitor : m_monitors)
            monitor->stop();
    }

private:
    std::vector<HXUserPresenceMonitor*> m_monitors;
};
