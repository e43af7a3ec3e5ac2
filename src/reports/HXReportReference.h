#pragma once

#include "foundation/HXArray.h"

// The interval that percentages in a report refer to: with rawInterval the report's own length; else the
// time during which any application or pool of the report list was active (windows and pool items do not
// count), from their clipped "Active Log" or, where that is empty, "Front Active Log".
double HXReportReferenceInterval(const HXArray& reportList, double begin, double end, bool rawInterval);
