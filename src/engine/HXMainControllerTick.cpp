// The sampling tick, in the order it runs: the time base; what the window system shows; the interval
// attributed to every application, window and pool seen; consolidation, where the records' marks become
// their states and event log entries; the organizer lists. Each step hands its result on as a value.
#include "engine/HXBlacklists.h"
#include "engine/HXEventLogConsolidation.h"
#include "engine/HXIntervalAttribution.h"
#include "engine/HXListResorting.h"
#include "engine/HXMainController.h"
#include "engine/HXPoolMatcher.h"
#include "engine/HXTickSightings.h"
#include "engine/HXWindowList.h"
#include "filters/HXFilterString.h"
#include "filters/HXWindowTitleFilters.h"
#include "foundation/HXClock.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXKeys.h"
#include "foundation/HXLog.h"
#include "foundation/HXSorting.h"
#include "foundation/HXUserDefaults.h"
#include "platform/HXWorkspace.h"

#include <QFileInfo>

#include <algorithm>

using namespace HXKeys;

namespace {

// ---- What the window system shows ----

struct WindowSystemSample {
    // The application owning the active window, when it has a bundle path; none while an ad hoc timer is
    // timed by hand.
    std::optional<HXRunningApplication> front;
    // Per process its titled windows front to back, without those of the plain window blacklist.
    HXWindowsByPID windows;
    // In the workspace's order.
    std::vector<HXRunningApplication> applications;
};

WindowSystemSample sampleWindowSystem(const HXEngineServices& services,
                                      const HXCompiledBlacklist& plainWindows) {
    WindowSystemSample sample;
    sample.front = services.workspace.menuBarOwner();
    if (!sample.front || !sample.front->bundlePath) {
        HXDebugLog(QStringLiteral("cannot get active application path"));
        sample.front.reset();
    }
    if (services.adHocTimer && services.adHocTimer->active())
        sample.front.reset();
    sample.windows = HXWindowDescriptionsByPID(
        services.windowServer, plainWindows,
        HXWindowListOptions{services.defaults.boolForKey(HXDefaultsKeys::IncludeWindowsFromAllSpaces),
                            services.defaults.boolForKey(HXDefaultsKeys::IncludeFloatingWindows)});
    sample.applications = services.workspace.runningApplications();
    return sample;
}

// ---- Attributing the interval to what is seen ----

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
    if (HXDictionaryRef applications = configuration.dictionaryForKey(Applications))
        return applications;
    auto applications = HXDictionary::create();
    configuration.setValue(Applications, applications);
    return applications;
}

class Attribution {
public:
    Attribution(HXDictionary& configuration, const HXTickTime& time, const HXTickBlacklists& blacklists,
                HXPoolMatcher& pools, const HXUserDefaults& defaults)
        : m_configuration(configuration), m_time(time), m_blacklists(blacklists), m_pools(pools),
          m_eatsFrontmostWindow(defaults.boolForKey(HXDefaultsKeys::QualifiedBlacklistEatsFrontmostWindow)),
          m_policyFilter(defaults.integerForKey(HXDefaultsKeys::ApplicationActivationPolicyFilter)) {}

