#include "ReportViewTestSupport.h"

#include "reports/HXClippedEventLog.h"

using namespace HXKeys;

namespace {

double sum(const std::vector<double>& log) {
    double total = 0;
    for (std::size_t i = 0; i + 1 < log.size(); i += 2)
        total += -log[i + 1] - log[i];
    return total;
}

} // namespace

HXDictionaryRef reportRecord(const QString& name, std::vector<double> front, std::vector<double> total,
                             const QString& path, const QString& type) {
    HXDictionaryRef record = HXDictionary::create();
    record->setValue(Name, name);
    if (!path.isEmpty())
        record->setValue(Path, path);
    if (!type.isEmpty())
        record->setValue(Type, type);
    if (!front.empty()) {
        record->setValue(FrontTime, sum(front));
        record->setValue(FrontActiveLog, HXArray::createWithDoubles(front));
    }
    if (!total.empty()) {
        record->setValue(Time, sum(total));
        record->setValue(ActiveLog, HXArray::createWithDoubles(total));
    }
    return record;
}

HXReportViewContent reportContent(std::vector<HXDictionaryRef> records, double begin, double end,
                                  double first, double last) {
    HXReportViewContent content;
    content.begin = begin;
    content.end = end;
    content.first = first;
    content.last = last;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const HXDictionaryRef& r = records[i];
        content.list->append(r);
        if (r->stringForKey(Path) == QStringView(kPoolPath)) {
            content.hasPools = true;
            if (content.firstPoolRow < 0)
                content.firstPoolRow = static_cast<qsizetype>(i);
        } else if (r->stringForKey(Type) != QStringView(kPoolItemType)) {
            content.hasApplications = true;
        }
    }
    return content;
}

HXArrayRef TestReportData::eventLogsClippedBetweenTimestamp(double begin, double end,
                                                            const HXReportController&) const {
    HXArrayRef list = HXArray::create();
    for (const HXDictionaryRef& source : sources) {
        bool events = false;
        HXDictionaryRef clipped = eventLogClippedBetweenTimestamp(source, begin, end, &events);
        if (events)
            list->append(clipped);
    }
    return list;
}

double localTime(int hour, int minute, int second) {
    return static_cast<double>(
        QDateTime(QDate(2026, 3, 16), QTime(hour, minute, second), Qt::LocalTime).toSecsSinceEpoch());
}
