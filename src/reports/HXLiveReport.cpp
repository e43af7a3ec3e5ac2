#include "reports/HXLiveReport.h"

#include "reports/HXClippedLogStorage.h"
#include "reports/HXEventLogClipper.h"
#include "reports/HXEventStream.h"
#include "reports/HXLiveReportSource.h"

#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXKeys.h"
#include "foundation/HXSorting.h"
#include "foundation/HXUserDefaults.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <iterator>

using namespace HXKeys;

double firstTimestamp(const HXDictionary* configuration) {
    if (!configuration)
        return 0;
    return std::min(configuration->timeIntervalForKey(FirstTimestamp),
                    configuration->timeIntervalForKey(FirstPoolTimestamp));
}

namespace {

// What a record's logs looked like when it was last clipped.
struct LogState {
    const HXArray* log = nullptr;
    std::uint64_t rewrites = 0;
    qsizetype count = 0;
    double last = 0;
    bool sorted = false;

    static LogState of(const HXDictionary& record, HXKey key) {
        LogState state;
        const HXValue* v = record.find(key);
        if (v && v->isArray()) {
            state.log = v->toArray().get();
            state.rewrites = state.log->rewriteCount();
            state.count = state.log->count();
            state.last = state.count > 0 ? state.log->numberAt(state.count - 1) : 0;
            state.sorted = state.log->isSortedByMagnitude();
        }
        return state;
    }
    bool operator==(const LogState& o) const {
        return log == o.log && rewrites == o.rewrites && count == o.count && last == o.last;
    }
    // Nothing of the log lies after the moment: a clip ending there or later is the same.
    bool endsBefore(double moment) const {
        return count == 0 || (sorted && last < 0 && -last <= moment - kHXEventStreamTolerance);
    }
};

// The last clip of a record, kept with the record: at every sampling tick the live report asks for
// nearly the same interval again, and the records whose logs did not change are not clipped anew. The
// clipped record is held by the report list that has it, not here.
struct ClipMemo {
    double a = 0;
    double b = 0;
    LogState active;
    LogState front;
    bool hasEvents = false;
    std::weak_ptr<HXDictionary> record;
    // The clipped record's times, as the sort reads them.
    double time = 0;
    double frontTime = 0;
    bool hasTime = false;
    bool hasFrontTime = false;
    // The record's place in the last sort of its list (see SortMemo); a stamp of 0 is no place.
    std::uint64_t sortStamp = 0;
    std::size_t rank = 0;

    bool answers(double a2, double b2, const LogState& active2, const LogState& front2) const {
        if (a2 != a || b2 < b || !(active2 == active) || !(front2 == front))
            return false;
        return b2 == b || (active.endsBefore(b) && front.endsBefore(b));
    }
};

const int kClipMemoTag = 0;

// The last sort of one list of records (an application's windows, all applications, all pools), kept
// with the dictionary that holds them: a list asked for again is mostly in the same order, so the
// records that come back unchanged keep their order and only the others are sorted into it.
struct SortMemo {
    std::uint64_t stamp = 0;
    std::size_t count = 0;
};

const int kSortMemoTag = 0;

// A clipped record with its source's memo.
struct Clipped {
    HXDictionaryRef record;
    ClipMemo* memo = nullptr;
};

double numberFor(const HXDictionary& d, HXKey key, bool& has) {
    const HXValue* v = d.find(key);
    has = v && v->isNumber();
    return has ? v->toDouble() : 0.0;
}

class Assembly {
public:
    Assembly(const HXLiveReportSource& source, double a, double b, HXClippedLogStorage& storage)
        : m_a(a), m_b(b), m_sortColumn(source.sortColumn()), m_list(HXArray::create()), m_clipper(&storage) {
        const std::int64_t content = source.userDefaults().integerForKey(u"Live Report Content (1252)");
        m_keepAll = (content & 1) != 0;
        m_allItems = content >= 2;
    }

    HXArrayRef list() const { return m_list; }

