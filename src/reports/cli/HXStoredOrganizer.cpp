#include "reports/cli/HXStoredOrganizer.h"

#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXKeys.h"
#include "foundation/HXSorting.h"
#include "foundation/HXUserDefaults.h"

#include <algorithm>

using namespace HXKeys;

namespace {

HXArrayRef sortedArray(std::vector<HXDictionaryRef> records, int sortColumn) {
    std::stable_sort(records.begin(), records.end(),
                     [sortColumn](const HXDictionaryRef& a, const HXDictionaryRef& b) {
                         return HXSortItems(*a, *b, sortColumn) < 0;
                     });
    HXArrayRef array = HXArray::create();
    array->reserve(static_cast<qsizetype>(records.size()));
    for (HXDictionaryRef& record : records)
        array->append(HXValue(std::move(record)));
    return array;
}

} // namespace

HXStoredOrganizerLists organizerListsFromStoredConfiguration(const HXDictionary& configuration,
                                                             const HXUserDefaults& defaults, int sortColumn) {
    const bool showInactiveApplications = defaults.boolForKey(HXDefaultsKeys::ShowInactiveApplications);
    const bool showInactivePools = defaults.boolForKey(HXDefaultsKeys::ShowInactivePools);
    const bool pausedIsActive = defaults.boolForKey(HXDefaultsKeys::PoolsTreatPausedAsActive);

    std::vector<HXDictionaryRef> applications;
    if (const HXDictionaryRef byKey = configuration.dictionaryForKey(Applications)) {
        for (const HXDictionary::Entry& e : byKey->entries()) {
            const HXDictionaryRef& app = e.value.toDictionary();
            if (!app)
                continue;
            if (!showInactiveApplications && !app->boolForKey(Active)) {
                app->setListWindows(nullptr);
                continue;
            }
            std::vector<HXDictionaryRef> windows;
            if (const HXDictionaryRef byName = app->dictionaryForKey(WindowsByName)) {
                for (const HXDictionary::Entry& w : byName->entries()) {
                    const HXDictionaryRef& window = w.value.toDictionary();
                    if (window && (showInactiveApplications || window->boolForKey(Active)))
                        windows.push_back(window);
                }
            }
            app->setListWindows(sortedArray(std::move(windows), sortColumn));
            applications.push_back(app);
        }
    }

    std::vector<HXDictionaryRef> pools;
    if (const HXArrayRef stored = configuration.arrayForKey(Pools)) {
        for (const HXValue& v : stored->values()) {
            const HXDictionaryRef& pool = v.toDictionary();
            if (pool && (pool->boolForKey(Active) || showInactivePools ||
                         (pausedIsActive && pool->boolForKey(Paused))))
                pools.push_back(pool);
        }
    }
    return {sortedArray(std::move(applications), sortColumn), sortedArray(std::move(pools), sortColumn)};
}
