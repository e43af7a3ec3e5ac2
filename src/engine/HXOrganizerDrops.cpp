#include "engine/HXOrganizerDrops.h"

#include "engine/HXMainController.h"
#include "engine/HXPools.h"
#include "foundation/HXPropertyList.h"
#include "foundation/HXUserDefaults.h"
#include "foundation/HXWildcardQuery.h"
#include "reports/HXEventStream.h"

#include <vector>

using namespace HXKeys;

namespace {

bool hasString(const HXDictionary& record, HXKey key) {
    const HXValue* value = record.find(key);
    return value && value->isString();
}

// The keys a dragged record needs to become a pool item.
bool isDroppable(const HXDictionary* dragged) {
    return dragged && hasString(*dragged, ApplicationID) && hasString(*dragged, Path) &&
           hasString(*dragged, Name);
}

bool isWindow(const HXDictionary& record) {
    return record.stringForKey(Path) == kWindowPath;
}

bool isPool(const HXDictionary* record) {
    return record && record->stringForKey(Path) == kPoolPath;
}

// The first child of the pool that already stands for the dragged record's application.
HXDictionaryRef matchingChild(const HXDictionary& pool, const HXDictionary& dragged, bool matchViaID) {
    const HXArrayRef children = pool.arrayForKey(Children);
    if (!children)
        return nullptr;
    const QString& id = dragged.stringForKey(ApplicationID);
    const QString& name = dragged.stringForKey(Name);
    for (const HXValue& value : children->values()) {
        const HXDictionaryRef& child = value.toDictionary();
        if (!child)
            continue;
        if ((matchViaID && child->stringForKey(ApplicationID) == id) ||
            matchesQuery(name, child->value(Name)))
            return child;
    }
    return nullptr;
}

bool hasChildNamed(const HXDictionary& item, const QString& name) {
    const HXArrayRef children = item.arrayForKey(Children);
    if (!children)
        return false;
    const QString lowered = name.toLower();
    for (const HXValue& value : children->values()) {
        const HXDictionaryRef& child = value.toDictionary();
        if (child && child->stringForKey(Name).toLower() == lowered)
            return true;
    }
    return false;
}

bool hasNonEmptyChildren(const HXDictionary& item) {
    const HXArrayRef children = item.arrayForKey(Children);
    return children && !children->isEmpty();
}

// The application record a dragged window belongs to, when it can make an application pool item.
HXDictionaryRef applicationOfWindow(const HXDictionary* configuration, const HXDictionary& window) {
    const HXDictionaryRef applications =
        configuration ? configuration->dictionaryForKey(u"Applications") : nullptr;
    const HXDictionaryRef application =
        applications ? applications->dictionaryForKey(window.stringForKey(ApplicationID)) : nullptr;
    if (!application || !hasString(*application, Name) || !hasString(*application, Path))
        return nullptr;
    return application;
}

HXDictionaryRef windowPoolItem(const HXDictionary& window) {
    return newPoolItem(window.stringForKey(Name), QString::fromUtf16(kWindowPath),
                       window.stringForKey(ApplicationID));
}

HXDictionaryRef applicationPoolItem(const HXDictionary& application, const QString& applicationID) {
    return newPoolItem(application.stringForKey(Name), application.stringForKey(Path), applicationID);
}

// The record takes in the dragged record's history of one kind of activity.
void mergeHistory(HXDictionary& record, const HXDictionary& dragged, HXKey logKey, HXKey timeKey,
                  HXKey activeKey, double first, double last) {
    const HXArrayRef log =
        eventStreamByMergingEventStreams({dragged.arrayForKey(logKey), record.arrayForKey(logKey)}, first);
    record.setValue(logKey, log);
    record.setTimeInterval(totalIntervalBetweenTimestamp(*log, first, last), timeKey);
    record.setBool(dragged.boolForKey(activeKey) || record.boolForKey(activeKey), activeKey);
}

} // namespace

HXOrganizerDragKind dragKindForRecord(const HXDictionary* record) {
    if (!record || record->stringForKey(ApplicationID) == kAdHocPath)
        return HXOrganizerDragKind::None;
    return isPool(record) ? HXOrganizerDragKind::Delete : HXOrganizerDragKind::Item;
}

