// The sampling tick: what the window system shows now becomes times and event log entries.
#include "engine/HXBlacklists.h"
#include "engine/HXListResorting.h"
#include "engine/HXMainController.h"
#include "engine/HXPoolMatcher.h"
#include "engine/HXWindowList.h"
#include "filters/HXFilterString.h"
#include "filters/HXWindowTitleFilters.h"
#include "foundation/HXClock.h"
#include "foundation/HXLog.h"
#include "foundation/HXSorting.h"
#include "foundation/HXUserDefaults.h"
#include "platform/HXWorkspace.h"

#include <QFileInfo>

#include <algorithm>

using namespace HXKeys;

namespace {

// The localized name, else the bundle's file name without its extension, trimmed.
QString localizedNameOrBundleName(const HXRunningApplication& application) {
    QString name = application.localizedName.trimmed();
    if (name.isEmpty() && application.bundlePath)
        name = QFileInfo(*application.bundlePath).completeBaseName().trimmed();
    return name;
}

bool passesActivationPolicyFilter(HXActivationPolicy policy, std::int64_t filter) {
    switch (policy) {
    case HXActivationPolicy::Accessory:
        return filter >= 1;
    case HXActivationPolicy::Prohibited:
        return filter >= 2;
    case HXActivationPolicy::Regular:
        break;
    }
    return true;
}

HXDictionaryRef applicationsOf(HXDictionary& configuration) {
    if (HXDictionaryRef applications = configuration.dictionaryForKey(u"Applications"))
        return applications;
    auto applications = HXDictionary::create();
    configuration.setValue(u"Applications", applications);
    return applications;
}

void sortItems(HXArray& items, int column) {
    HXSortItemsInArray(items, column);
}

// One tick's view of the world, shared by the steps below.
struct TickContext {
    HXDictionary& configuration;
    HXPoolMatcher& pools;
    bool gap;
    double interval;
    bool eatsFrontmostWindow;
    const HXTickBlacklists& blacklists;
    // Applications that got a new window record in this tick.
    std::vector<const HXDictionary*>& applicationsWithNewWindows;
    // Every window counted in this tick, with its application.
    std::vector<std::pair<const HXDictionary*, const HXDictionary*>>& markedWindows;
};

// The windows of one counted application: the frontmost application's foreground time goes to its
// front-most counted window.
void countWindows(const TickContext& tick, HXDictionary& application, const QString& key, const QString& name,
                  bool frontmost, const std::vector<QString>& windows) {
    const HXArrayRef filters = windowTitleFiltersWithIdentifier(tick.configuration, key, nullptr, false);
    const HXCompiledQualifiedBlacklist::ForApplication qualified =
        tick.blacklists.qualifiedWindows.forApplication(name);
    HXDictionaryRef windowsByName = application.dictionaryForKey(WindowsByName);
    bool front = frontmost;
    for (const QString& windowTitle : windows) {
        if (const std::optional<QString> title = qualified.validItemName(windowTitle)) {
            const QString filtered = HXFilterString(*title, filters.get());
            if (!filtered.isEmpty()) {
                HXDictionaryRef r = windowsByName ? windowsByName->dictionaryForKey(filtered) : nullptr;
                bool counted = true;
                if (r) {
                    if (r->boolForKey(ActiveTransient)) {
                        // A second window with the same filtered title: counted once, and it does not
                        // take the foreground from the first.
                        front = false;
                        counted = false;
                    } else if (!tick.gap) {
                        if (r->boolForKey(Active))
                            r->addTimeInterval(tick.interval, Time);
                        if (front && r->boolForKey(FrontActive))
                            r->addTimeInterval(tick.interval, FrontTime);
                    }
                } else {
                    if (!windowsByName) {
                        windowsByName = HXDictionary::create();
                        application.setValue(WindowsByName, windowsByName);
                    }
                    r = HXDictionary::create();
                    r->setValue(Name, windowTitle);
                    r->setValue(Path, QStringLiteral("_Window"));
                    windowsByName->setValue(filtered, r);
                    tick.applicationsWithNewWindows.push_back(&application);
                }
                if (counted) {
                    if (filtered != *title)
                        r->setValue(Name, filtered);
                    r->setValue(ApplicationID, key);
                    r->setBool(true, ActiveTransient);
                    r->setBool(front, FrontActiveTransient);
                    tick.markedWindows.emplace_back(&application, r.get());
                    tick.pools.feed(*r, tick.gap, tick.interval, front);
                    front = false;
                }
            }
        }
        if (tick.eatsFrontmostWindow)
            front = false;
    }
}

} // namespace

