#pragma once

#include "foundation/HXClock.h"
#include "foundation/HXScheduler.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>

// A clock and scheduler that move only when told: tests advance time by hand and the due calls run in
// order, each seeing the clock at its own due time.
class HXVirtualTime final : public HXClock, public HXScheduler {
public:
    explicit HXVirtualTime(double start = 1700000000.0) : m_now(start) {}

    double now() const override { return m_now; }
    void setNow(double t) { m_now = t; }

    void performAfterDelay(const void* target, std::string_view action, double seconds,
                           std::function<void()> call) override;
    void cancelPerforms(const void* target, std::string_view action) override;
    bool hasPendingPerform(const void* target, std::string_view action) const override;

    // Moves the clock forward, running every call that falls due on the way (also calls scheduled by
    // those calls). Returns how many ran.
    int advance(double seconds);
    // Runs what is due now: one pass of the event loop.
    int runDue() { return advance(0); }
    std::size_t pendingCount() const { return m_pending.size(); }
    std::size_t pendingPerformCount(const void* target, std::string_view action) const;
    // When the next call falls due, or a negative number when none is pending.
    double nextDueTime() const;

private:
    struct Pending {
        const void* target;
        std::string action;
        std::function<void()> call;
    };
    double m_now;
    std::uint64_t m_sequence = 0;
    std::map<std::pair<double, std::uint64_t>, Pending> m_pending;
};