HXDropDecision validateDrop(const HXDictionary* configuration, const HXUserDefaults& defaults,
                            const HXDictionary* dragged, const HXProposedDrop& proposed) {
    if (!dragged)
        return {};
    switch (proposed.place) {
    case HXProposedDrop::Place::TopLevel:
        return {true, true};
    case HXProposedDrop::Place::BetweenChildren:
        return {};
    case HXProposedDrop::Place::OnRow:
        break;
    }
    if (!isPool(proposed.row) || !isDroppable(dragged))
        return {};
    const bool window = isWindow(*dragged);
    const bool matchViaID = defaults.boolForKey(u"Pools: Match Applications Via ID");
    if (const HXDictionaryRef child = matchingChild(*proposed.row, *dragged, matchViaID)) {
        // A child without children already covers the whole application.
        if (!hasNonEmptyChildren(*child))
            return {};
        return {!window || !hasChildNamed(*child, dragged->stringForKey(Name)), false};
    }
    return {!window || applicationOfWindow(configuration, *dragged) != nullptr, false};
}

bool acceptDrop(HXMainController& controller, const HXDictionaryRef& dragged, const HXDictionaryRef& pool,
                bool retroactive) {
    if (!isDroppable(dragged.get()) || (pool && !isPool(pool.get())))
        return false;
    HXDictionaryRef configuration = controller.configuration();
    if (!configuration) {
        controller.configurationStore().setConfiguration(HXDictionary::create());
        configuration = controller.configuration();
    }
    controller.pushUndoStateAndClearRedoStatesAfterDelay();
    const auto refuse = [&controller] {
        controller.popUndoStateAndCancelRedoStateClearing();
        return false;
    };

    HXDictionaryRef target = pool;
    if (!target) {
        target = HXDictionary::create();
        target->setValue(Name, QString());
        target->setValue(Path, QString::fromUtf16(kPoolPath));
        target->setValue(Children, HXArray::create());
        target->setValue(Type, QString::fromUtf16(kPoolItemType));
    }
    const HXDictionary& d = *dragged;
    const bool window = isWindow(d);
    const bool matchViaID = controller.services().defaults.boolForKey(u"Pools: Match Applications Via ID");
    std::vector<HXDictionaryRef> touched{target};

    // Decided before anything changes, so that a refused drop leaves the configuration as it was.
    if (const HXDictionaryRef child = matchingChild(*target, d, matchViaID)) {
        if (!hasNonEmptyChildren(*child))
            return refuse();
        if (window) {
            if (hasChildNamed(*child, d.stringForKey(Name)))
                return refuse();
            HXDictionaryRef item = windowPoolItem(d);
            childrenCreatingThem(*child)->append(item);
            touched.push_back(child);
            touched.push_back(std::move(item));
        } else {
            // The pool item now covers the whole application.
            child->remove(Children);
            touched.push_back(child);
        }
    } else if (window) {
        const HXDictionaryRef application = applicationOfWindow(configuration.get(), d);
        if (!application)
            return refuse();
        HXDictionaryRef windowItem = windowPoolItem(d);
        HXDictionaryRef item = applicationPoolItem(*application, d.stringForKey(ApplicationID));
        auto children = HXArray::create();
        children->append(windowItem);
        item->setValue(Children, children);
        childrenCreatingThem(*target)->append(item);
        touched.push_back(std::move(item));
        touched.push_back(std::move(windowItem));
    } else {
        HXDictionaryRef item = applicationPoolItem(d, d.stringForKey(ApplicationID));
        childrenCreatingThem(*target)->append(item);
        touched.push_back(std::move(item));
    }
    if (!pool) {
        HXArrayRef pools = configuration->arrayForKey(u"Pools");
        if (!pools) {
            pools = HXArray::create();
            configuration->setValue(u"Pools", pools);
        }
        pools->append(target);
    }

    if (retroactive) {
        const double first = controller.firstTimestamp();
        const double last = configuration->timeIntervalForKey(u"Last Timestamp");
        for (const HXDictionaryRef& record : touched) {
            mergeHistory(*record, d, ActiveLog, Time, Active, first, last);
            mergeHistory(*record, d, FrontActiveLog, FrontTime, FrontActive, first, last);
        }
    }
    controller.updateLists(HXTrigger::Command);
    return true;
}

QByteArray itemPasteboardData(const HXDictionary& record) {
    return propertyListData(HXValue(record.shallowCopy()));
}

HXDictionaryRef itemFromPasteboardData(const QByteArray& data) {
    return data.isEmpty() ? nullptr : HXDictionary::deeplyMutableDictionaryWithData(data);
}