    void addApplications(const HXLiveReportSource& source) {
        HXDictionary* group = nullptr;
        const Sources applications = applicationSources(source, group);
        for (const HXDictionaryRef& app : sorted(clipAll(applications), group)) {
            m_list->append(app);
            const HXDictionaryRef& record = sourceOf(*app);
            if (!m_allItems && !record->boolForKey(Expanded))
                continue;
            Sources windows;
            HXDictionary* windowGroup = nullptr;
            if (m_allItems) {
                if (const HXValue* byName = record->find(WindowsByName); byName && byName->isDictionary()) {
                    windowGroup = byName->toDictionary().get();
                    windows = records(*windowGroup);
                }
            } else {
                windows = records(record->listWindows());
            }
            for (const HXDictionaryRef& window : sorted(clipAll(windows), windowGroup))
                m_list->append(window);
        }
    }

    void addPools(const HXLiveReportSource& source) {
        m_configuration = source.configuration();
        m_pools = m_allItems ? (m_configuration ? m_configuration->arrayForKey(Pools) : nullptr)
                             : source.listPools();
        for (const HXDictionaryRef& pool : sorted(clipAll(records(m_pools)), m_configuration.get())) {
            m_list->append(pool);
            addChildren(*sourceOf(*pool), 2, true);
        }
    }

private:
    // The records to clip, as pointers into their containers: no reference count is touched for the many
    // records a short interval drops. The containers are held, and do not change, while a report is
    // assembled.
    using Sources = std::vector<const HXDictionaryRef*>;

    Sources applicationSources(const HXLiveReportSource& source, HXDictionary*& group) {
        if (!m_allItems) {
            m_applications = source.listApplications();
            return records(m_applications);
        }
        m_configuration = source.configuration();
        const HXValue* byKey = m_configuration ? m_configuration->find(Applications) : nullptr;
        if (!byKey || !byKey->isDictionary())
            return Sources();
        group = byKey->toDictionary().get();
        return records(*group);
    }

    // Pool items and their windows, unsorted: in the organizer's order where the pool has one (its
    // listChildren, and theirs), else in stored order.
    void addChildren(const HXDictionary& parent, int depth, bool organizerOrder) {
        if (depth == 0 || (!m_allItems && !parent.boolForKey(Expanded)))
            return;
        const HXArrayRef& listed = parent.listChildren();
        const HXValue* stored = parent.find(Children);
        organizerOrder = organizerOrder && listed;
        if (!organizerOrder && (!stored || !stored->isArray()))
            return;
        for (const HXDictionaryRef* child : records(organizerOrder ? listed : stored->toArray())) {
            Clipped clipped = clip(*child);
            if (!clipped.record)
                continue;
            m_list->append(std::move(clipped.record));
            addChildren(**child, depth - 1, organizerOrder);
        }
    }

    std::vector<Clipped> clipAll(const Sources& sources) {
        std::vector<Clipped> kept;
        const std::size_t n = sources.size();
        for (std::size_t i = 0; i < n; ++i) {
            // Records and their logs lie all over memory: the records a few steps ahead are fetched
            // while this one is clipped, each step one link further down the chain to the log's tail.
            if (i + 6 < n)
                __builtin_prefetch(sources[i + 6]->get());
            if (i + 4 < n)
                __builtin_prefetch((*sources[i + 4])->entries().data());
            if (i + 2 < n)
                prefetchLogs(**sources[i + 2], false);
            if (i + 1 < n)
                prefetchLogs(**sources[i + 1], true);
            if (Clipped clipped = clip(*sources[i]); clipped.record)
                kept.push_back(std::move(clipped));
        }
        return kept;
    }