void HXMainController::runTick() {
    HXUserDefaults& defaults = m_services.defaults;

    // Time base.
    if (!m_store.configuration()) {
        m_store.setConfiguration(HXDictionary::create());
        m_lastUpdateDate.reset();
    }
    HXDictionary& configuration = *m_store.configuration();
    const double now = m_services.clock.now();
    // A clock set back would subtract time from everything seen: such a tick counts as a gap.
    const bool gap = m_ignoreLastUpdateDate || !m_lastUpdateDate || now < *m_lastUpdateDate;
    const double interval = gap ? 0.0 : now - *m_lastUpdateDate;
    const double previous = configuration.timeIntervalForKey(u"Last Timestamp");
    if (!configuration.contains(u"First Timestamp"))
        configuration.setTimeInterval(now, u"First Timestamp");
    if (!configuration.contains(u"First Pool Timestamp"))
        configuration.setTimeInterval(now, u"First Pool Timestamp");
    configuration.setTimeInterval(now, u"Last Timestamp");
    m_lastUpdateDate = now;
    m_ignoreLastUpdateDate = false;
    configuration.addTimeInterval(interval, u"Overall Time");
    configuration.addTimeInterval(interval, u"Overall Pool Time");
    m_overallApplicationTime = configuration.timeIntervalForKey(u"Overall Time");
    m_overallPoolTime = configuration.timeIntervalForKey(u"Overall Pool Time");

    // The frontmost application; none while an ad hoc timer is timed by hand.
    std::optional<HXRunningApplication> front = m_services.workspace.menuBarOwner();
    if (!front || !front->bundlePath) {
        HXDebugLog(QStringLiteral("cannot get active application path"));
        front.reset();
    }
    if (m_services.adHocTimer && m_services.adHocTimer->active())
        front.reset();

    const HXTickBlacklists& blacklists = m_blacklists.update(configuration);
    const HXWindowsByPID windows =
        HXWindowDescriptionsByPID(m_services.windowServer, blacklists.plainWindows,
                                  HXWindowListOptions{defaults.boolForKey(u"Include Windows From All Spaces"),
                                                      defaults.boolForKey(u"Include Floating Windows")});

    // Pools change only through commands, which run a tick with a sender and so a full pass.
    const bool fullPass = startConsolidationPass();
    const bool matchApplicationsViaID = defaults.boolForKey(u"Pools: Match Applications Via ID");
    if (fullPass || !m_poolMatcher || matchApplicationsViaID != m_poolMatcherMatchesViaID) {
        m_poolMatcher.emplace(configuration.arrayPointerForKey(u"Pools"), matchApplicationsViaID);
        m_poolMatcherMatchesViaID = matchApplicationsViaID;
    }
    HXPoolMatcher& pools = *m_poolMatcher;
    m_applicationsWithNewWindows.clear();
    const TickContext tick{configuration,
                           pools,
                           gap,
                           interval,
                           defaults.boolForKey(u"Qualified Blacklist Eats Frontmost Window"),
                           blacklists,
                           m_applicationsWithNewWindows,
                           m_markedWindows};
    const std::int64_t policyFilter = defaults.integerForKey(u"Application Activation Policy Filter");
    const HXDictionaryRef applications = applicationsOf(configuration);

    for (const HXRunningApplication& running : m_services.workspace.runningApplications()) {
        if (!passesActivationPolicyFilter(running.activationPolicy, policyFilter))
            continue;
        const std::optional<QString> name =
            blacklists.applications.validItemName(localizedNameOrBundleName(running));
        if (!name || !running.bundlePath)
            continue;
        const QString& path = *running.bundlePath;
        const QString key = running.bundleIdentifier.isEmpty() ? path : running.bundleIdentifier;
        // Several processes may share one application's path (two instances of one program): only the
        // one owning the active window is in front.
        const bool frontmost =
            front && *front->bundlePath == path &&
            (front->processIdentifier < 0 || front->processIdentifier == running.processIdentifier);

        HXDictionaryRef record = applications->dictionaryForKey(key);
        if (record) {
            // A second process of the same application adds nothing more to this tick.
            if (!gap) {
                if (record->boolForKey(Active) && !record->boolForKey(ActiveTransient))
                    record->addTimeInterval(interval, Time);
                if (frontmost && record->boolForKey(FrontActive) && !record->boolForKey(FrontActiveTransient))
                    record->addTimeInterval(interval, FrontTime);
            }
        } else {
            record = HXDictionary::create();
            record->setValue(Name, *name);
            record->setValue(ApplicationID, key);
            applications->setValue(key, record);
            m_gotNewApplications = true;
        }
        m_countedApplications.push_back(record.get());
        record->setValue(Path, path);
        record->setBool(true, ActiveTransient);
        if (frontmost)
            record->setBool(true, FrontActiveTransient);
        pools.feed(*record, gap, interval, frontmost);

        if (running.processIdentifier < 0)
            continue;
        const auto found = windows.find(running.processIdentifier);
        if (found != windows.end())
            countWindows(tick, *record, key, *name, frontmost, found->second);
    }

    rebuildApplicationList(fullPass, gap, now, previous);
    rebuildPoolList(fullPass, gap, now, previous);
    m_screenshots.takeScreenshotIfDue(now);
}