    HXTickSightings run(const WindowSystemSample& sample) {
        const HXDictionaryRef applications = applicationsOf(m_configuration);
        for (const HXRunningApplication& running : sample.applications)
            countApplication(*applications, running, sample);
        const std::vector<const HXDictionary*>& marked = m_pools.markedRecords();
        m_seen.poolRecords.assign(marked.begin(), marked.end());
        m_pools.forgetMarkedRecords();
        std::sort(m_seen.applications.begin(), m_seen.applications.end());
        std::sort(m_seen.windows.begin(), m_seen.windows.end());
        std::sort(m_seen.poolRecords.begin(), m_seen.poolRecords.end());
        return std::move(m_seen);
    }

private:
    void countApplication(HXDictionary& applications, const HXRunningApplication& running,
                          const WindowSystemSample& sample) {
        if (!passesActivationPolicyFilter(running.activationPolicy, m_policyFilter))
            return;
        const std::optional<QString> name =
            m_blacklists.applications.validItemName(localizedNameOrBundleName(running));
        if (!name || !running.bundlePath)
            return;
        const QString& path = *running.bundlePath;
        const QString key = running.bundleIdentifier.isEmpty() ? path : running.bundleIdentifier;
        // Several processes may share one application's path (two instances of one program): only the
        // one owning the active window is in front.
        const std::optional<HXRunningApplication>& front = sample.front;
        const bool frontmost =
            front && *front->bundlePath == path &&
            (front->processIdentifier < 0 || front->processIdentifier == running.processIdentifier);

        HXDictionaryRef record = applications.dictionaryForKey(key);
        if (!record) {
            record = HXDictionary::create();
            record->setValue(Name, *name);
            record->setValue(ApplicationID, key);
            applications.setValue(key, record);
            m_seen.newApplications = true;
        }
        // A second process of the same application adds nothing more to this tick.
        HXAttributeInterval(*record, m_time, frontmost);
        record->setValue(Path, path);
        m_seen.applications.push_back(record.get());
        m_pools.feed(*record, m_time, frontmost);

        if (running.processIdentifier < 0)
            return;
        const auto found = sample.windows.find(running.processIdentifier);
        if (found != sample.windows.end())
            countWindows(*record, key, *name, frontmost, found->second);
    }

    // The frontmost application's foreground time goes to its front-most counted window.
    void countWindows(HXDictionary& application, const QString& key, const QString& name, bool frontmost,
                      const std::vector<QString>& windows) {
        const HXArrayRef filters = windowTitleFiltersWithIdentifier(m_configuration, key, nullptr, false);
        const HXCompiledQualifiedBlacklist::ForApplication qualified =
            m_blacklists.qualifiedWindows.forApplication(name);
        HXDictionaryRef windowsByName = application.dictionaryForKey(WindowsByName);
        bool front = frontmost;
        for (const QString& windowTitle : windows) {
            const std::optional<QString> title = qualified.validItemName(windowTitle);
            const QString filtered = title ? HXFilterString(*title, filters.get()) : QString();
            if (!filtered.isEmpty()) {
                HXDictionaryRef r = windowsByName ? windowsByName->dictionaryForKey(filtered) : nullptr;
                if (r && r->boolForKey(ActiveTransient)) {
                    // A second window with the same filtered title: counted once, and it does not take
                    // the foreground from the first.
                    front = false;
                } else {
                    if (!r) {
                        if (!windowsByName) {
                            windowsByName = HXDictionary::create();
                            application.setValue(WindowsByName, windowsByName);
                        }
                        r = HXDictionary::create();
                        r->setValue(Name, windowTitle);
                        r->setValue(Path, QStringLiteral("_Window"));
                        windowsByName->setValue(filtered, r);
                        m_seen.applicationsWithNewWindows.push_back(&application);
                    }
                    // A window is seen once per tick, so a foreground mark on it can only have come with a
                    // stored file.
                    r->remove(FrontActiveTransient);
                    HXAttributeInterval(*r, m_time, front);
                    if (filtered != *title)
                        r->setValue(Name, filtered);
                    r->setValue(ApplicationID, key);
                    m_seen.windows.emplace_back(&application, r.get());
                    m_pools.feed(*r, m_time, front);
                    front = false;
                }
            }
            if (m_eatsFrontmostWindow)
                front = false;
        }
    }

    HXDictionary& m_configuration;
    const HXTickTime& m_time;
    const HXTickBlacklists& m_blacklists;
    HXPoolMatcher& m_pools;
    const bool m_eatsFrontmostWindow;
    const std::int64_t m_policyFilter;
    HXTickSightings m_seen;
};

