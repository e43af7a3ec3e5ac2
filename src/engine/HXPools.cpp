#include "engine/HXPools.h"

#include "engine/HXPoolMatcher.h"

using namespace HXKeys;

HXDictionaryRef newPoolItem(const QString& name, const QString& path,
                            const std::optional<QString>& applicationID) {
    HXDictionaryRef item = HXDictionary::create();
    item->setValue(Name, name);
    item->setValue(Path, path);
    if (applicationID)
        item->setValue(ApplicationID, *applicationID);
    item->setValue(Type, QString::fromUtf16(kPoolItemType));
    return item;
}

HXArrayRef childrenCreatingThem(HXDictionary& record) {
    HXArrayRef children = record.arrayForKey(Children);
    if (!children) {
        children = HXArray::create();
        record.setValue(Children, children);
    }
    return children;
}

void checkPools(const HXArray* pools, HXDictionary& item, bool gap, double interval, bool frontmost,
                bool matchApplicationsViaID) {
    HXPoolMatcher(pools, matchApplicationsViaID)
        .feed(item, HXTickTime{.gap = gap, .interval = interval}, frontmost);
}

std::optional<std::vector<HXDictionaryRef>> poolAncestorsOfItem(const HXArray* pools,
                                                                const HXDictionary* record) {
    if (!pools || !record)
        return std::nullopt;
    for (const HXValue& poolValue : pools->values()) {
        const HXDictionaryRef& pool = poolValue.toDictionary();
        if (!pool)
            continue;
        if (pool.get() == record)
            return std::vector<HXDictionaryRef>{};
        const HXArrayRef children = pool->arrayForKey(HXKeys::Children);
        if (!children)
            continue;
        for (const HXValue& childValue : children->values()) {
            const HXDictionaryRef& child = childValue.toDictionary();
            if (!child)
                continue;
            if (child.get() == record)
                return std::vector<HXDictionaryRef>{pool};
            if (const HXArrayRef grandchildren = child->arrayForKey(HXKeys::Children)) {
                if (grandchildren->indexOfDictionary(record) >= 0)
                    return std::vector<HXDictionaryRef>{pool, child};
            }
        }
    }
    return std::nullopt;
}
