#include "engine/HXPools.h"

#include "foundation/HXWildcardQuery.h"

using namespace HXKeys;

namespace {

// A pool item's name parsed as a query, kept on the item until the name changes.
struct CachedQuery {
    QString source;
    HXWildcardQuery query;
};

const int kCachedQueryTag = 0;

const HXWildcardQuery& queryForName(HXDictionary& record) {
    const HXValue* name = record.find(Name);
    const QString& text = name ? name->toString() : QString();
    auto cached = std::static_pointer_cast<CachedQuery>(record.associatedObject(&kCachedQueryTag));
    // A missing name and an empty one are different queries, though equal as strings.
    if (!cached || cached->source != text || cached->source.isNull() != text.isNull()) {
        cached = std::make_shared<CachedQuery>(
            CachedQuery{text, HXWildcardQuery::compile(name ? *name : HXValue(), false)});
        record.setAssociatedObject(&kCachedQueryTag, cached);
    }
    return cached->query;
}

// The member's name, with its folded form computed only when a wildcard query first needs it.
class MemberName {
public:
    explicit MemberName(const QString& name) : m_name(name) {}
    bool matches(const HXWildcardQuery& query) {
        if (query.needsFoldedName() && !m_folded) {
            m_folded = HXWildcardQuery::foldedName(m_name);
        }
        return query.matches(m_name, m_folded ? *m_folded : QString());
    }

private:
    const QString& m_name;
    std::optional<QString> m_folded;
};

bool hasChildren(const HXDictionary& record) {
    const HXArrayRef children = record.arrayForKey(Children);
    return children && !children->isEmpty();
}

} // namespace

void checkPools(const HXArray* pools, HXDictionary& item, bool gap, double interval, bool frontmost,
                bool matchApplicationsViaID) {
    const HXValue* nameValue = item.find(Name);
    if (!pools || !nameValue || !nameValue->isString())
        return;
    MemberName name(nameValue->toString());
    const HXValue* idValue = item.find(ApplicationID);
    const bool byID = idValue && idValue->isString() && matchApplicationsViaID;
    const bool isWindow = item.stringForKey(Path) == QStringView(kWindowPath);

    for (const HXValue& poolValue : pools->values()) {
        const HXDictionaryRef& pool = poolValue.toDictionary();
        if (!pool || pool->boolForKey(Paused))
            continue;
        const HXArrayRef items = pool->arrayForKey(Children);
        if (!items)
            continue;
        bool fed = false;
        for (const HXValue& itemValue : items->values()) {
            const HXDictionaryRef& p = itemValue.toDictionary();
            if (!p)
                continue;
            // A window feeds only pool items that are narrowed to windows.
            if (isWindow && !hasChildren(*p))
                continue;
            const QString& poolItemID = p->stringForKey(ApplicationID);
            if (poolItemID == QStringView(kAdHocPath))
                continue;
            const bool matches = p->boolForKey(MatchAnyApplication) ||
                                 (byID && p->find(ApplicationID) && p->find(ApplicationID)->isString() &&
                                  poolItemID == idValue->toString()) ||
                                 name.matches(queryForName(*p));
            if (!matches)
                continue;
            bool hit = false;
            if (isWindow) {
                for (const HXValue& windowValue : p->arrayForKey(Children)->values()) {
                    const HXDictionaryRef& w = windowValue.toDictionary();
                    if (w && name.matches(queryForName(*w))) {
                        w->setPreliminaryStates(gap, interval, frontmost);
                        hit = true;
                    }
                }
            } else {
                hit = !hasChildren(*p);
            }
            if (hit) {
                p->setPreliminaryStates(gap, interval, frontmost);
                fed = true;
            }
        }
        if (fed)
            pool->setPreliminaryStates(gap, interval, frontmost);
    }
}

std::optional<std::vector<HXDictionaryRef>> poolAncestorsOfItem(const HXArray* pools, const HXDictionary* record) {
    if (!pools || !record)
        return std::nullopt;
    for (const HXValue& poolValue : pools->values()) {
        const HXDictionaryRef& pool = poolValue.toDictionary();
        if (!pool)
            continue;
        if (pool.get() == record)
            return std::vector<HXDictionaryRef>{};
        const HXArrayRef children = pool->arrayForKey(Children);
        if (!children)
            continue;
        for (const HXValue& childValue : children->values()) {
            const HXDictionaryRef& child = childValue.toDictionary();
            if (!child)
                continue;
            if (child.get() == record)
                return std::vector<HXDictionaryRef>{pool};
            if (const HXArrayRef grandchildren = child->arrayForKey(Children)) {
                if (grandchildren->indexOfDictionary(record) >= 0)
                    return std::vector<HXDictionaryRef>{pool, child};
            }
        }
    }
    return std::nullopt;
}
