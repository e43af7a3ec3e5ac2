#include "platform/x11/HXX11Workspace.h"

#include "platform/x11/HXProgramKey.h"
#include "platform/x11/HXX11Display.h"

#include <QFileInfo>

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
    if (!m_snapshot) {
        m_described.clear();
        return;
    }
    const std::uint64_t generation = m_matcher.refresh();
    if (generation != m_entriesGeneration) {
        m_described.clear();
        m_entriesGeneration = generation;
    }
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
    // Processes gone are forgotten, so that a process identifier used again is described anew.
    DescribedByPid described;
    m_applications.reserve(order.size());
    for (const std::int64_t pid : order) {
        Described d = describe(pid, windowsByPid[pid]);
        m_applications.push_back(d.application);
        described.emplace(pid, std::move(d));
    }
    m_described = std::move(described);
}

HXX11Workspace::Described HXX11Workspace::describe(std::int64_t pid,
                                                   const std::vector<const HXX11ClientWindow*>& windows) {
    // The class of a main window speaks for the application better than that of a menu or splash.
    const HXX11ClientWindow* main = windows.front();
    for (const HXX11ClientWindow* w : windows) {
        if (isTaskbarWindow(*w)) {
            main = w;
            break;
        }
    }
    HXActivationPolicy policy = HXActivationPolicy::Prohibited;
    if (std::any_of(windows.begin(), windows.end(), [](auto* w) { return isTaskbarWindow(*w); }))
        policy = HXActivationPolicy::Regular;
    else if (std::any_of(windows.begin(), windows.end(), [](auto* w) { return isAccessoryWindow(*w); }))
        policy = HXActivationPolicy::Accessory;
    // A process keeps its program while it lives.
    if (const auto known = m_described.find(pid); known != m_described.end() &&
                                                  known->second.instanceName == main->instanceName &&
                                                  known->second.className == main->className) {
        Described d = known->second;
        d.application.activationPolicy = policy;
        return d;
    }
    ++m_descriptionCount;
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
    app.activationPolicy = policy;
    return Described{main->instanceName, main->className, std::move(app)};
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
