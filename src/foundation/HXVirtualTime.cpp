#include "foundation/HXVirtualTime.h"

#include <algorithm>

void HXVirtualTime::performAfterDelay(const void* target, std::string_view action, double seconds,
                                      std::function<void()> call) {
    const double due = m_now + std::max(0.0, seconds);
    m_pending.emplace(std::make_pair(due, m_sequence++),
                      Pending{target, std::string(action), std::move(call)});
}

void HXVirtualTime::cancelPerforms(const void* target, std::string_view action) {
    std::erase_if(m_pending, [&](const auto& entry) {
        return entry.second.target == target && entry.second.action == action;
    });
}

bool HXVirtualTime::hasPendingPerform(const void* target, std::string_view action) const {
    return std::any_of(m_pending.begin(), m_pending.end(), [&](const auto& entry) {
        return entry.second.target == target && entry.second.action == action;
    });
}

std::size_t HXVirtualTime::pendingPerformCount(const void* target, std::string_view action) const {
    return static_cast<std::size_t>(std::count_if(m_pending.begin(), m_pending.end(), [&](const auto& entry) {
        return entry.second.target == target && entry.second.action == action;
    }));
}

int HXVirtualTime::advance(double seconds) {
    const double end = m_now + std::max(0.0, seconds);
    int ran = 0;
    while (!m_pending.empty() && m_pending.begin()->first.first <= end) {
        auto first = m_pending.begin();
        m_now = std::max(m_now, first->first.first);
        std::function<void()> call = std::move(first->second.call);
        m_pending.erase(first);
        call();
        ++ran;
    }
    m_now = std::max(m_now, end);
    return ran;
}

double HXVirtualTime::nextDueTime() const {
    return m_pending.empty() ? -1.0 : m_pending.begin()->first.first;
}
