#include "reports/HXEventStream.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kEpsilon = kHXEventStreamTolerance;

// The walk over the stream's values, entered at `start` with `last` as the value seen before it. Once inside
// the clip every value up to the first one beyond hi - ε is copied as it stands, so that part runs as one
// pass for the total and one bulk copy. `stop`, when known (>= 0), is that first index beyond. Values are
// read through `get` and copied through `copy`, so packed and ordinary streams share one implementation.
template <typename Get, typename Copy>
double clipFrom(Get get, Copy copy, qsizetype count, qsizetype start, qsizetype stop, double last,
                std::vector<double>& out, double lo, double hi) {
    const std::size_t base = out.size();
    bool inside = false;
    double open = -1;
    double total = 0;
    qsizetype i = start;
    for (; i < count; ++i) {
        const double v = get(i);
        if (std::fabs(v) > hi - kEpsilon)
            break;
        last = v;
        if (std::fabs(v) <= lo - kEpsilon)
            continue;
        inside = true;
        if (HXSimilarAbsoluteTimeIntervals(lo, v)) {
            if (v > 0) {
                out.push_back(lo);
                open = lo;
            }
        } else if (v > 0) {
            open = v;
            out.push_back(v);
        } else {
            // An end first: the item was already running when the clip began.
            total += std::fabs(v) - lo;
            out.push_back(lo);
            out.push_back(v);
        }
        ++i;
        break;
    }
    if (inside) {
        qsizetype end = stop >= 0 ? std::max(stop, i) : i;
        if (stop < 0) {
            while (end < count && !(std::fabs(get(end)) > hi - kEpsilon))
                ++end;
        }
        // Of a run of begins only the first opens; an end with nothing open adds nothing.
        for (qsizetype j = i; j < end; ++j) {
            const double v = get(j);
            if (v > 0) {
                if (open < 0)
                    open = v;
            } else if (open > 0) {
                total += std::fabs(v) - open;
                open = -1;
            }
        }
        copy(out, i, end);
    } else {
        if (!(last > 0))
            return 0;
        out.push_back(lo);
    }
    // Only what this clip appended counts; earlier contents of the output are someone else's.
    if (out.size() > base && out.back() > 0) {
        total += hi - out.back();
        out.push_back(-hi);
    }
    return total;
}

auto packedGet(std::span<const double> d) {
    return [d](qsizetype i) {
        return d[static_cast<std::size_t>(i)];
    };
}

auto packedCopy(std::span<const double> d) {
    return [d](std::vector<double>& out, qsizetype from, qsizetype to) {
        out.insert(out.end(), d.begin() + from, d.begin() + to);
    };
}

} // namespace

bool HXSimilarAbsoluteTimeIntervals(double a, double b) {
    return std::fabs(std::fabs(a) - std::fabs(b)) < kEpsilon;
}

int HXSortAbsoluteDoubleNumbers(double x, double y) {
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    return ax < ay ? -1 : (ax > ay ? 1 : 0);
}

double recordEventStreamByWalking(const HXArray& stream, std::vector<double>& output, double a, double b) {
    const double lo = std::min(a, b);
    const double hi = std::max(a, b);
    if (stream.isPacked())
        return clipFrom(packedGet(stream.doubles()), packedCopy(stream.doubles()),
                        static_cast<qsizetype>(stream.doubles().size()), 0, -1, -1, output, lo, hi);
    return clipFrom([&stream](qsizetype i) { return stream.numberAt(i); },
                    [&stream](std::vector<double>& out, qsizetype from, qsizetype to) {
                        for (qsizetype j = from; j < to; ++j)
                            out.push_back(stream.numberAt(j));
                    },
                    stream.count(), 0, -1, -1, output, lo, hi);
}

