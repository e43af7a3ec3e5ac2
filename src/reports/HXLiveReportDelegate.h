#pragma once

#include "reports/HXReportControllerDelegate.h"

class HXLiveReportSource;

// The live report's data: the report list of the tracking data, from the first timestamp to the last
// sampling tick ("Last Timestamp").
class HXLiveReportDelegate final : public HXReportControllerDelegate {
public:
    explicit HXLiveReportDelegate(const HXLiveReportSource& source) : m_source(source) {}

    HXArrayRef eventLogsClippedBetweenTimestamp(double begin, double end,
                                                const HXReportController& controller) const override;
    void getFirstTimestamp(double* first, double* last, const HXReportController& controller) const override;

private:
    const HXLiveReportSource& m_source;
};