bool HXMainController::startConsolidationPass() {
    constexpr int kTicksBetweenFullConsolidations = 600;
    const HXDictionary* configuration = m_store.configuration().get();
    const bool fullPass = m_fullConsolidationPending || configuration != m_lastConsolidatedConfiguration ||
                          m_showInactiveApplications != m_lastShowInactiveApplications ||
                          m_showInactivePools != m_lastShowInactivePools ||
                          ++m_ticksSinceFullConsolidation >= kTicksBetweenFullConsolidations;
    if (fullPass) {
        m_liveWindows.clear();
        m_livePoolRecords.clear();
        m_fullConsolidationPending = false;
        m_lastConsolidatedConfiguration = configuration;
        m_lastShowInactiveApplications = m_showInactiveApplications;
        m_lastShowInactivePools = m_showInactivePools;
        m_ticksSinceFullConsolidation = 0;
    }
    return fullPass;
}

void HXMainController::rebuildApplicationList(bool fullPass, bool gap, double now, double previous) {
    const HXDictionary* configuration = m_store.configuration().get();
    std::sort(m_markedWindows.begin(), m_markedWindows.end());
    std::sort(m_countedApplications.begin(), m_countedApplications.end());
    std::swap(m_liveApplications, m_previousLiveApplications);
    m_liveApplications.clear();
    const auto counted = [&](const HXDictionary* application) {
        return std::binary_search(m_countedApplications.begin(), m_countedApplications.end(), application);
    };

    const HXDictionaryRef applications = configuration->dictionaryForKey(u"Applications");
    // With every application listed, last tick's order needs only the applications counted now moved.
    const bool mayResort = !fullPass && m_showInactiveApplications && !m_gotNewApplications &&
                           m_listApplications->count() == applications->count();
    auto list = mayResort ? m_listApplications : HXArray::create();
    for (const HXDictionary::Entry& entry : applications->entries()) {
        const HXDictionaryRef& application = entry.value.toDictionary();
        if (!application)
            continue;
        // An application neither active at the last tick nor counted in this one has not changed, nor
        // have its windows: only counted applications get their windows counted.
        if (!fullPass && !counted(application.get()) &&
            !std::binary_search(m_previousLiveApplications.begin(), m_previousLiveApplications.end(),
                                application.get())) {
            if (m_showInactiveApplications && !mayResort)
                list->append(application);
            continue;
        }
        const bool active = application->consolidateStates(gap, now, previous);
        if (active)
            m_liveApplications.push_back(application.get());
        const bool listed = active || m_showInactiveApplications;
        if (listed && !mayResort)
            list->append(application);

        // Since the last full pass only windows active at the last tick or counted in this one can have
        // changed; the others are closed and inactive, and need not be looked at.
        const auto known = m_liveWindows.find(application.get());
        std::vector<const HXDictionary*>& candidates = m_windowCandidates;
        candidates.clear();
        if (known != m_liveWindows.end()) {
            candidates.assign(known->second.begin(), known->second.end());
            const auto marked =
                std::equal_range(m_markedWindows.begin(), m_markedWindows.end(),
                                 std::make_pair(application.get(), static_cast<const HXDictionary*>(nullptr)),
                                 [](const auto& x, const auto& y) { return x.first < y.first; });
            for (auto it = marked.first; it != marked.second; ++it)
                candidates.push_back(it->second);
            if (!active && candidates.empty())
                continue; // dormant: its windows and their list are as the last tick left them
        }
        const bool consolidateAll = known == m_liveWindows.end();
        const auto needsLook = [&](const HXDictionary* window) {
            return consolidateAll ||
                   std::find(candidates.begin(), candidates.end(), window) != candidates.end();
        };

        const HXDictionaryRef windows = application->dictionaryForKey(WindowsByName);
        const HXArrayRef& previousList = application->listWindows();
        const bool gotNewWindows =
            std::find(m_applicationsWithNewWindows.begin(), m_applicationsWithNewWindows.end(),
                      application.get()) != m_applicationsWithNewWindows.end();
        // With every window listed, last tick's order needs only the windows seen now moved.
        const bool mayResortWindows = !fullPass && listed && m_showInactiveApplications && previousList &&
                                      !gotNewWindows && windows && previousList->count() == windows->count();
        std::vector<const HXDictionary*>& live = m_liveWindows[application.get()];
        live.clear();
        std::vector<HXDictionary*>& seenWindows = m_seenWindows;
        seenWindows.clear();
        auto listWindows = HXArray::create();
        if (windows) {
            for (const HXDictionary::Entry& w : windows->entries()) {
                const HXDictionaryRef& window = w.value.toDictionary();
                if (!window)
                    continue;
                const bool windowActive =
                    needsLook(window.get()) && window->consolidateStates(gap, now, previous);
                if (windowActive) {
                    live.push_back(window.get());
                    seenWindows.push_back(window.get());
                }
                if (listed && !mayResortWindows && (windowActive || m_showInactiveApplications))
                    listWindows->append(window);
            }
        }
        if (!listed) {
            application->setListWindows(nullptr);
            continue;
        }
        if (mayResortWindows && HXResortChangedItems(*previousList, seenWindows, m_sortColumn))
            continue;
        if (mayResortWindows) {
            for (const HXDictionary::Entry& w : windows->entries()) {
                if (const HXDictionaryRef& window = w.value.toDictionary())
                    listWindows->append(window);
            }
        }
        sortItems(*listWindows, m_sortColumn);
        application->setListWindows(std::move(listWindows));
    }
    m_markedWindows.clear();
    std::sort(m_liveApplications.begin(), m_liveApplications.end());
    std::vector<HXDictionary*> moved(m_countedApplications.begin(), m_countedApplications.end());
    moved.erase(std::unique(moved.begin(), moved.end()), moved.end());
    if (!mayResort || !HXResortChangedItems(*list, moved, m_sortColumn)) {
        if (mayResort) {
            list = HXArray::create();
            for (const HXDictionary::Entry& entry : applications->entries()) {
                if (entry.value.toDictionary())
                    list->append(entry.value);
            }
        }
        sortItems(*list, m_sortColumn);
    }
    m_countedApplications.clear();
    m_gotNewApplications = false;
    m_listApplications = std::move(list);
    Q_EMIT applicationListReloaded();
}

