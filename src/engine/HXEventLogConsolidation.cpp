#include "engine/HXEventLogConsolidation.h"

#include "foundation/HXDictionary.h"

#include <cmath>

using namespace HXKeys;

namespace {

constexpr double kSimilarity = 0.001;

// One of the two logs: "Active Log" from "Active_", or "Front Active Log" from "Front Active_".
bool consolidateLog(HXDictionary& record, bool front, const HXTickTime& time) {
    const HXKey markKey = front ? FrontActiveTransient : ActiveTransient;
    const HXKey stateKey = front ? FrontActive : Active;
    const HXKey logKey = front ? FrontActiveLog : ActiveLog;

    const HXValue* mark = record.find(markKey);
    const bool seen = mark && mark->toBool();
    HXArray* log = record.arrayPointerForKey(logKey);
    const bool hasLast = log && !log->isEmpty();
    const double last = hasLast ? log->numberAt(log->count() - 1) : 0.0;
    bool running = hasLast && last > 0;
    // Most records of years of data are dormant: not seen, not active, nothing running. Nothing to do.
    if (!seen && !running && !mark && !record.find(stateKey))
        return false;

    record.setBool(seen, stateKey);
    record.remove(markKey);

    const double previous = time.previous;
    const bool beganAtPrevious = std::fabs(last - previous) < kSimilarity;
    if (time.gap && running) {
        if (previous < kSimilarity || beganAtPrevious)
            log->removeLast();
        else
            log->appendDouble(-previous);
        running = false;
    }
    if (seen) {
        if (!running) {
            if (!log) {
                auto created = HXArray::create();
                log = created.get();
                record.setValue(logKey, std::move(created));
            }
            log->appendDouble(time.now);
        }
    } else if (running) {
        if (previous < kSimilarity)
            log->appendDouble(-time.now);
        else if (beganAtPrevious)
            log->removeLast();
        else
            log->appendDouble(-previous);
    }
    return seen;
}

} // namespace

bool HXConsolidateEventLogs(HXDictionary& record, const HXTickTime& time) {
    consolidateLog(record, true, time);
    return consolidateLog(record, false, time);
}
