#pragma once

#include "foundation/HXDictionary.h"

class HXReportController;

// Where a report's data come from: the tracker for the live report, the snapshot store for a reopened
// CSV file.
class HXReportControllerDelegate {
public:
    virtual ~HXReportControllerDelegate() = default;

    virtual HXArrayRef eventLogsClippedBetweenTimestamp(double begin, double end,
                                                        const HXReportController& controller) const = 0;
    // The first and the last moment of the data; both 0 when there are none.
    virtual void getFirstTimestamp(double* first, double* last,
                                   const HXReportController& controller) const = 0;
};