void HXMainController::rebuildPoolList(bool fullPass, bool gap, double now, double previous) {
    auto list = HXArray::create();
    const bool treatPausedAsActive = m_services.defaults.boolForKey(u"Pools: Treat Paused As Active");
    // As with windows: between full passes only records active at the last tick or marked in this one
    // can change. A record is marked only together with its pool, so a pool that is neither has nothing
    // below it to look at.
    m_markedPoolRecords.clear();
    if (m_poolMatcher) {
        m_markedPoolRecords.assign(m_poolMatcher->markedRecords().begin(),
                                   m_poolMatcher->markedRecords().end());
        m_poolMatcher->forgetMarkedRecords();
    }
    std::sort(m_markedPoolRecords.begin(), m_markedPoolRecords.end());
    std::swap(m_livePoolRecords, m_previousLivePoolRecords);
    m_livePoolRecords.clear();
    const auto mayHaveChanged = [&](const HXDictionary* record) {
        return fullPass ||
               std::binary_search(m_previousLivePoolRecords.begin(), m_previousLivePoolRecords.end(),
                                  record) ||
               std::binary_search(m_markedPoolRecords.begin(), m_markedPoolRecords.end(), record);
    };
    const auto consolidate = [&](HXDictionary& record) {
        const bool active = record.consolidateStates(gap, now, previous);
        if (active)
            m_livePoolRecords.push_back(&record);
        return active;
    };
    if (const HXArrayRef pools = m_store.configuration()->arrayForKey(u"Pools")) {
        for (const HXValue& poolValue : pools->values()) {
            const HXDictionaryRef& pool = poolValue.toDictionary();
            if (!pool)
                continue;
            const bool changed = mayHaveChanged(pool.get());
            const bool active = changed && consolidate(*pool);
            const bool listed =
                active || m_showInactivePools || (treatPausedAsActive && pool->boolForKey(Paused));
            if (listed)
                list->append(pool);
            const HXArrayRef children = changed ? pool->arrayForKey(Children) : nullptr;
            if (!children)
                continue;
            if (listed)
                sortItems(*children, m_sortColumn);
            for (const HXValue& childValue : children->values()) {
                const HXDictionaryRef& child = childValue.toDictionary();
                if (!child)
                    continue;
                if (mayHaveChanged(child.get()))
                    consolidate(*child);
                const HXArrayRef grandchildren = child->arrayForKey(Children);
                if (!grandchildren)
                    continue;
                for (const HXValue& grandchildValue : grandchildren->values()) {
                    const HXDictionaryRef& grandchild = grandchildValue.toDictionary();
                    if (grandchild && mayHaveChanged(grandchild.get()))
                        consolidate(*grandchild);
                }
                if (listed)
                    sortItems(*grandchildren, m_sortColumn);
            }
        }
    }
    std::sort(m_livePoolRecords.begin(), m_livePoolRecords.end());
    sortItems(*list, m_sortColumn);
    m_listPools = std::move(list);
    Q_EMIT poolListReloaded();
}
