#include "reports/HXReportReference.h"

#include "reports/HXEventStream.h"

#include "foundation/HXDictionary.h"

#include <algorithm>
#include <cmath>

using namespace HXKeys;

namespace {

using Intervals = std::vector<std::pair<double, double>>;

// Whether the stream alternates from a begin in ascending order from the timestamp on, as every
// clipped log does.
bool isWellFormed(const HXArray& stream, double timestamp) {
    const qsizetype n = stream.count();
    if (!stream.isPacked() || n % 2 != 0)
        return false;
    double previous = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const double v = stream.numberAt(i);
        if (!(i % 2 == 0 ? v > 0 : v < 0) || std::fabs(v) < previous || std::fabs(v) < timestamp)
            return false;
        previous = std::fabs(v);
    }
    return true;
}

// The stream's active intervals from index `from` (a begin) on, as cleaning from the timestamp makes
// them.
void appendIntervals(const HXArray& stream, qsizetype from, double timestamp, Intervals& out) {
    HXArrayRef cleaned;
    const HXArray* source = &stream;
    if (!isWellFormed(stream, timestamp)) {
        cleaned = cleanedEventStreamBeginningAtTimestamp(stream, timestamp);
        source = cleaned.get();
        from = 0;
    }
    const qsizetype count = source->count();
    for (qsizetype i = from; i + 1 < count; i += 2)
        out.emplace_back(source->numberAt(i), -source->numberAt(i + 1));
}

// The union of two sorted lists of disjoint intervals, itself sorted and disjoint.
Intervals unite(const Intervals& x, const Intervals& y) {
    Intervals out;
    out.reserve(x.size() + y.size());
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < x.size() || j < y.size()) {
        const bool takeX = j == y.size() || (i < x.size() && x[i].first <= y[j].first);
        const std::pair<double, double>& next = takeX ? x[i++] : y[j++];
        if (!out.empty() && next.first <= out.back().second)
            out.back().second = std::max(out.back().second, next.second);
        else
            out.push_back(next);
    }
    return out;
}

// Adds one interval to a sorted list of disjoint ones; new activity lies at the end, where this is cheap.
void insertInterval(Intervals& u, std::pair<double, double> x) {
    auto it = std::lower_bound(u.begin(), u.end(), x.first,
                               [](const std::pair<double, double>& i, double v) { return i.second < v; });
    if (it == u.end() || it->first > x.second) {
        u.insert(it, x);
        return;
    }
    it->first = std::min(it->first, x.first);
    it->second = std::max(it->second, x.second);
    auto next = it + 1;
    while (next != u.end() && next->first <= it->second) {
        it->second = std::max(it->second, next->second);
        ++next;
    }
    u.erase(it + 1, next);
}

// The counted log of a list record: applications and pools, their "Active Log" or else "Front Active Log".
const HXArray* countedLog(const HXDictionary& record, bool* front) {
    const QString& path = record.stringForKey(Path);
    if (path != QStringView(kPoolPath) &&
        (record.stringForKey(Type) == QStringView(kPoolItemType) || path == QStringView(kWindowPath)))
        return nullptr;
    const HXArray* log = record.arrayPointerForKey(ActiveLog);
    *front = !log || log->isEmpty();
    if (*front)
        log = record.arrayPointerForKey(FrontActiveLog);
    return log && !log->isEmpty() ? log : nullptr;
}

double lengthOf(const Intervals& u) {
    double total = 0;
    for (const auto& [b, e] : u)
        total += e - b;
    return total;
}

} // namespace

void HXReportActivityUnion::uniteAfresh(const HXArray& reportList) {
    std::vector<Intervals> lists;
    m_contributions.clear();
    for (const HXValue& v : reportList.values()) {
        const HXDictionaryRef& record = v.toDictionary();
        bool front = false;
        const HXArray* log = record ? countedLog(*record, &front) : nullptr;
        if (!log)
            continue;
        Intervals intervals;
        appendIntervals(*log, 0, m_begin, intervals);
        lists.push_back(std::move(intervals));
        m_contributions[record->dictionaryForKey(Source).get()] =
            Contribution{record, log, front, log->count(), log->numberAt(0), log->numberAt(log->count() - 2)};
    }
    // United in pairs, round by round: each round is one pass over what is left, which shrinks fast
    // because applications are mostly active together.
    while (lists.size() > 1) {
        std::vector<Intervals> next;
        next.reserve((lists.size() + 1) / 2);
        for (std::size_t i = 0; i + 1 < lists.size(); i += 2)
            next.push_back(unite(lists[i], lists[i + 1]));
        if (lists.size() % 2 == 1)
            next.push_back(std::move(lists.back()));
        lists = std::move(next);
    }
    m_union = lists.empty() ? Intervals() : std::move(lists.front());
}

bool HXReportActivityUnion::growFrom(const HXReportActivityUnion& previous, const HXArray& reportList) {
    if (previous.m_begin != m_begin || m_end < previous.m_end)
        return false;
    m_union = previous.m_union;
    std::size_t matched = 0;
    for (const HXValue& v : reportList.values()) {
        const HXDictionaryRef& record = v.toDictionary();
        bool front = false;
        const HXArray* log = record ? countedLog(*record, &front) : nullptr;
        if (!log)
            continue;
        const HXDictionary* source = record->dictionaryForKey(Source).get();
        const auto found = source ? previous.m_contributions.find(source) : previous.m_contributions.end();
        if (found != previous.m_contributions.end() && found->second.clipped == record) {
            // The same clipped record: nothing new.
            ++matched;
            m_contributions.insert(*found);
            continue;
        }
        if (!source || !isWellFormed(*log, m_begin))
            return false;
        qsizetype from = 0;
        if (found == previous.m_contributions.end()) {
            // A record new to the list adds only what happened since: anything older means that the
            // list was chosen anew.
            if (log->numberAt(0) < previous.m_end - kHXEventStreamTolerance)
                return false;
        } else {
            const Contribution& was = found->second;
            ++matched;
            // The same log, grown at its end: its last interval may reach further, and more follow.
            if (was.front != front || log->count() < was.count || log->numberAt(0) != was.first ||
                log->numberAt(was.count - 2) != was.lastBegin)
                return false;
            from = was.count - 2;
        }
        for (qsizetype i = from; i + 1 < log->count(); i += 2)
            insertInterval(m_union, {log->numberAt(i), -log->numberAt(i + 1)});
        m_contributions[source] =
            Contribution{record, log, front, log->count(), log->numberAt(0), log->numberAt(log->count() - 2)};
    }
    // Every record of the last list is still there; one that went away would leave its time behind.
    return matched == previous.m_contributions.size();
}

std::shared_ptr<const HXReportActivityUnion>
HXReportActivityUnion::make(const HXArray& reportList, double begin, double end,
                            const HXReportActivityUnion* previous) {
    auto made = std::make_shared<HXReportActivityUnion>();
    made->m_begin = std::min(begin, end);
    made->m_end = std::max(begin, end);
    if (!previous || !made->growFrom(*previous, reportList))
        made->uniteAfresh(reportList);
    made->m_length = lengthOf(made->m_union);
    return made;
}

double HXReportReferenceInterval(const HXArray& reportList, double begin, double end, bool rawInterval) {
    if (rawInterval)
        return std::fabs(end - begin);
    return HXReportActivityUnion::make(reportList, begin, end, nullptr)->length();
}
