#include "ui/shell/HXExportFileName.h"

#include "reports/HXDateText.h"

#include <QDateTime>

#include <cmath>

namespace {

QDateTime localDate(double unixSeconds) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(unixSeconds * 1000.0)),
                                          Qt::LocalTime);
}

} // namespace

QString proposedExportFileName(const QString& base, double begin, double end) {
    QString name = base;
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QDateTime from = localDate(begin);
    const QDateTime to = localDate(end);
    if (from.date() == to.date())
        return QStringLiteral("%1 \u2014 %2").arg(name, yearMonthDayStringWithDate(from));
    return QStringLiteral("%1 \u2014 %2 \u2192 %3")
        .arg(name, yearMonthDayStringWithDate(from), yearMonthDayStringWithDate(to));
}
