#pragma once

#include "engine/HXTickTime.h"

class HXDictionary;

// Event logs. A record's "Active Log" (while it was active) and "Front Active Log" (while it was in front)
// are arrays of Unix timestamps: a positive number begins an entry at that moment, a negative number ends
// the entry before it at its absolute value. Begins and ends alternate and ascend (begin, -end, begin,
// -end, ...), and a log may close with one begin alone: the entry still running. "Active" and "Front
// Active" say whether the record was so at the last tick.
//
// Consolidating is the one place where sampling writes event logs. A tick marks every record it sees
// ("Active_", "Front Active_": HXAttributeInterval), then consolidates each record it may have changed, for
// each of the two logs:
// - seen now: an entry begins at this tick, unless one is running already, which goes on;
// - not seen, with an entry running: the entry ends at the previous tick, the last moment the record was
//   seen; one that began at the previous tick itself would have no length and loses its begin instead;
//   with no previous tick at all it ends now;
// - at a gap tick, a running entry first ends at the previous tick the same way (losing its begin when
//   there was no previous tick), so that the time in between never counts.
// Two timestamps within 1 ms of each other are the same moment. The marks are removed, and the states
// set from them. Returns whether the record is active now. A record neither seen nor running nor
// active is left as it is.
bool HXConsolidateEventLogs(HXDictionary& record, const HXTickTime& time);
