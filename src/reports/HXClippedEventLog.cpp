#include "reports/HXClippedEventLog.h"

#include "reports/HXEventStream.h"

using namespace HXKeys;

namespace {

// Clips one stream of the source into the record; true when the clip is not empty.
bool addClip(const HXDictionary& source, HXDictionary& record, HXKey logKey, HXKey timeKey, double a,
             double b) {
    const HXArrayRef log = source.arrayForKey(logKey);
    if (!log || log->isEmpty())
        return false;
    std::vector<double> clip;
    const double total = recordEventStream(*log, clip, a, b);
    if (clip.empty())
        return false;
    record.setValue(logKey, HXArray::createWithDoubles(std::move(clip)));
    record.setValue(timeKey, total);
    return true;
}

} // namespace

HXDictionaryRef eventLogClippedBetweenTimestamp(const HXDictionaryRef& source, double a, double b,
                                                bool* hasEvents) {
    HXDictionaryRef record = HXDictionary::create();
    bool any = false;
    if (source) {
        if (const HXValue* type = source->find(Type))
            record->setValue(Type, *type);
        const QString name = source->itemName();
        if (!name.isNull())
            record->setValue(Name, name);
        if (const HXValue* path = source->find(Path))
            record->setValue(Path, *path);
        any = addClip(*source, *record, ActiveLog, Time, a, b);
        any = addClip(*source, *record, FrontActiveLog, FrontTime, a, b) || any;
    }
    record->setValue(Source, HXValue(source));
    if (hasEvents)
        *hasEvents = any;
    return record;
}
