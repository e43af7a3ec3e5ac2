#pragma once

#include "engine/HXTickTime.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXWildcardQuery.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

// The pools as one sampling tick matches members against them: every pool item's name query is parsed
// once, and items are indexed by application key and by name length, so that feeding a member looks at
// the few items that can match it instead of every item of every pool.
class HXPoolMatcher {
public:
    HXPoolMatcher(const HXArray* pools, bool matchApplicationsViaID);

    // Attributes the tick's interval to every pool item (and window pool item) the member belongs to, and
    // to their pools.
    void feed(HXDictionary& member, const HXTickTime& time, bool frontmost);
    // The records marked since the last call, each once or more.
    const std::vector<const HXDictionary*>& markedRecords() const { return m_marked; }
    void forgetMarkedRecords() { m_marked.clear(); }

private:
    struct WindowItem {
        HXDictionary* record;
        const HXWildcardQuery* query;
    };
    struct Item {
        HXDictionary* record;
        std::size_t pool;
        const HXWildcardQuery* query;
        std::vector<WindowItem> windows;
        bool narrowedToWindows;
    };

    void retain(const HXArray* pools);

    bool m_matchApplicationsViaID;
    // Every record the matcher points to stays alive with it, even if a record leaves the pools
    // before the matcher is built again.
    std::vector<HXValue> m_retainedValues;
    std::vector<QString> m_retainedTexts;
    std::vector<HXDictionary*> m_pools;
    std::vector<Item> m_items;
    std::vector<std::size_t> m_matchAny;
    QHash<QString, std::vector<std::size_t>> m_byID;
    QHash<qsizetype, std::vector<std::size_t>> m_plainByLength;
    std::vector<std::size_t> m_wildcard;
    // Per feed: which items and pools were already looked at.
    std::vector<std::uint32_t> m_itemStamp;
    std::vector<std::uint32_t> m_poolStamp;
    std::uint32_t m_stamp = 0;
    std::vector<const HXDictionary*> m_marked;
};

// A pool item's name parsed as a query, cached on the record until the name changes.
const HXWildcardQuery& HXPoolItemQuery(HXDictionary& record);
