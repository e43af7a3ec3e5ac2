#include "reports/widgets/HXReportIntervalAnimation.h"

#include "foundation/HXClock.h"
#include "foundation/HXScheduler.h"

#include <algorithm>

namespace {

constexpr std::string_view kStep = "intervalAnimationStep";
// About a frame of the display.
constexpr double kStepInterval = 1.0 / 60;

} // namespace

HXReportIntervalAnimation::HXReportIntervalAnimation(HXScheduler& scheduler, const HXClock& clock)
    : m_scheduler(scheduler), m_clock(clock) {}

HXReportIntervalAnimation::~HXReportIntervalAnimation() {
    m_scheduler.cancelPerforms(this, kStep);
}

void HXReportIntervalAnimation::start(double fromBegin, double fromEnd, double toBegin, double toEnd,
                                      double duration, Progress progress, Progress finished) {
    if (m_running)
        finish();
    m_from[0] = fromBegin;
    m_from[1] = fromEnd;
    m_to[0] = toBegin;
    m_to[1] = toEnd;
    m_duration = duration;
    m_start = m_clock.now();
    m_progress = std::move(progress);
    m_finished = std::move(finished);
    m_running = true;
    step();
}

void HXReportIntervalAnimation::step() {
    const double t = m_duration > 0 ? std::clamp((m_clock.now() - m_start) / m_duration, 0.0, 1.0) : 1.0;
    if (t >= 1) {
        finish();
        return;
    }
    if (m_progress)
        m_progress(m_from[0] + (m_to[0] - m_from[0]) * t, m_from[1] + (m_to[1] - m_from[1]) * t);
    m_scheduler.performAfterDelay(this, kStep, kStepInterval, [this] { step(); });
}

void HXReportIntervalAnimation::finish() {
    if (!m_running)
        return;
    m_running = false;
    m_scheduler.cancelPerforms(this, kStep);
    const Progress finished = std::move(m_finished);
    m_progress = nullptr;
    if (finished)
        finished(m_to[0], m_to[1]);
}
