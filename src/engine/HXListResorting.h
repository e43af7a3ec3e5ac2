#pragma once

#include "foundation/HXArray.h"

#include <span>

class HXDictionary;

// Brings a list that was in sort order at the last tick back into order when only the given records may
// have moved: they are taken out and put back where they belong, instead of sorting the whole list again.
// The result is exactly what a full sort gives. Returns false, leaving the list alone, when it cannot be
// sure of that (a record missing from the list, or two records equal in every sort criterion); the
// caller then sorts fully.
bool HXResortChangedItems(HXArray& sortedList, std::span<HXDictionary* const> changed, int sortColumn);