// ---- Consolidation: marks become states and event log entries ----

struct Consolidation {
    struct Application {
        HXDictionary* record;
        HXValue value;
        // False when none of its windows can have changed since the last tick.
        bool windowsLookedAt;
        // Its windows active now, in dictionary order: activeWindows[firstWindow, firstWindow + windowCount).
        std::size_t firstWindow;
        std::size_t windowCount;
    };
    bool fullPass = true;
    // The applications consolidated, in dictionary order.
    std::vector<Application> applications;
    // The same as values, to list them.
    std::vector<HXDictionary*> activeWindows;
    std::vector<HXValue> activeWindowValues;
    // The pools whose records were consolidated, sorted by address.
    std::vector<const HXDictionary*> pools;

    std::span<HXDictionary* const> activeWindowsOf(const Application& application) const {
        return std::span<HXDictionary* const>(activeWindows)
            .subspan(application.firstWindow, application.windowCount);
    }
    std::span<const HXValue> activeWindowValuesOf(const Application& application) const {
        return std::span<const HXValue>(activeWindowValues)
            .subspan(application.firstWindow, application.windowCount);
    }
};

class Consolidator {
public:
    Consolidator(const HXTickSightings& seen, const HXTickTime& time, HXTickShortcut& shortcut)
        : m_seen(seen), m_time(time), m_shortcut(shortcut) {
        m_result.fullPass = shortcut.fullPass();
    }

    Consolidation run(const HXDictionary& configuration) {
        if (const HXDictionaryRef applications = configuration.dictionaryForKey(Applications)) {
            for (const HXDictionary::Entry& entry : applications->entries()) {
                if (entry.value.toDictionary())
                    consolidateApplication(entry.value);
            }
        }
        if (const HXArrayRef pools = configuration.arrayForKey(Pools)) {
            for (const HXValue& pool : pools->values()) {
                if (HXDictionary* record = pool.toDictionary().get())
                    consolidatePool(*record);
            }
        }
        m_shortcut.endTick();
        std::sort(m_result.pools.begin(), m_result.pools.end());
        return std::move(m_result);
    }

private:
    // An application neither active at the last tick nor counted in this one has not changed, nor have
    // its windows (only counted applications get their windows counted).
    void consolidateApplication(const HXValue& value) {
        HXDictionary& application = *value.toDictionary();
        if (!m_result.fullPass &&
            !std::binary_search(m_seen.applications.begin(), m_seen.applications.end(), &application) &&
            !m_shortcut.applicationWasActive(&application))
            return;
        const bool active = HXConsolidateEventLogs(application, m_time);
        if (active)
            m_shortcut.noteActiveApplication(&application);

        // Since the last full pass only windows active at the last tick or counted in this one can have
        // changed; the others are closed and inactive, and need no look.
        const std::vector<const HXDictionary*>* lastActive = m_shortcut.activeWindows(&application);
        std::vector<const HXDictionary*>& candidates = m_candidates;
        candidates.clear();
        if (lastActive) {
            candidates.assign(lastActive->begin(), lastActive->end());
            const auto counted =
                std::equal_range(m_seen.windows.begin(), m_seen.windows.end(),
                                 std::make_pair(static_cast<const HXDictionary*>(&application),
                                                static_cast<const HXDictionary*>(nullptr)),
                                 [](const auto& x, const auto& y) { return x.first < y.first; });
            for (auto it = counted.first; it != counted.second; ++it)
                candidates.push_back(it->second);
        }
        const std::size_t first = m_result.activeWindows.size();
        const bool windowsLookedAt = !lastActive || active || !candidates.empty();
        if (windowsLookedAt) {
            if (const HXDictionaryRef windows = application.dictionaryForKey(WindowsByName)) {
                for (const HXDictionary::Entry& entry : windows->entries()) {
                    HXDictionary* window = entry.value.toDictionary().get();
                    if (!window || (lastActive && std::find(candidates.begin(), candidates.end(), window) ==
                                                      candidates.end()))
                        continue;
                    if (HXConsolidateEventLogs(*window, m_time)) {
                        m_result.activeWindows.push_back(window);
                        m_result.activeWindowValues.push_back(entry.value);
                    }
                }
            }
            m_shortcut.noteActiveWindows(
                &application, std::span<HXDictionary* const>(m_result.activeWindows).subspan(first));
        }
        m_result.applications.push_back(
            {&application, value, windowsLookedAt, first, m_result.activeWindows.size() - first});
    }

