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
#include <QRunnable>
#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <iterator>
#include <span>

using namespace HXKeys;

double firstTimestamp(const HXDictionary* configuration) {
    if (!configuration)
        return 0;
    return std::min(configuration->timeIntervalForKey(FirstTimestamp),
                    configuration->timeIntervalForKey(FirstPoolTimestamp));
}

namespace {

// A record's log as a memo check sees it: which array, how often it was rewritten, how long it is. A log
// that is still the same array, rewritten no more often and no longer, holds the same numbers: anything
// but appending counts as a rewrite. Its numbers are not read, as they lie all over memory.
struct LogState {
    const HXArray* log = nullptr;
    std::uint64_t rewrites = 0;
    qsizetype count = 0;

    static LogState of(const HXDictionary& record, HXKey key) {
        LogState state;
        const HXValue* v = record.find(key);
        if (v && v->isArray()) {
            state.log = v->toArray().get();
            state.rewrites = state.log->rewriteCount();
            state.count = state.log->count();
        }
        return state;
    }
    bool operator==(const LogState& o) const {
        return log == o.log && rewrites == o.rewrites && count == o.count;
    }
};

// A record's log as it was when the record was last clipped.
struct ClippedLog {
    LogState state;
    // The array itself, so that another one made where a freed one was is not taken for it.
    std::weak_ptr<const HXArray> array;
    double last = 0;
    bool sorted = false;

    static ClippedLog of(const HXDictionary& record, HXKey key, const LogState& state) {
        ClippedLog clipped;
        clipped.state = state;
        if (state.log) {
            clipped.array = record.find(key)->toArray();
            clipped.last = state.count > 0 ? state.log->numberAt(state.count - 1) : 0;
            clipped.sorted = state.log->isSortedByMagnitude();
        }
        return clipped;
    }
    bool isStill(const LogState& now) const { return now == state && (!state.log || !array.expired()); }
    // Nothing of the log lies after the moment: a clip ending there or later is the same.
    bool endsBefore(double moment) const {
        return state.count == 0 || (sorted && last < 0 && -last <= moment - kHXEventStreamTolerance);
    }
};

// The last clip of a record, kept with the record: at every sampling tick the live report asks for
// nearly the same interval again, and the records whose logs did not change are not clipped anew. The
// clipped record is held by the report list that has it, not here.
struct ClipMemo {
    double a = 0;
    double b = 0;
    ClippedLog active;
    ClippedLog front;
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
        if (a2 != a || b2 < b || !active.isStill(active2) || !front.isStill(front2))
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

// The records to clip, as pointers into their containers: no reference count is touched for the many
// records a short interval drops. The containers are held, and do not change, while a report is
// assembled.
using Sources = std::vector<const HXDictionaryRef*>;

// Clips records into one storage; one per thread, as its clipper's buffers and its storage are.
class Clipping {
public:
    Clipping(double a, double b, bool keepAll, HXClippedLogStorage& storage)
        : m_a(a), m_b(b), m_keepAll(keepAll), m_clipper(&storage) {}
    // The same clips, into another storage.
    Clipping into(HXClippedLogStorage& storage) const { return Clipping(m_a, m_b, m_keepAll, storage); }

    // Clips each of sources into its place in out, with a null record where the keep rule drops one.
    void clipInto(std::span<const HXDictionaryRef* const> sources, std::span<Clipped> out) {
        const std::size_t end = sources.size();
        for (std::size_t i = 0; i < end; ++i) {
            // Records and their logs lie all over memory: the records a few steps ahead are fetched
            // while this one is clipped, each step one link further down the chain to the log's tail.
            if (i + 6 < end)
                __builtin_prefetch(sources[i + 6]->get());
            if (i + 4 < end)
                __builtin_prefetch((*sources[i + 4])->entries().data());
            if (i + 2 < end)
                prefetchLogs(**sources[i + 2], false);
            if (i + 1 < end)
                prefetchLogs(**sources[i + 1], true);
            out[i] = clip(*sources[i]);
        }
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
        memo->active = ClippedLog::of(*source, ActiveLog, active);
        memo->front = ClippedLog::of(*source, FrontActiveLog, front);
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

private:
    double m_a;
    double m_b;
    bool m_keepAll;
    HXEventLogClipper m_clipper;
};

HXClippedLogStorage& clippedLogStorageOfThisThread() {
    // One list at a time on a thread, as the memos are.
    thread_local HXClippedLogStorage storage;
    return storage;
}

// Work in runs of indexes that the threads doing it take in turn.
class SharedRuns {
public:
    SharedRuns(std::size_t count, std::size_t run) : m_count(count), m_run(run) {}

