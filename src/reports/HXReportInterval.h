#pragma once

#include <optional>

class HXUserDefaults;

// The report intervals that begin at a calendar boundary; any other value is taken as Today.
enum HXReportIntervalKind : int {
    HXReportIntervalNone = 0,
    HXReportIntervalToday = 1,
    HXReportIntervalThisWeek = 2,
    HXReportIntervalThisMonth = 3,
    HXReportIntervalThisYear = 4,
};

// The hour at which a day begins ("HXChameleonDatePicker: Day Offset"); 0 unless between 1 and 23.
int HXReportDayOffset(const HXUserDefaults& defaults);

// Where the interval of the kind containing the moment (now when none) begins, in local time with the
// locale's first weekday and the day offset; stores max(lower, begin) and answers true, or answers false
// for kind 0 and when the upper bound lies before the begin.
bool HXGetReportIntervalSpecificBeginTimestamp(double* begin, int kind, std::optional<double> moment,
                                               double lowerBound, double upperBound, int dayOffset);
bool HXGetReportIntervalSpecificBeginTimestamp(double* begin, int kind, std::optional<double> moment,
                                               double lowerBound, double upperBound,
                                               const HXUserDefaults& defaults);
