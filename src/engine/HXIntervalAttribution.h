#pragma once

#include "engine/HXTickTime.h"

class HXDictionary;

// Counts a tick's interval for a record seen in it, and marks the record seen ("Active_", and "Front
// Active_" when frontmost) for consolidation (HXConsolidateEventLogs). "Time" grows by the interval when
// the record was active at the previous tick, "Front Time" when it is frontmost now and was in front then.
// However often a record is seen in one tick (two processes of one application, several members of one
// pool), each grows at most once, and in front when any of the sightings was.
void HXAttributeInterval(HXDictionary& record, const HXTickTime& time, bool frontmost);
