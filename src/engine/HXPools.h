#pragma once

#include "foundation/HXDictionary.h"

#include <optional>
#include <vector>

// Feeds every pool that the counted application or window belongs to: its pool items (and window pool
// items) and the pool itself are marked as seen in this tick, at most once each.
void checkPools(const HXArray* pools, HXDictionary& item, bool gap, double interval, bool frontmost,
                bool matchApplicationsViaID);

// By identity: empty when the record is a pool, [pool] for a pool item, [pool, item] for a window pool
// item; nothing when the record is not in the pools.
std::optional<std::vector<HXDictionaryRef>> poolAncestorsOfItem(const HXArray* pools,
                                                                const HXDictionary* record);