    template <typename Work> void take(Work& work) {
        while (takeOne(work)) {
        }
    }
    // False when no run was left.
    template <typename Work> bool takeOne(Work& work) {
        const std::size_t begin = m_next.fetch_add(m_run, std::memory_order_relaxed);
        if (begin >= m_count)
            return false;
        work(begin, std::min(begin + m_run, m_count));
        return true;
    }
    // Only while no other thread takes runs.
    std::size_t runsLeft() const {
        const std::size_t next = std::min(m_next.load(std::memory_order_relaxed), m_count);
        return (m_count - next + m_run - 1) / m_run;
    }

private:
    std::size_t m_count;
    std::size_t m_run;
    std::atomic<std::size_t> m_next{0};
};

// A pool thread's share of the work, clipping into the thread's own storage.
class PoolThreadShare final : public QRunnable {
public:
    PoolThreadShare(const Clipping& like, std::function<void(Clipping&)> work)
        : m_like(like), m_work(std::move(work)) {
        setAutoDelete(false);
    }

    void run() override {
        HXClippedLogStorage& storage = clippedLogStorageOfThisThread();
        Clipping clipping = m_like.into(storage);
        m_work(clipping);
        storage.trim();
        m_done.release();
    }
    void waitUntilDone() { m_done.acquire(); }

private:
    const Clipping& m_like;
    std::function<void(Clipping&)> m_work;
    QSemaphore m_done;
};

// Below this many records, or this much work, a second thread costs more than it saves.
constexpr std::size_t kRecordsForASecondThread = 256;
constexpr std::chrono::microseconds kWorthASecondThread{300};

std::vector<Clipped> keptOf(std::span<Clipped> clipped) {
    std::vector<Clipped> kept;
    for (Clipped& c : clipped) {
        if (c.record)
            kept.push_back(std::move(c));
    }
    return kept;
}

class Assembly {
public:
    Assembly(const HXLiveReportSource& source, double a, double b, HXClippedLogStorage& storage)
        : Assembly(source, a, b, storage,
                   source.userDefaults().integerForKey(u"Live Report Content (1252)")) {}

    HXArrayRef takeList() { return HXArray::createWithValues(std::move(m_records)); }

    void addApplications(const HXLiveReportSource& source) {
        HXDictionary* group = nullptr;
        const Sources applications = applicationSources(source, group);
        std::vector<Clipped> clippedApplications = clipEach(applications);
        const std::vector<HXDictionaryRef> apps = sorted(keptOf(clippedApplications), group);
        // All windows of all applications at once, each application's a run of its own.
        Sources windows;
        std::vector<std::size_t> windowsEnd(apps.size());
        std::vector<HXDictionary*> windowGroups(apps.size(), nullptr);
        for (std::size_t i = 0; i < apps.size(); ++i) {
            const HXDictionaryRef& record = sourceOf(*apps[i]);
            if (m_allItems) {
                if (const HXValue* byName = record->find(WindowsByName); byName && byName->isDictionary()) {
                    windowGroups[i] = byName->toDictionary().get();
                    appendRecords(*windowGroups[i], windows);
                }
            } else if (record->boolForKey(Expanded)) {
                appendRecords(record->listWindows(), windows);
            }
            windowsEnd[i] = windows.size();
        }
        // Each application's windows are clipped and sorted by one thread, applications taken in turn.
        std::vector<std::vector<HXDictionaryRef>> sortedWindows(apps.size());
        inTurns(apps.size(), 1, windows.size(), [&](Clipping& clipping, std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                const std::size_t first = i == 0 ? 0 : windowsEnd[i - 1];
                std::vector<Clipped> clipped(windowsEnd[i] - first);
                clipping.clipInto(std::span(windows).subspan(first, clipped.size()), clipped);
                sortedWindows[i] = sorted(keptOf(clipped), windowGroups[i]);
            }
        });
        m_records.reserve(m_records.size() + apps.size() + windows.size());
        for (std::size_t i = 0; i < apps.size(); ++i) {
            m_records.emplace_back(apps[i]);
            for (HXDictionaryRef& window : sortedWindows[i])
                m_records.emplace_back(std::move(window));
        }
    }

    void addPools(const HXLiveReportSource& source) {
        m_configuration = source.configuration();
        m_pools = m_allItems ? (m_configuration ? m_configuration->arrayForKey(Pools) : nullptr)
                             : source.listPools();
        std::vector<Clipped> clippedPools = clipEach(records(m_pools));
        const std::vector<HXDictionaryRef> pools = sorted(keptOf(clippedPools), m_configuration.get());
        // Every pool's tree of items is clipped at once; a dropped item's subtree is left out below.
        Sources items;
        std::vector<std::size_t> subtreeEnd;
        std::vector<std::size_t> treeEnd(pools.size());
        for (std::size_t i = 0; i < pools.size(); ++i) {
            collectChildren(*sourceOf(*pools[i]), 2, true, items, subtreeEnd);
            treeEnd[i] = items.size();
        }
        std::vector<Clipped> clippedItems = clipEach(items);
        m_records.reserve(m_records.size() + pools.size() + items.size());
        std::size_t next = 0;
        for (std::size_t i = 0; i < pools.size(); ++i) {
            m_records.emplace_back(pools[i]);
            while (next < treeEnd[i]) {
                if (clippedItems[next].record) {
                    m_records.emplace_back(std::move(clippedItems[next].record));
                    ++next;
                } else {
                    next = subtreeEnd[next];
                }
            }
        }
    }

private:
    Assembly(const HXLiveReportSource& source, double a, double b, HXClippedLogStorage& storage,
             std::int64_t content)
        : m_sortColumn(source.sortColumn()), m_allItems(content >= 2),
          m_clipping(a, b, (content & 1) != 0, storage) {}

