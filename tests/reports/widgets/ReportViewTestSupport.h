#pragma once

#include "reports/HXReportController.h"
#include "reports/HXReportControllerDelegate.h"
#include "reports/HXReportViewContent.h"

#include "foundation/HXUserDefaults.h"
#include "foundation/HXVirtualTime.h"
#include "support/TestSupport.h"

#include <QDateTime>

#include <memory>
#include <vector>

// A report record as the report list holds it: name, kind and clipped logs with their totals.
HXDictionaryRef reportRecord(const QString& name, std::vector<double> front, std::vector<double> total = {},
                             const QString& path = QString(), const QString& type = QString());

// Content drawn between begin and end, with first and last as the data's bounds.
HXReportViewContent reportContent(std::vector<HXDictionaryRef> records, double begin, double end,
                                  double first, double last);

// Data for a live report controller: records clipped to whatever interval is asked for.
class TestReportData final : public HXReportControllerDelegate {
public:
    HXArrayRef eventLogsClippedBetweenTimestamp(double begin, double end,
                                                const HXReportController& controller) const override;
    void getFirstTimestamp(double* firstOut, double* lastOut, const HXReportController&) const override {
        *firstOut = first;
        *lastOut = last;
    }
    std::vector<HXDictionaryRef> sources;
    double first = 0;
    double last = 0;
};

// Local wall-clock time on a fixed day.
double localTime(int hour, int minute, int second = 0);
