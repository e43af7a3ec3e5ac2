#include "engine/HXListResorting.h"

#include "foundation/HXDictionary.h"
#include "foundation/HXSorting.h"

#include <algorithm>
#include <vector>

namespace {

// Whether every changed record still lies strictly between its neighbours: then, the others being in order
// among themselves, the whole list is. The usual tick: the records in front gain a little time and keep
// their places. False also when a changed record is missing from the list.
bool changedItemsStayInPlace(const std::vector<HXValue>& values, std::span<HXDictionary* const> changed,
                             int sortColumn) {
    std::vector<const HXDictionary*> lookup(changed.begin(), changed.end());
    std::sort(lookup.begin(), lookup.end());
    std::size_t found = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        HXDictionary* record = values[i].toDictionary().get();
        if (!record)
            return false;
        if (!std::binary_search(lookup.begin(), lookup.end(), record))
            continue;
        ++found;
        if (i > 0 && HXCompareItems(*values[i - 1].toDictionary(), *record, sortColumn) >= 0)
            return false;
        if (i + 1 < values.size() && values[i + 1].toDictionary() &&
            HXCompareItems(*record, *values[i + 1].toDictionary(), sortColumn) >= 0)
            return false;
    }
    return found == changed.size();
}

} // namespace

bool HXResortChangedItems(HXArray& sortedList, std::span<HXDictionary* const> changed, int sortColumn) {
    if (sortedList.isPacked() && !sortedList.isEmpty())
        return false;
    if (changedItemsStayInPlace(sortedList.values(), changed, sortColumn))
        return true;
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
