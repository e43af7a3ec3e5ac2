#include "platform/fake/HXFakeWindowSystem.h"

std::vector<HXRunningApplication> HXFakeWindowSystem::runningApplications() {
    std::vector<HXRunningApplication> list;
    list.reserve(m_applications.size());
    for (const HXFakeApplication& a : m_applications)
        list.push_back(a.application);
    return list;
}

std::optional<HXRunningApplication> HXFakeWindowSystem::menuBarOwner() {
    if (!m_front)
        return std::nullopt;
    for (const HXFakeApplication& a : m_applications) {
        if (a.application.processIdentifier == *m_front)
            return a.application;
    }
    return std::nullopt;
}

std::vector<HXWindowDescription> HXFakeWindowSystem::windows(bool onScreenOnly) const {
    std::vector<HXWindowDescription> list;
    for (const HXFakeApplication& a : m_applications) {
        if (a.application.processIdentifier < 0)
            continue;
        for (const HXFakeWindow& w : a.windows) {
            if (onScreenOnly && !w.onScreen)
                continue;
            list.push_back(HXWindowDescription{a.application.processIdentifier, w.title, w.layer, w.number});
        }
    }
    return list;
}

std::optional<std::vector<HXWindowDescription>> HXFakeWindowSystem::onScreenWindows() {
    if (!m_windowListAvailable)
        return std::nullopt;
    return windows(true);
}

std::optional<std::vector<HXWindowDescription>> HXFakeWindowSystem::allWindows() {
    ++m_allWindowsQueries;
    if (!m_windowListAvailable)
        return std::nullopt;
    return windows(false);
}

bool HXFakeWindowSystem::isOrderedIn(std::uint64_t windowNumber) {
    for (const HXFakeApplication& a : m_applications) {
        for (const HXFakeWindow& w : a.windows) {
            if (w.number == windowNumber)
                return w.orderedIn;
        }
    }
    return false;
}
