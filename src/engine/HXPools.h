#pragma once

#include "foundation/HXDictionary.h"

#include <QString>

#include <optional>
#include <vector>

// A new pool item: the name, the path (kPoolPath for a pool, kWindowPath for a window pool item, else
// the application's) and, when given, the application ID.
HXDictionaryRef newPoolItem(const QString& name, const QString& path,
                            const std::optional<QString>& applicationID);
// The record's "Children", an empty array put in first when it has none.
HXArrayRef childrenCreatingThem(HXDictionary& record);

// Feeds every pool that the counted application or window belongs to: its pool items (and window pool
// items) and the pool itself are marked as seen in this tick, at most once each.
void checkPools(const HXArray* pools, HXDictionary& item, bool gap, double interval, bool frontmost,
                bool matchApplicationsViaID);

// By identity: empty when the record is a pool, [pool] for a pool item, [pool, item] for a window pool
// item; nothing when the record is not in the pools.
std::optional<std::vector<HXDictionaryRef>> poolAncestorsOfItem(const HXArray* pools,
                                                                const HXDictionary* record);
