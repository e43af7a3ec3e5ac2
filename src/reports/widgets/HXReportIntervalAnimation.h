#pragma once

#include <functional>

class HXClock;
class HXScheduler;

// Moves a report's begin and end linearly from the old to the new values over a duration, calling
// progress at every step, then finished with the new values.
class HXReportIntervalAnimation {
public:
    using Progress = std::function<void(double begin, double end)>;

    HXReportIntervalAnimation(HXScheduler& scheduler, const HXClock& clock);
    ~HXReportIntervalAnimation();

    void start(double fromBegin, double fromEnd, double toBegin, double toEnd, double duration,
               Progress progress, Progress finished);
    bool isRunning() const { return m_running; }
    // Ends at once with the new values.
    void finish();

private:
    void step();

    HXScheduler& m_scheduler;
    const HXClock& m_clock;
    bool m_running = false;
    double m_start = 0;
    double m_duration = 0;
    double m_from[2] = {0, 0};
    double m_to[2] = {0, 0};
    Progress m_progress;
    Progress m_finished;
};
