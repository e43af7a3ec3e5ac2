#include "reports/HXClippedEventLog.h"

#include "reports/HXEventLogClipper.h"

HXDictionaryRef eventLogClippedBetweenTimestamp(const HXDictionaryRef& source, double a, double b,
                                                bool* hasEvents) {
    HXEventLogClipper clipper;
    const bool any = clipper.clip(source, a, b);
    if (hasEvents)
        *hasEvents = any;
    return clipper.record();
}
