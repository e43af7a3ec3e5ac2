#include "engine/HXTickShortcut.h"

#include <algorithm>

bool HXTickShortcut::beginTick(const HXDictionary* configuration, bool showInactiveApplications,
                               bool showInactivePools) {
    constexpr int kTicksBetweenFullPasses = 600;
    m_fullPass = m_fullPassPending || configuration != m_configuration ||
                 showInactiveApplications != m_showInactiveApplications ||
                 showInactivePools != m_showInactivePools ||
                 ++m_ticksSinceFullPass >= kTicksBetweenFullPasses;
    if (m_fullPass) {
        m_activeWindows.clear();
        m_activePoolRecords.clear();
        m_fullPassPending = false;
        m_configuration = configuration;
        m_showInactiveApplications = showInactiveApplications;
        m_showInactivePools = showInactivePools;
        m_ticksSinceFullPass = 0;
    }
    std::swap(m_activeApplications, m_lastActiveApplications);
    m_activeApplications.clear();
    std::swap(m_activePoolRecords, m_lastActivePoolRecords);
    m_activePoolRecords.clear();
    return m_fullPass;
}

bool HXTickShortcut::applicationWasActive(const HXDictionary* application) const {
    return std::binary_search(m_lastActiveApplications.begin(), m_lastActiveApplications.end(), application);
}

const std::vector<const HXDictionary*>* HXTickShortcut::activeWindows(const HXDictionary* application) const {
    const auto found = m_activeWindows.find(application);
    return found == m_activeWindows.end() ? nullptr : &found->second;
}

bool HXTickShortcut::poolRecordWasActive(const HXDictionary* record) const {
    return std::binary_search(m_lastActivePoolRecords.begin(), m_lastActivePoolRecords.end(), record);
}

void HXTickShortcut::noteActiveWindows(const HXDictionary* application,
                                       std::span<HXDictionary* const> windows) {
    m_activeWindows[application].assign(windows.begin(), windows.end());
}

void HXTickShortcut::endTick() {
    std::sort(m_activeApplications.begin(), m_activeApplications.end());
    std::sort(m_activePoolRecords.begin(), m_activePoolRecords.end());
}
