#include "foundation/HXQtScheduler.h"

#include <QTimer>

#include <cmath>

HXQtScheduler::HXQtScheduler() = default;

HXQtScheduler::~HXQtScheduler() = default;

void HXQtScheduler::performAfterDelay(const void* target, std::string_view action, double seconds,
                                      std::function<void()> call) {
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QTimer* raw = timer.get();
    m_pending.push_back(Pending{target, std::string(action), std::move(timer)});
    auto self = std::prev(m_pending.end());
    QObject::connect(raw, &QTimer::timeout, raw, [this, self, call = std::move(call)] {
        // The entry goes before the call so that the call may schedule itself again; the timer object
        // lives on until control is back in the event loop.
        std::unique_ptr<QTimer> finished = std::move(self->timer);
        m_pending.erase(self);
        finished.release()->deleteLater();
        call();
    });
    const double milliseconds = std::max(0.0, seconds * 1000.0);
    raw->start(static_cast<int>(std::min(milliseconds, 2.0e9)));
}

void HXQtScheduler::cancelPerforms(const void* target, std::string_view action) {
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it->target == target && it->action == action)
            it = m_pending.erase(it);
        else
            ++it;
    }
}

bool HXQtScheduler::hasPendingPerform(const void* target, std::string_view action) const {
    for (const Pending& p : m_pending) {
        if (p.target == target && p.action == action)
            return true;
    }
    return false;
}
