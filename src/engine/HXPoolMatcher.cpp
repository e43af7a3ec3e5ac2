#include "engine/HXPoolMatcher.h"

#include "engine/HXIntervalAttribution.h"

using namespace HXKeys;

namespace {

struct CachedQuery {
    QString source;
    HXWildcardQuery query;
};

const int kCachedQueryTag = 0;

// The member's name, with its folded form computed only when a wildcard query first needs it.
class MemberName {
public:
    explicit MemberName(const QString& name) : m_name(name) {}
    const QString& text() const { return m_name; }
    bool matches(const HXWildcardQuery& query) {
        if (query.needsFoldedName() && !m_folded)
            m_folded = HXWildcardQuery::foldedName(m_name);
        return query.matches(m_name, m_folded ? *m_folded : QString());
    }

private:
    const QString& m_name;
    std::optional<QString> m_folded;
};

} // namespace

const HXWildcardQuery& HXPoolItemQuery(HXDictionary& record) {
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

void HXPoolMatcher::retain(const HXArray* pools) {
    const auto retainRecord = [this](const HXValue& value) -> const HXArray* {
        m_retainedValues.push_back(value);
        const HXDictionary* record = value.toDictionary().get();
        if (!record)
            return nullptr;
        for (HXKey key : {Name, ApplicationID}) {
            if (const HXValue* text = record->find(key))
                m_retainedTexts.push_back(text->toString());
        }
        if (const HXValue* children = record->find(Children))
            m_retainedValues.push_back(*children);
        return record->arrayPointerForKey(Children);
    };
    for (const HXValue& poolValue : pools->values()) {
        const HXArray* items = retainRecord(poolValue);
        if (!items)
            continue;
        for (const HXValue& itemValue : items->values()) {
            if (const HXArray* windows = retainRecord(itemValue)) {
                for (const HXValue& windowValue : windows->values())
                    retainRecord(windowValue);
            }
        }
    }
}

HXPoolMatcher::HXPoolMatcher(const HXArray* pools, bool matchApplicationsViaID)
    : m_matchApplicationsViaID(matchApplicationsViaID) {
    if (!pools)
        return;
    retain(pools);
    for (const HXValue& poolValue : pools->values()) {
        HXDictionary* pool = poolValue.toDictionary().get();
        // A paused pool and its items are never marked.
        if (!pool || pool->boolForKey(Paused))
            continue;
        const HXArray* children = pool->arrayPointerForKey(Children);
        if (!children)
            continue;
        const std::size_t poolIndex = m_pools.size();
        m_pools.push_back(pool);
        for (const HXValue& itemValue : children->values()) {
            HXDictionary* record = itemValue.toDictionary().get();
            // Ad hoc pool items are timed by hand, never by sampling.
            if (!record || record->stringForKey(ApplicationID) == QStringView(kAdHocPath))
                continue;
            Item item{record, poolIndex, &HXPoolItemQuery(*record), {}, false};
            if (const HXArray* windows = record->arrayPointerForKey(Children)) {
                item.narrowedToWindows = !windows->isEmpty();
                for (const HXValue& windowValue : windows->values()) {
                    if (HXDictionary* window = windowValue.toDictionary().get())
                        item.windows.push_back(WindowItem{window, &HXPoolItemQuery(*window)});
                }
            }
            const std::size_t index = m_items.size();
            if (record->boolForKey(MatchAnyApplication))
                m_matchAny.push_back(index);
            if (const HXValue* id = record->find(ApplicationID); id && id->isString())
                m_byID[id->toString()].push_back(index);
            if (item.query->needsFoldedName())
                m_wildcard.push_back(index);
            else
                m_plainByLength[record->stringForKey(Name).size()].push_back(index);
            m_items.push_back(std::move(item));
        }
    }
    m_itemStamp.assign(m_items.size(), 0);
    m_poolStamp.assign(m_pools.size(), 0);
}

void HXPoolMatcher::feed(HXDictionary& member, const HXTickTime& time, bool frontmost) {
    const HXValue* nameValue = member.find(Name);
    if (!nameValue || !nameValue->isString() || m_items.empty())
        return;
    MemberName name(nameValue->toString());
    const bool isWindow = member.stringForKey(Path) == QStringView(kWindowPath);
    ++m_stamp;

    const auto visit = [&](std::size_t index, bool knownMatch) {
        if (m_itemStamp[index] == m_stamp)
            return;
        Item& item = m_items[index];
        // A window feeds only items narrowed to windows; an application only items that are not.
        if (isWindow != item.narrowedToWindows)
            return;
        if (!knownMatch && !name.matches(*item.query))
            return;
        m_itemStamp[index] = m_stamp;
        bool hit = !isWindow;
        if (isWindow) {
            for (const WindowItem& window : item.windows) {
                if (name.matches(*window.query)) {
                    HXAttributeInterval(*window.record, time, frontmost);
                    m_marked.push_back(window.record);
                    hit = true;
                }
            }
        }
        if (!hit)
            return;
        HXAttributeInterval(*item.record, time, frontmost);
        m_marked.push_back(item.record);
        if (m_poolStamp[item.pool] != m_stamp) {
            m_poolStamp[item.pool] = m_stamp;
            HXAttributeInterval(*m_pools[item.pool], time, frontmost);
            m_marked.push_back(m_pools[item.pool]);
        }
    };

    for (std::size_t index : m_matchAny)
        visit(index, true);
    if (m_matchApplicationsViaID) {
        if (const HXValue* id = member.find(ApplicationID); id && id->isString()) {
            const auto found = m_byID.constFind(id->toString());
            if (found != m_byID.constEnd()) {
                for (std::size_t index : *found)
                    visit(index, true);
            }
        }
    }
    const auto plain = m_plainByLength.constFind(name.text().size());
    if (plain != m_plainByLength.constEnd()) {
        for (std::size_t index : *plain)
            visit(index, false);
    }
    for (std::size_t index : m_wildcard)
        visit(index, false);
}