    // A pool item is marked only together with its pool, so a pool that was neither active at the last tick
    // nor marked in this one has nothing below it to look at either.
    void consolidatePool(HXDictionary& pool) {
        if (!consolidateIfChanged(pool))
            return;
        m_result.pools.push_back(&pool);
        const HXArray* children = pool.arrayPointerForKey(Children);
        if (!children)
            return;
        for (const HXValue& childValue : children->values()) {
            HXDictionary* child = childValue.toDictionary().get();
            if (!child)
                continue;
            consolidateIfChanged(*child);
            if (const HXArray* grandchildren = child->arrayPointerForKey(Children)) {
                for (const HXValue& grandchild : grandchildren->values()) {
                    if (HXDictionary* record = grandchild.toDictionary().get())
                        consolidateIfChanged(*record);
                }
            }
        }
    }

    // False when the record cannot have changed since the last tick.
    bool consolidateIfChanged(HXDictionary& record) {
        if (!m_result.fullPass && !m_shortcut.poolRecordWasActive(&record) &&
            !std::binary_search(m_seen.poolRecords.begin(), m_seen.poolRecords.end(), &record))
            return false;
        if (HXConsolidateEventLogs(record, m_time))
            m_shortcut.noteActivePoolRecord(&record);
        return true;
    }

    const HXTickSightings& m_seen;
    const HXTickTime& m_time;
    HXTickShortcut& m_shortcut;
    Consolidation m_result;
    std::vector<const HXDictionary*> m_candidates;
};

// ---- The organizer lists ----

struct ListSettings {
    bool showInactiveApplications;
    bool showInactivePools;
    bool treatPausedAsActive;
    int sortColumn;
};

void sortItems(HXArray& items, int column) {
    HXSortItemsInArray(items, column);
}

// An application's windows as its organizer row shows them, set as its listWindows().
void buildWindowList(HXDictionary& application, const Consolidation& consolidated,
                     const Consolidation::Application& consolidatedApplication, bool gotNewWindows,
                     const ListSettings& settings) {
    const HXDictionaryRef windows = application.dictionaryForKey(WindowsByName);
    const HXArrayRef& previousList = application.listWindows();
    // With every window listed, last tick's order needs only the windows seen now moved.
    const bool mayResort = !consolidated.fullPass && settings.showInactiveApplications && previousList &&
                           !gotNewWindows && windows && previousList->count() == windows->count();
    if (mayResort &&
        HXResortChangedItems(*previousList, consolidated.activeWindowsOf(consolidatedApplication),
                             settings.sortColumn))
        return;
    auto list = HXArray::create();
    if (!settings.showInactiveApplications) {
        for (const HXValue& window : consolidated.activeWindowValuesOf(consolidatedApplication))
            list->append(window);
    } else if (windows) {
        for (const HXDictionary::Entry& entry : windows->entries()) {
            const HXDictionaryRef& window = entry.value.toDictionary();
            if (window)
                list->append(window);
        }
    }
    sortItems(*list, settings.sortColumn);
    application.setListWindows(std::move(list));
}

