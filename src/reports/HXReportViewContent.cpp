#include "reports/HXReportViewContent.h"

#include "reports/HXEventStream.h"
#include "reports/HXReportController.h"
#include "reports/HXReportReference.h"

#include "foundation/HXUserDefaults.h"

using namespace HXKeys;

bool HXReportViewContent::showsRibbon() const {
    return !(HXSimilarAbsoluteTimeIntervals(begin, first) && HXSimilarAbsoluteTimeIntervals(end, last));
}

HXReportViewContent HXReportViewContentFromController(HXReportController& controller,
                                                      const HXReportViewContent* previous) {
    HXReportViewContent content;
    controller.getBeginTimestamp(&content.begin, &content.end, &content.first, &content.last);
    if (HXSimilarAbsoluteTimeIntervals(content.begin, content.end))
        return content;
    content.list = controller.eventLogsClippedBetweenTimestamp(content.begin, content.end);
    const std::vector<HXValue>& values = content.list->values();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const HXDictionaryRef& record = values[i].toDictionary();
        if (!record)
            continue;
        const QString& path = record->stringForKey(Path);
        if (path == QStringView(kPoolPath)) {
            content.hasPools = true;
            if (content.firstPoolRow < 0)
                content.firstPoolRow = static_cast<qsizetype>(i);
        } else if (record->stringForKey(Type) != QStringView(kPoolItemType)) {
            content.hasApplications = true;
        }
    }
    const bool raw =
        controller.defaults().boolForKey(u"Reports Show Percentages: Reference Raw Report Interval");
    if (!raw) {
        content.activity = HXReportActivityUnion::make(*content.list, content.begin, content.end,
                                                       previous ? previous->activity.get() : nullptr);
        content.reference = content.activity->length();
    }
    return content;
}
