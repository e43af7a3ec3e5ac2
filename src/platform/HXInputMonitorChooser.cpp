#include "platform/HXInputMonitorChooser.h"

#include "foundation/HXLog.h"

HXInputMonitorChooser::HXInputMonitorChooser(std::vector<Candidate> candidates,
                                             std::chrono::milliseconds checkInterval, QObject* parent)
    : QObject(parent), m_candidates(std::move(candidates)) {
    m_checkTimer.setInterval(checkInterval);
    connect(&m_checkTimer, &QTimer::timeout, this, &HXInputMonitorChooser::check);
}

HXInputMonitorChooser::~HXInputMonitorChooser() {
    remove();
}

bool HXInputMonitorChooser::install(std::function<void()> onActivity) {
    remove();
    m_onActivity = std::move(onActivity);
    if (!installFrom(0)) {
        m_onActivity = nullptr;
        return false;
    }
    return true;
}

bool HXInputMonitorChooser::installFrom(std::size_t first) {
    for (std::size_t i = first; i < m_candidates.size(); ++i) {
        Candidate& c = m_candidates[i];
        if (!c.monitor->install([this] {
                if (const std::function<void()> handler = m_onActivity)
                    handler();
            })) {
            HXSystemLog(QStringLiteral("idle source %1 cannot be used").arg(c.name));
            continue;
        }
        m_current = i;
        HXSystemLog(QStringLiteral("idle source: %1").arg(c.name));
        m_checkTimer.start();
        return true;
    }
    return false;
}

void HXInputMonitorChooser::remove() {
    m_checkTimer.stop();
    if (m_current)
        m_candidates[*m_current].monitor->remove();
    m_current.reset();
    m_onActivity = nullptr;
}

void HXInputMonitorChooser::check() {
    if (!m_current)
        return;
    const Candidate& c = m_candidates[*m_current];
    if (!c.answering || c.answering())
        return;
    HXSystemLog(QStringLiteral("idle source %1 stopped answering").arg(c.name));
    c.monitor->remove();
    const std::size_t next = *m_current + 1;
    m_current.reset();
    m_checkTimer.stop();
    if (!installFrom(next))
        HXSystemLog(QStringLiteral("no idle source is left: idle time is not noticed"));
}

QString HXInputMonitorChooser::currentName() const {
    return m_current ? m_candidates[*m_current].name : QString();
}
