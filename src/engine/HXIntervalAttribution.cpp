#include "engine/HXIntervalAttribution.h"

#include "foundation/HXDictionary.h"

using namespace HXKeys;

void HXAttributeInterval(HXDictionary& record, const HXTickTime& time, bool frontmost) {
    if (!record.boolForKey(ActiveTransient)) {
        record.setBool(true, ActiveTransient);
        if (!time.gap && record.boolForKey(Active))
            record.addTimeInterval(time.interval, Time);
    }
    if (frontmost && !record.boolForKey(FrontActiveTransient)) {
        record.setBool(true, FrontActiveTransient);
        if (!time.gap && record.boolForKey(FrontActive))
            record.addTimeInterval(time.interval, FrontTime);
    }
}