    // Every source clipped, in order, with null records where the keep rule drops one.
    std::vector<Clipped> clipEach(const Sources& sources) {
        std::vector<Clipped> out(sources.size());
        inTurns(sources.size(), 64, sources.size(),
                [&](Clipping& clipping, std::size_t begin, std::size_t end) {
                    clipping.clipInto(std::span(sources).subspan(begin, end - begin),
                                      std::span(out).subspan(begin, end - begin));
                });
        return out;
    }

    // work(clipping, begin, end) for runs of [0, count). When the work is worth it (records is how many
    // records it clips), this thread and a pool thread take the runs in turn; a pool thread that has not
    // begun by the time this one has taken the last run is not waited for. Each run's records, memos and
    // groups are its own, and the sources do not change while a report is assembled.
    template <typename Work>
    void inTurns(std::size_t count, std::size_t run, std::size_t records, Work work) {
        if (records < kRecordsForASecondThread || QThreadPool::globalInstance()->maxThreadCount() < 2) {
            work(m_clipping, 0, count);
            return;
        }
        SharedRuns shared(count, run);
        auto ownRuns = [&](std::size_t begin, std::size_t end) {
            work(m_clipping, begin, end);
        };
        // The first run tells whether the rest is worth a second thread: records that come back from
        // their memos, as at nearly every sampling tick, are not.
        const auto started = std::chrono::steady_clock::now();
        if (!shared.takeOne(ownRuns))
            return;
        if ((std::chrono::steady_clock::now() - started) * shared.runsLeft() < kWorthASecondThread) {
            shared.take(ownRuns);
            return;
        }
        PoolThreadShare helper(m_clipping, [&](Clipping& clipping) {
            auto runs = [&](std::size_t begin, std::size_t end) {
                work(clipping, begin, end);
            };
            shared.take(runs);
        });
        QThreadPool* pool = QThreadPool::globalInstance();
        pool->start(&helper);
        shared.take(ownRuns);
        if (!pool->tryTake(&helper))
            helper.waitUntilDone();
    }

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
    // listChildren, and theirs), else in stored order. Each item's subtree follows it and ends where
    // subtreeEnd says.
    void collectChildren(const HXDictionary& parent, int depth, bool organizerOrder, Sources& items,
                         std::vector<std::size_t>& subtreeEnd) {
        if (depth == 0 || (!m_allItems && !parent.boolForKey(Expanded)))
            return;
        const HXArrayRef& listed = parent.listChildren();
        const HXValue* stored = parent.find(Children);
        organizerOrder = organizerOrder && listed;
        if (!organizerOrder && (!stored || !stored->isArray()))
            return;
        for (const HXDictionaryRef* child : records(organizerOrder ? listed : stored->toArray())) {
            const std::size_t at = items.size();
            items.push_back(child);
            subtreeEnd.push_back(0);
            collectChildren(**child, depth - 1, organizerOrder, items, subtreeEnd);
            subtreeEnd[at] = items.size();
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
    static void appendRecords(const HXArrayRef& array, Sources& out) {
        if (!array)
            return;
        for (const HXValue& v : array->values()) {
            if (const HXDictionaryRef& d = v.toDictionary())
                out.push_back(&d);
        }
    }
    static void appendRecords(const HXDictionary& byKey, Sources& out) {
        for (const HXDictionary::Entry& e : byKey.entries()) {
            if (const HXDictionaryRef& d = e.value.toDictionary())
                out.push_back(&d);
        }
    }
    template <typename Container> static Sources records(const Container& container) {
        Sources out;
        appendRecords(container, out);
        return out;
    }

    static const HXDictionaryRef& sourceOf(const HXDictionary& clipped) {
        return clipped.find(Source)->toDictionary();
    }

    int m_sortColumn;
    bool m_allItems;
    std::vector<HXValue> m_records;
    HXDictionaryRef m_configuration;
    HXArrayRef m_applications;
    HXArrayRef m_pools;
    Clipping m_clipping;
};

} // namespace

HXArrayRef eventLogsClippedBetweenTimestamp(const HXLiveReportSource& source, double a, double b) {
    HXClippedLogStorage& storage = clippedLogStorageOfThisThread();
    Assembly assembly(source, a, b, storage);
    const HXUserDefaults& defaults = source.userDefaults();
    if (defaults.boolForKey(HXDefaultsKeys::LiveReportApplications))
        assembly.addApplications(source);
    if (defaults.boolForKey(HXDefaultsKeys::LiveReportPools))
        assembly.addPools(source);
    storage.trim();
    return assembly.takeList();
}
