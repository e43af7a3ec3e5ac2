#include "engine/HXListResorting.h"

#include "foundation/HXDictionary.h"
#include "foundation/HXSorting.h"

#include <algorithm>
#include <vector>

bool HXResortChangedItems(HXArray& sortedList, std::span<HXDictionary* const> changed, int sortColumn) {
    if (sortedList.isPacked() && !sortedList.isEmpty())
        return false;
    std::vector<HXValue> rest;
    std::vector<HXValue> moved;
    rest.reserve(sortedList.values().size());
    for (const HXValue& value : sortedList.values()) {
        HXDictionary* record = value.toDictionary().get();
        if (!record)
            return false;
        if (std::find(changed.begin(), changed.end(), record) != changed.end())
            moved.push_back(value);
        else
            rest.push_back(value);
    }
    if (moved.size() != changed.size())
        return false;
    for (const HXValue& value : moved) {
        HXDictionary& record = *value.toDictionary();
        const auto at =
            std::lower_bound(rest.begin(), rest.end(), value, [&](const HXValue& r, const HXValue&) {
                return HXCompareItems(*r.toDictionary(), record, sortColumn) < 0;
            });
        // A record equal to another in every criterion keeps its place by dictionary order, which only a
        // full sort knows.
        if (at != rest.end() && HXCompareItems(*at->toDictionary(), record, sortColumn) == 0)
            return false;
        rest.insert(at, value);
    }
    sortedList.assignValues(std::move(rest));
    return true;
}
