#include "platform/wayland/HXToplevelWindowServer.h"

#include "platform/wayland/HXToplevelOwners.h"

namespace {

int layerOf(const HXToplevel& t) {
    switch (t.kind) {
    case HXToplevelKind::Utility:
        return HXWindowServer::kFloatingLevel;
    case HXToplevelKind::Dock:
        return HXWindowServer::kDockLevel;
    case HXToplevelKind::Transient:
        return HXWindowServer::kPopUpMenuLevel;
    case HXToplevelKind::Normal:
    case HXToplevelKind::Dialog:
    case HXToplevelKind::Desktop:
        break;
    }
    return t.above ? HXWindowServer::kFloatingLevel : HXWindowServer::kNormalLevel;
}

} // namespace

std::optional<std::vector<HXWindowDescription>> HXToplevelWindowServer::windows(bool onScreenOnly) {
    if (!m_list.answering)
        return std::nullopt;
    std::vector<HXWindowDescription> list;
    list.reserve(m_list.toplevels.size());
    for (const HXToplevel& t : m_list.toplevels) {
        if (t.kind == HXToplevelKind::Desktop || (onScreenOnly && (t.minimized || !t.onCurrentDesktop)))
            continue;
        HXWindowDescription& d = list.emplace_back();
        d.ownerProcessIdentifier = m_owners.ownerOf(t);
        if (!t.title.isEmpty())
            d.name = t.title;
        d.layer = layerOf(t);
        d.number = t.number;
    }
    return list;
}

std::optional<std::vector<HXWindowDescription>> HXToplevelWindowServer::onScreenWindows() {
    return windows(true);
}

std::optional<std::vector<HXWindowDescription>> HXToplevelWindowServer::allWindows() {
    return windows(false);
}

bool HXToplevelWindowServer::isOrderedIn(std::uint64_t windowNumber) {
    if (!m_list.answering)
        return false;
    for (const HXToplevel& t : m_list.toplevels) {
        if (t.number == windowNumber)
            return !t.minimized;
    }
    return false;
}
