// The controller's side of ad hoc timers: where a timer started from an item times into, and keeping
// a timer, which merges its stretches into the pool, the pool's ad hoc pool item and the named entry.
#include "engine/HXMainController.h"

#include "engine/HXPools.h"
#include "foundation/HXClock.h"
#include "reports/HXEventStream.h"
#include "reports/HXLiveReportSource.h"

using namespace HXKeys;

namespace {

HXDictionaryRef firstChild(const HXDictionary& record, auto&& matches) {
    const HXArrayRef children = record.arrayForKey(Children);
    if (!children)
        return nullptr;
    for (const HXValue& value : children->values()) {
        const HXDictionaryRef& child = value.toDictionary();
        if (child && matches(*child))
            return child;
    }
    return nullptr;
}

bool isAdHocPoolItem(const HXDictionary& record) {
    return record.stringForKey(ApplicationID) == QStringView(kAdHocPath);
}

void mergeStream(HXDictionary& record, const HXArrayRef& stream, double begin, double end) {
    for (const auto& [logKey, timeKey] : {std::pair{ActiveLog, Time}, std::pair{FrontActiveLog, FrontTime}}) {
        const HXArrayRef merged =
            eventStreamByMergingEventStreams({stream, record.arrayForKey(logKey)}, begin);
        record.setValue(logKey, merged);
        record.setTimeInterval(totalIntervalBetweenTimestamp(*merged, begin, end), timeKey);
    }
}

} // namespace

HXDictionaryRef HXMainController::poolWithAdHocTimerRelatedItem(const HXDictionary* item,
                                                                std::optional<QString>* timerName) const {
    if (timerName)
        timerName->reset();
    const std::optional<std::vector<HXDictionaryRef>> ancestors = poolAncestorsOfItem(item);
    if (!ancestors)
        return nullptr;
    if (ancestors->empty()) {
        // The item is a pool: find its own reference.
        const HXArrayRef pools = configuration() ? configuration()->arrayForKey(u"Pools") : nullptr;
        const qsizetype index = pools ? pools->indexOfDictionary(item) : -1;
        return index < 0 ? nullptr : pools->dictionaryAt(index);
    }
    if (ancestors->size() >= 2 && timerName)
        *timerName = item->stringForKey(Name);
    return ancestors->front();
}

bool HXMainController::startAdHocTimer(const HXDictionary* relatedItem) {
    HXAdHocTimerPort* timer = m_services.adHocTimer;
    if (!timer)
        return false;
    std::optional<QString> name;
    const HXDictionaryRef pool = relatedItem ? poolWithAdHocTimerRelatedItem(relatedItem, &name) : nullptr;
    return timer->startAtTimestamp(m_services.clock.now(), name, pool, this);
}

HXArrayRef HXMainController::poolsForAdHocTimer(const HXAdHocTimerPort& timer) {
    static_cast<void>(timer);
    const HXDictionaryRef& configuration = m_store.configuration();
    return configuration ? configuration->arrayForKey(u"Pools") : nullptr;
}

bool HXMainController::absorbAdHocTimer(const HXAdHocTimerPort& timer) {
    const HXArrayRef stream = timer.eventStream();
    if (!stream || stream->isEmpty())
        return false;
    pushUndoStateAndClearRedoStatesAfterDelay();
    updateLists(HXTrigger::Command);
    if (!m_store.configuration())
        m_store.setConfiguration(HXDictionary::create());
    HXDictionary& configuration = *m_store.configuration();
    HXArrayRef pools = configuration.arrayForKey(u"Pools");

    HXDictionaryRef pool = timer.pool();
    if (pool && pools && pools->indexOfDictionary(pool.get()) < 0) {
        // The configuration was replaced meanwhile (undo, redo): the pool of the same name stands for
        // the one chosen, rather than a second copy of it.
        const QString name = pool->itemName();
        for (const HXValue& value : pools->values()) {
            const HXDictionaryRef& candidate = value.toDictionary();
            if (candidate && candidate->itemName() == name) {
                pool = candidate;
                break;
            }
        }
    }
    if (!pool)
        pool = newPoolItem(QString(), QString::fromUtf16(kPoolPath), std::nullopt);

    HXDictionaryRef adHoc = firstChild(*pool, isAdHocPoolItem);
    if (!adHoc) {
        adHoc = newPoolItem(QString(), QString::fromUtf16(kAdHocPath), QString::fromUtf16(kAdHocPath));
        childrenCreatingThem(*pool)->append(adHoc);
    }
    const QString name = timer.name().trimmed();
    HXDictionaryRef entry = firstChild(*adHoc, [&name](const HXDictionary& child) {
        const HXValue* value = child.find(Name);
        return value && value->isString() && value->toString() == name;
    });
    if (!entry) {
        entry = newPoolItem(name, QString::fromUtf16(kWindowPath), QString::fromUtf16(kAdHocPath));
        childrenCreatingThem(*adHoc)->append(entry);
    }

    const double begin = ::firstTimestamp(&configuration);
    const double end = configuration.timeIntervalForKey(u"Last Timestamp");
    for (HXDictionary* record : {pool.get(), adHoc.get(), entry.get()})
        mergeStream(*record, stream, begin, end);

    if (!pools) {
        pools = HXArray::create();
        configuration.setValue(u"Pools", pools);
    }
    if (pools->indexOfDictionary(pool.get()) < 0)
        pools->append(pool);
    updateLists(HXTrigger::Command);
    return true;
}