double recordEventStream(const HXArray& stream, std::vector<double>& output, double a, double b) {
    if (!stream.isSortedByMagnitude())
        return recordEventStreamByWalking(stream, output, a, b);
    const double lo = std::min(a, b);
    const double hi = std::max(a, b);
    const std::span<const double> d = stream.doubles();
    // The walk skips exactly the values at or before lo - ε, which form a prefix of a sorted stream.
    // Reports mostly ask for recent intervals, so the search gallops back from the end: a log that ends
    // before the clip costs one look, a recent clip a few neighbouring ones.
    const auto skipped = [lo](double v) {
        return std::fabs(v) <= lo - kEpsilon;
    };
    std::size_t high = d.size();
    std::size_t step = 1;
    while (high > 0 && !skipped(d[high - 1])) {
        const std::size_t low = high > step ? high - step : 0;
        if (skipped(d[low])) {
            const auto from = d.begin() + static_cast<std::ptrdiff_t>(low);
            const auto to = d.begin() + static_cast<std::ptrdiff_t>(high);
            high = static_cast<std::size_t>(std::partition_point(from, to, skipped) - d.begin());
            break;
        }
        high = low;
        step *= 2;
    }
    const auto start = static_cast<qsizetype>(high);
    const double last = start > 0 ? d[static_cast<std::size_t>(start - 1)] : -1;
    // The walk copies at most the values before hi - ε, plus lo and -hi: room for them at once.
    const auto stop = std::partition_point(d.begin() + start, d.end(),
                                           [hi](double v) { return std::fabs(v) <= hi - kEpsilon; });
    const auto copied = static_cast<std::size_t>(stop - (d.begin() + start));
    if (copied > 0 || last > 0)
        output.reserve(output.size() + copied + 3);
    return clipFrom(packedGet(d), packedCopy(d), static_cast<qsizetype>(d.size()), start,
                    static_cast<qsizetype>(stop - d.begin()), last, output, lo, hi);
}

bool isClipSortedByMagnitude(std::span<const double> clip, bool streamSorted) {
    // clipFrom puts at most two values of its own (lo, or lo and the first end) before the values it
    // copies from the stream, and -hi after them; a bound within ε of a copied value may stand out of order.
    if (!streamSorted || clip.size() <= 5)
        return HXIsSortedByMagnitude(clip);
    return HXIsSortedByMagnitude(clip.first(3)) && HXIsSortedByMagnitude(clip.last(2));
}

HXArrayRef eventStreamClippedBetweenTimestamp(const HXArray& stream, double a, double b, double* interval) {
    std::vector<double> out;
    const double total = recordEventStream(stream, out, a, b);
    if (interval)
        *interval = total;
    return HXArray::createWithDoubles(std::move(out));
}

double totalIntervalBetweenTimestamp(const HXArray& stream, double a, double b) {
    std::vector<double> out;
    return recordEventStream(stream, out, a, b);
}

namespace {

void appendCleaned(const HXArray& stream, double timestamp, std::vector<double>& out) {
    enum class Kind { None, Begin, End };
    Kind lastKind = Kind::None;
    const qsizetype n = stream.count();
    for (qsizetype i = 0; i < n; ++i) {
        const double v = stream.numberAt(i);
        if (!(std::fabs(v) > timestamp - kEpsilon))
            continue;
        const Kind kind = v >= 0 ? Kind::Begin : Kind::End;
        if (lastKind == Kind::None && kind == Kind::End) {
            out.push_back(timestamp);
            lastKind = Kind::Begin;
        }
        if (kind != lastKind) {
            out.push_back(v);
            lastKind = kind;
        }
    }
}

} // namespace

HXArrayRef cleanedEventStreamBeginningAtTimestamp(const HXArray& stream, double timestamp) {
    std::vector<double> out;
    appendCleaned(stream, timestamp, out);
    return HXArray::createWithDoubles(std::move(out));
}

HXArrayRef eventStreamByMergingEventStreams(const std::vector<HXArrayRef>& streams, double timestamp) {
    std::vector<double> all;
    for (const HXArrayRef& stream : streams) {
        if (stream)
            appendCleaned(*stream, timestamp, all);
    }
    // Stable, so that a stream's own begin stays before its own end at the same timestamp.
    std::stable_sort(all.begin(), all.end(),
                     [](double x, double y) { return HXSortAbsoluteDoubleNumbers(x, y) < 0; });
    std::vector<double> out;
    int running = 0;
    for (const double v : all) {
        // A begin as cleaning counts it: a begin made up at a timestamp of 0 must not read as an end.
        if (!std::signbit(v)) {
            if (running == 0)
                out.push_back(v);
            ++running;
        } else if (--running == 0) {
            out.push_back(v);
        }
    }
    return HXArray::createWithDoubles(std::move(out));
}
