#include "platform/x11/HXX11Workspace.h"

#include "platform/x11/HXProgramKey.h"
#include "platform/x11/HXX11Display.h"

#include <QFileInfo>

#include <unordered_map>

namespace {

bool isTaskbarWindow(const HXX11ClientWindow& w) {
    return (w.kind == HXX11WindowKind::Normal || w.kind == HXX11WindowKind::Dialog) && !w.skipTaskbar;
}

bool isAccessoryWindow(const HXX11ClientWindow& w) {
    return w.kind == HXX11WindowKind::Normal || w.kind == HXX11WindowKind::Dialog ||
           w.kind == HXX11WindowKind::Utility;
}

} // namespace

HXX11Workspace::HXX11Workspace(std::shared_ptr<HXX11Display> display, HXDesktopEntryMatcher matcher)
    : m_display(std::move(display)), m_matcher(std::move(matcher)) {}

void HXX11Workspace::update() {
    auto snapshot = m_display->snapshot();
    if (snapshot == m_snapshot)
        return;
    m_snapshot = std::move(snapshot);
    m_applications.clear();
    if (!m_snapshot)
        return;
    std::vector<std::int64_t> order;
    std::unordered_map<std::int64_t, std::vector<const HXX11ClientWindow*>> windowsByPid;
    for (const HXX11ClientWindow& w : m_snapshot->windows) {
        if (!w.processIdentifier)
            continue;
        auto& list = windowsByPid[*w.processIdentifier];
        if (list.empty())
            order.push_back(*w.processIdentifier);
        list.push_back(&w);
    }
    m_applications.reserve(order.size());
    for (const std::int64_t pid : order)
        m_applications.push_back(describe(pid, windowsByPid[pid]));
}

HXRunningApplication HXX11Workspace::describe(std::int64_t pid,
                                              const std::vector<const HXX11ClientWindow*>& windows) {
    // The class of a main window speaks for the application better than that of a menu or splash.
    const HXX11ClientWindow* main = windows.front();
    for (const HXX11ClientWindow* w : windows) {
        if (isTaskbarWindow(*w)) {
            main = w;
            break;
        }
    }
    HXRunningApplication app;
    app.processIdentifier = pid;
    const HXDesktopEntryIndex::Entry entry = m_matcher.match(pid, main->instanceName, main->className);
    const QString executable = HXProgramKey::executableOf(pid);
    if (entry) {
        app.bundleIdentifier = entry->id.endsWith(u".desktop") ? entry->id.chopped(8) : entry->id;
        app.bundlePath = entry->path;
        app.localizedName = entry->name;
    } else if (!executable.isEmpty()) {
        app.bundlePath = executable;
    }
    if (app.localizedName.isEmpty())
        app.localizedName = !main->className.isEmpty()      ? main->className
                            : !main->instanceName.isEmpty() ? main->instanceName
                                                            : QFileInfo(executable).fileName();
    if (std::any_of(windows.begin(), windows.end(), [](auto* w) { return isTaskbarWindow(*w); }))
        app.activationPolicy = HXActivationPolicy::Regular;
    else if (std::any_of(windows.begin(), windows.end(), [](auto* w) { return isAccessoryWindow(*w); }))
        app.activationPolicy = HXActivationPolicy::Accessory;
    else
        app.activationPolicy = HXActivationPolicy::Prohibited;
    return app;
}

std::vector<HXRunningApplication> HXX11Workspace::runningApplications() {
    update();
    return m_applications;
}

std::optional<HXRunningApplication> HXX11Workspace::menuBarOwner() {
    update();
    if (!m_snapshot)
        return std::nullopt;
    const auto now = std::chrono::steady_clock::now();
    const HXX11ClientWindow* active = m_snapshot->find(m_snapshot->activeWindow);
    if (active) {
        m_lastActive = active->id;
        m_lastActiveSeen = now;
    } else if (m_lastActive != XCB_WINDOW_NONE && now - m_lastActiveSeen <= kActiveWindowGrace) {
        active = m_snapshot->find(m_lastActive);
    }
    if (!active || !active->processIdentifier)
        return std::nullopt;
    for (const HXRunningApplication& app : m_applications) {
        if (app.processIdentifier == *active->processIdentifier)
            return app;
    }
    return std::nullopt;
}
