#pragma once

#include "platform/HXUserPresenceMonitor.h"

// Departures and returns a test makes happen.
class HXFakeUserPresenceMonitor final : public HXUserPresenceMonitor {
public:
    void start(Handlers handlers, bool observeScreenSaver) override {
        m_handlers = std::move(handlers);
        m_observesScreenSaver = observeScreenSaver;
        m_running = true;
    }
    void stop() override { m_running = false; }

    bool isRunning() const { return m_running; }
    bool observesScreenSaver() const { return m_observesScreenSaver; }
    void simulateLeave(const QString& reason) {
        if (m_running && m_handlers.userLeaves)
            m_handlers.userLeaves(reason);
    }
    void simulateReturn(const QString& reason) {
        if (m_running && m_handlers.userReturns)
            m_handlers.userReturns(reason);
    }

private:
    Handlers m_handlers;
    bool m_observesScreenSaver = false;
    bool m_running = false;
};
