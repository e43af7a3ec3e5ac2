#pragma once

#include "foundation/HXDictionary.h"

class HXLiveReportSource;

// The live report list for [a, b]: clipped records of applications (each followed by its windows), then
// pools (each followed by its pool items and their windows), chosen and ordered by
// "Live Report Content (1252)", "Live Report: Applications" and "Live Report: Pools".
HXArrayRef eventLogsClippedBetweenTimestamp(const HXLiveReportSource& source, double a, double b);
