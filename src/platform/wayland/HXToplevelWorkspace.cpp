#include "platform/wayland/HXToplevelWorkspace.h"

#include "platform/wayland/HXToplevelOwners.h"
#include "platform/x11/HXProgramKey.h"

#include <QFileInfo>

#include <algorithm>
#include <unordered_map>

namespace {

bool isTaskbarWindow(const HXToplevel& t) {
    return (t.kind == HXToplevelKind::Normal || t.kind == HXToplevelKind::Dialog) && !t.skipTaskbar;
}

bool isAccessoryWindow(const HXToplevel& t) {
    return t.kind == HXToplevelKind::Normal || t.kind == HXToplevelKind::Dialog ||
           t.kind == HXToplevelKind::Utility;
}

} // namespace

HXToplevelWorkspace::HXToplevelWorkspace(const HXToplevelList& list, HXToplevelOwners& owners,
                                         HXDesktopEntryMatcher matcher)
    : m_list(list), m_owners(owners), m_matcher(std::move(matcher)) {}

void HXToplevelWorkspace::update() {
    if (m_generation == m_list.generation)
        return;
    m_generation = m_list.generation;
    m_applications.clear();
    m_activeOwner.reset();
    if (!m_list.answering)
        return;
    std::vector<std::int64_t> order;
    std::unordered_map<std::int64_t, std::vector<const HXToplevel*>> byOwner;
    for (const HXToplevel& t : m_list.toplevels) {
        const std::optional<std::int64_t> owner = m_owners.ownerOf(t);
        if (!owner || t.kind == HXToplevelKind::Desktop)
            continue;
        auto& list = byOwner[*owner];
        if (list.empty())
            order.push_back(*owner);
        list.push_back(&t);
        if (t.activated && !m_activeOwner)
            m_activeOwner = owner;
    }
    m_applications.reserve(order.size());
    for (const std::int64_t owner : order)
        m_applications.push_back(describe(owner, byOwner[owner]));
}

HXRunningApplication HXToplevelWorkspace::describe(std::int64_t owner,
                                                   const std::vector<const HXToplevel*>& toplevels) {
    // The class of a main window speaks for the application better than that of a menu or splash.
    const HXToplevel* main = toplevels.front();
    for (const HXToplevel* t : toplevels) {
        if (isTaskbarWindow(*t)) {
            main = t;
            break;
        }
    }
    const bool hasProcess = HXToplevelOwners::isProcess(owner);
    const std::int64_t pid = hasProcess ? owner : -1;
    HXRunningApplication app;
    app.processIdentifier = owner;
    const QString instance = main->instanceName.isEmpty() ? main->identifier : main->instanceName;
    HXDesktopEntryIndex::Entry entry = m_matcher.match(pid, instance, main->identifier);
    QString program = hasProcess ? HXProgramKey::executableOf(pid) : QString();
    if (!hasProcess && !entry && !main->identifier.isEmpty())
        program = HXProgramKey::findOnPath(main->identifier, qEnvironmentVariable("PATH"));
    if (entry) {
        app.bundleIdentifier = entry->id.endsWith(u".desktop") ? entry->id.chopped(8) : entry->id;
        app.bundlePath = entry->path;
        app.localizedName = entry->name;
    } else if (!program.isEmpty()) {
        app.bundlePath = program;
    } else if (!hasProcess) {
        // Neither an entry nor a program: the identifier is all there is to know the application by.
        app.bundlePath = main->identifier;
    }
    if (app.localizedName.isEmpty())
        app.localizedName = !main->identifier.isEmpty() ? main->identifier : QFileInfo(program).fileName();
    if (std::any_of(toplevels.begin(), toplevels.end(), [](auto* t) { return isTaskbarWindow(*t); }))
        app.activationPolicy = HXActivationPolicy::Regular;
    else if (std::any_of(toplevels.begin(), toplevels.end(), [](auto* t) { return isAccessoryWindow(*t); }))
        app.activationPolicy = HXActivationPolicy::Accessory;
    else
        app.activationPolicy = HXActivationPolicy::Prohibited;
    return app;
}

std::vector<HXRunningApplication> HXToplevelWorkspace::runningApplications() {
    update();
    return m_applications;
}

std::optional<HXRunningApplication> HXToplevelWorkspace::menuBarOwner() {
    update();
    if (!m_list.answering)
        return std::nullopt;
    const auto now = std::chrono::steady_clock::now();
    std::optional<std::int64_t> owner = m_activeOwner;
    if (owner) {
        m_lastActiveOwner = owner;
        m_lastActiveSeen = now;
    } else if (m_lastActiveOwner && now - m_lastActiveSeen <= kActiveWindowGrace) {
        owner = m_lastActiveOwner;
    }
    if (!owner)
        return std::nullopt;
    for (const HXRunningApplication& app : m_applications) {
        if (app.processIdentifier == *owner)
            return app;
    }
    return std::nullopt;
}
