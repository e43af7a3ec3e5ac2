#include "reports/HXLiveReport.h"

#include "reports/HXEventLogClipper.h"
#include "reports/HXLiveReportSource.h"

#include "foundation/HXSorting.h"
#include "foundation/HXUserDefaults.h"

#include <algorithm>

using namespace HXKeys;

double firstTimestamp(const HXDictionary* configuration) {
    if (!configuration)
        return 0;
    return std::min(configuration->timeIntervalForKey(u"First Timestamp"),
                    configuration->timeIntervalForKey(u"First Pool Timestamp"));
}

namespace {

class Assembly {
public:
    Assembly(const HXLiveReportSource& source, double a, double b)
        : m_a(a), m_b(b), m_sortColumn(source.sortColumn()), m_list(HXArray::create()) {
        const std::int64_t content = source.userDefaults().integerForKey(u"Live Report Content (1252)");
        m_keepAll = (content & 1) != 0;
        m_allItems = content >= 2;
    }

    HXArrayRef list() const { return m_list; }

    void addApplications(const HXLiveReportSource& source) {
        for (const HXDictionaryRef& app : sorted(clipAll(applicationSources(source)))) {
            m_list->append(app);
            const HXDictionaryRef& record = sourceOf(*app);
            if (!m_allItems && !record->boolForKey(Expanded))
                continue;
            std::vector<HXDictionaryRef> windows;
            if (m_allItems) {
                if (const HXDictionaryRef byName = record->dictionaryForKey(WindowsByName)) {
                    for (const HXDictionary::Entry& e : byName->entries())
                        windows.push_back(e.value.toDictionary());
                }
            } else {
                windows = records(record->listWindows());
            }
            for (const HXDictionaryRef& window : sorted(clipAll(windows)))
                m_list->append(window);
        }
    }

    void addPools(const HXLiveReportSource& source) {
        std::vector<HXDictionaryRef> pools;
        if (m_allItems) {
            const HXDictionaryRef configuration = source.configuration();
            pools = records(configuration ? configuration->arrayForKey(u"Pools") : nullptr);
        } else {
            pools = records(source.listPools());
        }
        for (const HXDictionaryRef& pool : sorted(clipAll(pools))) {
            m_list->append(pool);
            addChildren(*sourceOf(*pool), 2);
        }
    }

private:
    std::vector<HXDictionaryRef> applicationSources(const HXLiveReportSource& source) const {
        if (!m_allItems)
            return records(source.listApplications());
        std::vector<HXDictionaryRef> apps;
        const HXDictionaryRef configuration = source.configuration();
        if (const HXDictionaryRef byKey =
                configuration ? configuration->dictionaryForKey(u"Applications") : nullptr) {
            for (const HXDictionary::Entry& e : byKey->entries())
                apps.push_back(e.value.toDictionary());
        }
        return apps;
    }

    // Pool items and their windows, in stored order and unsorted.
    void addChildren(const HXDictionary& parent, int depth) {
        if (depth == 0 || (!m_allItems && !parent.boolForKey(Expanded)))
            return;
        for (const HXDictionaryRef& child : records(parent.arrayForKey(Children))) {
            if (!m_clipper.clip(child, m_a, m_b) && !m_keepAll)
                continue;
            m_list->append(m_clipper.record());
            addChildren(*child, depth - 1);
        }
    }

    std::vector<HXDictionaryRef> clipAll(const std::vector<HXDictionaryRef>& sources) {
        std::vector<HXDictionaryRef> kept;
        kept.reserve(sources.size());
        for (const HXDictionaryRef& record : sources) {
            if (record && (m_clipper.clip(record, m_a, m_b) || m_keepAll))
                kept.push_back(m_clipper.record());
        }
        return kept;
    }

    std::vector<HXDictionaryRef> sorted(std::vector<HXDictionaryRef> clipped) const {
        if (m_allItems) {
            std::stable_sort(clipped.begin(), clipped.end(),
                             [this](const HXDictionaryRef& x, const HXDictionaryRef& y) {
                                 return HXSortItems(*x, *y, m_sortColumn) < 0;
                             });
        }
        return clipped;
    }

    static std::vector<HXDictionaryRef> records(const HXArrayRef& array) {
        std::vector<HXDictionaryRef> out;
        if (!array)
            return out;
        out.reserve(array->values().size());
        for (const HXValue& v : array->values()) {
            if (const HXDictionaryRef& d = v.toDictionary())
                out.push_back(d);
        }
        return out;
    }

    static const HXDictionaryRef& sourceOf(const HXDictionary& clipped) {
        return clipped.find(Source)->toDictionary();
    }

    double m_a;
    double m_b;
    int m_sortColumn;
    bool m_keepAll = false;
    bool m_allItems = false;
    HXArrayRef m_list;
    HXEventLogClipper m_clipper;
};

} // namespace

HXArrayRef eventLogsClippedBetweenTimestamp(const HXLiveReportSource& source, double a, double b) {
    Assembly assembly(source, a, b);
    const HXUserDefaults& defaults = source.userDefaults();
    if (defaults.boolForKey(u"Live Report: Applications"))
        assembly.addApplications(source);
    if (defaults.boolForKey(u"Live Report: Pools"))
        assembly.addPools(source);
    return assembly.list();
}