// The listed applications in display order; the windows of every application consolidated in this tick
// are listed again on the way.
HXArrayRef buildApplicationList(const HXDictionary& configuration, const HXArrayRef& previousList,
                                const HXTickSightings& seen, const Consolidation& consolidated,
                                const ListSettings& settings) {
    for (const Consolidation::Application& application : consolidated.applications) {
        HXDictionary& record = *application.record;
        if (!settings.showInactiveApplications && !record.boolForKey(Active)) {
            record.setListWindows(nullptr);
            continue;
        }
        if (!application.windowsLookedAt)
            continue; // its windows and their list are as the last tick left them
        const bool gotNewWindows =
            std::find(seen.applicationsWithNewWindows.begin(), seen.applicationsWithNewWindows.end(),
                      &record) != seen.applicationsWithNewWindows.end();
        buildWindowList(record, consolidated, application, gotNewWindows, settings);
    }

    const HXDictionaryRef applications = configuration.dictionaryForKey(Applications);
    // With every application listed, last tick's order needs only the applications counted now moved.
    if (!consolidated.fullPass && settings.showInactiveApplications && !seen.newApplications &&
        previousList->count() == applications->count()) {
        std::vector<HXDictionary*> moved(seen.applications.begin(), seen.applications.end());
        moved.erase(std::unique(moved.begin(), moved.end()), moved.end());
        if (HXResortChangedItems(*previousList, moved, settings.sortColumn))
            return previousList;
    }
    // Every active application was counted, and so consolidated.
    auto list = HXArray::create();
    if (settings.showInactiveApplications) {
        for (const HXDictionary::Entry& entry : applications->entries()) {
            if (entry.value.toDictionary())
                list->append(entry.value);
        }
    } else {
        for (const Consolidation::Application& application : consolidated.applications) {
            if (application.record->boolForKey(Active))
                list->append(application.value);
        }
    }
    sortItems(*list, settings.sortColumn);
    return list;
}

// A pool's items, or a pool item's window items, in display order, set as its listChildren(): a sorted copy
// of its "Children", which keep the user's order. Between full passes the items stay the same, and last
// tick's list is brought back into order instead.
void listChildren(HXDictionary& record, bool fresh, int sortColumn) {
    HXArrayRef list = fresh ? nullptr : record.listChildren();
    if (!list) {
        const HXArrayRef children = record.arrayForKey(Children);
        list = children ? children->shallowCopy() : nullptr;
    }
    if (list)
        sortItems(*list, sortColumn);
    record.setListChildren(std::move(list));
}

// The listed pools in display order. A listed pool consolidated in this tick (or not listed before) gets
// its items and their window items listed again; a pool not listed keeps no list.
HXArrayRef buildPoolList(const HXDictionary& configuration, const Consolidation& consolidated,
                         const ListSettings& settings) {
    auto list = HXArray::create();
    const HXArrayRef pools = configuration.arrayForKey(Pools);
    if (!pools)
        return list;
    for (const HXValue& poolValue : pools->values()) {
        const HXDictionaryRef& pool = poolValue.toDictionary();
        if (!pool)
            continue;
        if (!(pool->boolForKey(Active) || settings.showInactivePools ||
              (settings.treatPausedAsActive && pool->boolForKey(Paused)))) {
            pool->setListChildren(nullptr);
            continue;
        }
        list->append(pool);
        const bool fresh = consolidated.fullPass || !pool->listChildren();
        if (!fresh && !std::binary_search(consolidated.pools.begin(), consolidated.pools.end(), pool.get()))
            continue;
        listChildren(*pool, fresh, settings.sortColumn);
        if (!pool->listChildren()) {
            pool->setListChildren(HXArray::create());
            continue;
        }
        for (const HXValue& item : pool->listChildren()->values()) {
            if (const HXDictionaryRef& record = item.toDictionary())
                listChildren(*record, fresh, settings.sortColumn);
        }
    }
    sortItems(*list, settings.sortColumn);
    return list;
}

} // namespace

