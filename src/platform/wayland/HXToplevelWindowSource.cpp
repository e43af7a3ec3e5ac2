#include "platform/wayland/HXToplevelWindowSource.h"

HXToplevelWindowSource::HXToplevelWindowSource(HXDesktopEntryMatcher matcher)
    : m_windowServer(m_list, m_owners), m_workspace(m_list, m_owners, std::move(matcher)) {}

void HXToplevelWindowSource::setToplevels(std::vector<HXToplevel> toplevels) {
    m_list.toplevels = std::move(toplevels);
    changed();
}

void HXToplevelWindowSource::setAnswering(bool answering) {
    if (m_list.answering == answering)
        return;
    m_list.answering = answering;
    if (!answering)
        m_list.toplevels.clear();
    changed();
}
