#include "reports/HXReportInterval.h"

#include "foundation/HXUserDefaults.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>

int HXReportDayOffset(const HXUserDefaults& defaults) {
    const std::int64_t hour = defaults.integerForKey(u"HXChameleonDatePicker: Day Offset");
    return hour >= 1 && hour <= 23 ? static_cast<int>(hour) : 0;
}

namespace {

QDate firstDayOfInterval(QDate day, int kind) {
    switch (kind) {
    case HXReportIntervalThisWeek: {
        const int first = static_cast<int>(QLocale().firstDayOfWeek());
        return day.addDays(-((day.dayOfWeek() - first + 7) % 7));
    }
    case HXReportIntervalThisMonth:
        return QDate(day.year(), day.month(), 1);
    case HXReportIntervalThisYear:
        return QDate(day.year(), 1, 1);
    default:
        return day;
    }
}

} // namespace

bool HXGetReportIntervalSpecificBeginTimestamp(double* begin, int kind, std::optional<double> moment,
                                               double lowerBound, double upperBound, int dayOffset) {
    if (kind == HXReportIntervalNone)
        return false;
    if (kind < HXReportIntervalToday || kind > HXReportIntervalThisYear)
        kind = HXReportIntervalToday;
    const double seconds =
        moment ? *moment : static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    const auto msecs = static_cast<qint64>(std::floor(seconds * 1000.0));
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime);
    const int hour = dayOffset >= 1 && dayOffset <= 23 ? dayOffset : 0;
    QDateTime start(firstDayOfInterval(local.date(), kind), QTime(hour, 0), Qt::LocalTime);
    if (hour != 0 && local < start)
        start = start.addDays(-1);
    const double beginSeconds = static_cast<double>(start.toMSecsSinceEpoch()) / 1000.0;
    if (upperBound < beginSeconds)
        return false;
    if (begin)
        *begin = std::max(lowerBound, beginSeconds);
    return true;
}

bool HXGetReportIntervalSpecificBeginTimestamp(double* begin, int kind, std::optional<double> moment,
                                               double lowerBound, double upperBound,
                                               const HXUserDefaults& defaults) {
    return HXGetReportIntervalSpecificBeginTimestamp(begin, kind, moment, lowerBound, upperBound,
                                                     HXReportDayOffset(defaults));
}