void HXMainController::runTick() {
    if (!m_store.configuration()) {
        m_store.setConfiguration(HXDictionary::create());
        m_lastUpdateDate.reset();
    }
    HXDictionary& configuration = *m_store.configuration();
    const HXTickTime time = startTick(configuration);

    const HXTickBlacklists& blacklists = m_blacklists.update(configuration);
    const WindowSystemSample sample = sampleWindowSystem(m_services, blacklists.plainWindows);

    const bool fullPass =
        m_shortcut.beginTick(&configuration, m_showInactiveApplications, m_showInactivePools);
    const HXTickSightings seen = Attribution(configuration, time, blacklists,
                                             poolMatcher(configuration, fullPass), m_services.defaults)
                                     .run(sample);

    const Consolidation consolidated = Consolidator(seen, time, m_shortcut).run(configuration);
    m_lastTickLookedAtEverything = consolidated.fullPass;
    m_lastTickLookedAt.clear();
    if (!consolidated.fullPass) {
        for (const Consolidation::Application& application : consolidated.applications)
            m_lastTickLookedAt.push_back(application.record);
        m_lastTickLookedAt.insert(m_lastTickLookedAt.end(), consolidated.pools.begin(),
                                  consolidated.pools.end());
        std::sort(m_lastTickLookedAt.begin(), m_lastTickLookedAt.end());
    }

    const ListSettings settings{m_showInactiveApplications, m_showInactivePools,
                                m_services.defaults.boolForKey(HXDefaultsKeys::PoolsTreatPausedAsActive),
                                m_sortColumn};
    m_listApplications =
        buildApplicationList(configuration, m_listApplications, seen, consolidated, settings);
    Q_EMIT applicationListReloaded();
    m_listPools = buildPoolList(configuration, consolidated, settings);
    Q_EMIT poolListReloaded();

    m_screenshots.takeScreenshotIfDue(time.now);
}

bool HXMainController::lastTickLookedAt(const HXDictionary* applicationOrPool) const {
    return m_lastTickLookedAtEverything ||
           std::binary_search(m_lastTickLookedAt.begin(), m_lastTickLookedAt.end(), applicationOrPool);
}

HXTickTime HXMainController::startTick(HXDictionary& configuration) {
    HXTickTime time;
    time.now = m_services.clock.now();
    // A clock set back would subtract time from everything seen: such a tick counts as a gap.
    time.gap = m_ignoreLastUpdateDate || !m_lastUpdateDate || time.now < *m_lastUpdateDate;
    time.interval = time.gap ? 0.0 : time.now - *m_lastUpdateDate;
    time.previous = configuration.timeIntervalForKey(LastTimestamp);
    if (!configuration.contains(FirstTimestamp))
        configuration.setTimeInterval(time.now, FirstTimestamp);
    if (!configuration.contains(FirstPoolTimestamp))
        configuration.setTimeInterval(time.now, FirstPoolTimestamp);
    configuration.setTimeInterval(time.now, LastTimestamp);
    m_lastUpdateDate = time.now;
    m_ignoreLastUpdateDate = false;
    configuration.addTimeInterval(time.interval, OverallTime);
    configuration.addTimeInterval(time.interval, OverallPoolTime);
    m_overallApplicationTime = configuration.timeIntervalForKey(OverallTime);
    m_overallPoolTime = configuration.timeIntervalForKey(OverallPoolTime);
    return time;
}

// Pools change only through commands, which run a tick of their own and so a full pass.
HXPoolMatcher& HXMainController::poolMatcher(const HXDictionary& configuration, bool fullPass) {
    const bool matchApplicationsViaID =
        m_services.defaults.boolForKey(HXDefaultsKeys::PoolsMatchApplicationsViaID);
    if (fullPass || !m_poolMatcher || matchApplicationsViaID != m_poolMatcherMatchesViaID) {
        m_poolMatcher.emplace(configuration.arrayPointerForKey(Pools), matchApplicationsViaID);
        m_poolMatcherMatchesViaID = matchApplicationsViaID;
    }
    return *m_poolMatcher;
}