    // The clipped record when the keep rule keeps it, else null; from the record's memo when its logs
    // are as they were.
    Clipped clip(const HXDictionaryRef& source) {
        const LogState active = LogState::of(*source, ActiveLog);
        const LogState front = LogState::of(*source, FrontActiveLog);
        auto memo = std::static_pointer_cast<ClipMemo>(source->associatedObject(&kClipMemoTag));
        if (memo && memo->answers(m_a, m_b, active, front)) {
            if (!memo->hasEvents && !m_keepAll)
                return {};
            if (HXDictionaryRef kept = memo->record.lock())
                return {std::move(kept), memo.get()};
        }
        const bool events = m_clipper.clip(source, m_a, m_b);
        HXDictionaryRef clipped = events || m_keepAll ? m_clipper.record() : nullptr;
        if (!memo) {
            memo = std::make_shared<ClipMemo>();
            source->setAssociatedObject(&kClipMemoTag, memo);
        }
        memo->a = m_a;
        memo->b = m_b;
        memo->active = active;
        memo->front = front;
        memo->hasEvents = events;
        memo->record = clipped;
        memo->sortStamp = 0;
        if (clipped) {
            memo->time = numberFor(*clipped, Time, memo->hasTime);
            memo->frontTime = numberFor(*clipped, FrontTime, memo->hasFrontTime);
        }
        return {std::move(clipped), memo.get()};
    }

    static void prefetchLogs(const HXDictionary& record, bool tails) {
        for (const HXKey key : {ActiveLog, FrontActiveLog}) {
            const HXValue* v = record.find(key);
            if (!v || !v->isArray())
                continue;
            const HXArray* log = v->toArray().get();
            if (!tails) {
                __builtin_prefetch(log);
            } else if (log->isPacked() && !log->doubles().empty()) {
                __builtin_prefetch(&log->doubles().back());
            }
        }
    }

