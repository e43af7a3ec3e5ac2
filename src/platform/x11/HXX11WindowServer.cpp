#include "platform/x11/HXX11WindowServer.h"

#include "platform/x11/HXX11Display.h"

HXX11WindowServer::HXX11WindowServer(std::shared_ptr<HXX11Display> display) : m_display(std::move(display)) {}

HXWindowDescription HXX11WindowServer::describe(const HXX11ClientWindow& window) {
    HXWindowDescription d;
    d.ownerProcessIdentifier = window.processIdentifier;
    if (window.title && !window.title->isEmpty())
        d.name = window.title;
    d.layer = window.layer;
    d.number = window.id;
    return d;
}

std::optional<std::vector<HXWindowDescription>> HXX11WindowServer::windows(bool currentDesktopOnly) {
    const auto snapshot = m_display->snapshot();
    if (!snapshot)
        return std::nullopt;
    std::vector<HXWindowDescription> list;
    list.reserve(snapshot->windows.size());
    for (const HXX11ClientWindow& w : snapshot->windows) {
        if (w.kind == HXX11WindowKind::Desktop)
            continue;
        if (!currentDesktopOnly || (!w.hidden && snapshot->isOnCurrentDesktop(w)))
            list.push_back(describe(w));
    }
    return list;
}

std::optional<std::vector<HXWindowDescription>> HXX11WindowServer::onScreenWindows() {
    return windows(true);
}

std::optional<std::vector<HXWindowDescription>> HXX11WindowServer::allWindows() {
    return windows(false);
}

bool HXX11WindowServer::isOrderedIn(std::uint64_t windowNumber) {
    const auto snapshot = m_display->snapshot();
    if (!snapshot || windowNumber > 0xFFFFFFFFu)
        return false;
    const HXX11ClientWindow* w = snapshot->find(static_cast<xcb_window_t>(windowNumber));
    return w && !w->hidden;
}
