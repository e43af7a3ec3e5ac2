#pragma once

#include "foundation/HXDictionary.h"

class HXLiveReportSource;

// The live report list for [a, b]: clipped records of applications (each followed by its windows), then
// pools (each followed by its pool items and their windows), chosen and ordered by
// "Live Report Content (1252)", "Live Report: Applications" and "Live Report: Pools". Asked again for the
// same interval, or one that only ends later, it hands out the same clipped records for the items whose
// logs did not change (they remember their last clip), so call it on one thread at a time.
HXArrayRef eventLogsClippedBetweenTimestamp(const HXLiveReportSource& source, double a, double b);