    // HXSortItems with the times and names read once per record instead of once per comparison, and
    // names compared by the collation keys their source records keep from report to report.
    std::vector<HXDictionaryRef> sorted(std::vector<Clipped> clipped, HXDictionary* group) const {
        std::vector<HXDictionaryRef> out;
        out.reserve(clipped.size());
        if (!m_allItems || clipped.size() < 2) {
            for (Clipped& c : clipped)
                out.push_back(std::move(c.record));
            return out;
        }
        // Names and their collation keys are looked up only for the records whose times tie.
        struct Keyed {
            const HXDictionary* record;
            std::size_t index;
            double time;
            double front;
            bool hasTime;
            bool hasFront;
            mutable bool named = false;
            mutable QString name;
            mutable const QCollatorSortKey* key = nullptr;

            const QString& itemName() const {
                if (!named) {
                    // A clipped record's name is its source's item name already.
                    const HXValue* v = record->find(Name);
                    name = v && v->isString() ? v->toString() : record->itemName();
                    named = true;
                }
                return name;
            }
        };
        std::vector<Keyed> keyed;
        keyed.reserve(clipped.size());
        for (std::size_t i = 0; i < clipped.size(); ++i) {
            const ClipMemo& memo = *clipped[i].memo;
            Keyed k{};
            k.record = clipped[i].record.get();
            k.index = i;
            k.time = memo.time;
            k.front = memo.frontTime;
            k.hasTime = memo.hasTime;
            k.hasFront = memo.hasFrontTime;
            keyed.push_back(std::move(k));
        }
        const auto descending = [](bool hasA, double a, bool hasB, double b) {
            if (hasA && hasB)
                return a > b ? -1 : (a < b ? 1 : 0);
            return hasA == hasB ? 0 : (hasA ? -1 : 1);
        };
        const int column = m_sortColumn;
        // HXSortItems, and then the list's own order: one order for all, so that records that keep
        // their order and records sorted into it come out as a stable sort of the list would.
        const auto before = [&](const Keyed* a, const Keyed* b) {
            if (column >= 2) {
                if (const int c = descending(a->hasTime, a->time, b->hasTime, b->time))
                    return c < 0;
            }
            if (column >= 1) {
                if (const int c = descending(a->hasFront, a->front, b->hasFront, b->front))
                    return c < 0;
            }
            // HXSortItemsByName: by name, empty names last, then by "Path".
            const QString& nameA = a->itemName();
            const QString& nameB = b->itemName();
            if (nameA.isEmpty() || nameB.isEmpty()) {
                if (const int c = HXSortStrings(nameA, nameB))
                    return c < 0;
            } else {
                if (!a->key)
                    a->key = &HXItemNameCollationKey(*sourceOf(*a->record), nameA);
                if (!b->key)
                    b->key = &HXItemNameCollationKey(*sourceOf(*b->record), nameB);
                if (const int c = a->key->compare(*b->key))
                    return c < 0;
            }
            if (const int c =
                    HXLocalizedStandardCompare(a->record->stringForKey(Path), b->record->stringForKey(Path)))
                return c < 0;
            return a->index < b->index;
        };

        std::shared_ptr<SortMemo> memo;
        if (group) {
            memo = std::static_pointer_cast<SortMemo>(group->associatedObject(&kSortMemoTag));
            if (!memo) {
                memo = std::make_shared<SortMemo>();
                group->setAssociatedObject(&kSortMemoTag, memo);
            }
        }
        // The records that come back as the last sort left them, in its order; the others to sort.
        std::vector<const Keyed*> kept(memo ? memo->count : 0, nullptr);
        std::vector<const Keyed*> others;
        for (const Keyed& k : keyed) {
            const Clipped& c = clipped[k.index];
            const bool ranked = memo && memo->stamp != 0 && c.memo->sortStamp == memo->stamp &&
                                c.memo->rank < kept.size() && !kept[c.memo->rank];
            if (ranked)
                kept[c.memo->rank] = &k;
            else
                others.push_back(&k);
        }
        std::erase(kept, nullptr);
        // Their order still holds unless the list's order or the sort column changed: else all anew.
        if (!std::is_sorted(kept.begin(), kept.end(), before)) {
            for (const Keyed* k : kept)
                others.push_back(k);
            kept.clear();
        }
        std::sort(others.begin(), others.end(), before);
        std::vector<const Keyed*> order;
        order.reserve(keyed.size());
        std::merge(kept.begin(), kept.end(), others.begin(), others.end(), std::back_inserter(order), before);

        if (memo) {
            ++memo->stamp;
            memo->count = order.size();
        }
        for (std::size_t rank = 0; rank < order.size(); ++rank) {
            Clipped& c = clipped[order[rank]->index];
            if (memo) {
                c.memo->sortStamp = memo->stamp;
                c.memo->rank = rank;
            }
            out.push_back(std::move(c.record));
        }
        return out;
    }

    // The dictionaries among the values, in order; anything else is skipped.
    static Sources records(const HXArrayRef& array) {
        Sources out;
        if (!array)
            return out;
        out.reserve(array->values().size());
        for (const HXValue& v : array->values()) {
            if (const HXDictionaryRef& d = v.toDictionary())
                out.push_back(&d);
        }
        return out;
    }

    static Sources records(const HXDictionary& byKey) {
        Sources out;
        out.reserve(byKey.entries().size());
        for (const HXDictionary::Entry& e : byKey.entries()) {
            if (const HXDictionaryRef& d = e.value.toDictionary())
                out.push_back(&d);
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
    HXDictionaryRef m_configuration;
    HXArrayRef m_applications;
    HXArrayRef m_pools;
    HXEventLogClipper m_clipper;
};

} // namespace

HXArrayRef eventLogsClippedBetweenTimestamp(const HXLiveReportSource& source, double a, double b) {
    // One at a time on a thread, as the memos are.
    thread_local HXClippedLogStorage storage;
    Assembly assembly(source, a, b, storage);
    const HXUserDefaults& defaults = source.userDefaults();
    if (defaults.boolForKey(HXDefaultsKeys::LiveReportApplications))
        assembly.addApplications(source);
    if (defaults.boolForKey(HXDefaultsKeys::LiveReportPools))
        assembly.addPools(source);
    storage.trim();
    return assembly.list();
}
