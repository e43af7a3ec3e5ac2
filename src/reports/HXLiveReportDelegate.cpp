#include "reports/HXLiveReportDelegate.h"

#include "reports/HXLiveReport.h"
#include "reports/HXLiveReportSource.h"

HXArrayRef HXLiveReportDelegate::eventLogsClippedBetweenTimestamp(double begin, double end,
                                                                  const HXReportController&) const {
    return ::eventLogsClippedBetweenTimestamp(m_source, begin, end);
}

void HXLiveReportDelegate::getFirstTimestamp(double* first, double* last, const HXReportController&) const {
    const HXDictionaryRef configuration = m_source.configuration();
    if (first)
        *first = firstTimestamp(configuration.get());
    if (last)
        *last = configuration ? configuration->timeIntervalForKey(u"Last Timestamp") : 0;
}
