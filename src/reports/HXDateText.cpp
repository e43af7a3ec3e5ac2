#include "reports/HXDateText.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace {

// Qt's locales know short and long formats; a medium one is the long one without the weekday, with
// abbreviated month names, and with the time's seconds but without its zone.
QString mediumDateTimeFormat(const QLocale& locale) {
    static const QRegularExpression weekday(QStringLiteral("\\s*dddd[,\\x{060C}]?\\s*"));
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?t+\\)?\\s*"));
    QString date = locale.dateFormat(QLocale::LongFormat);
    date.replace(weekday, QStringLiteral(" "));
    date.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    QString time = locale.timeFormat(QLocale::LongFormat);
    time.replace(zone, QStringLiteral(" "));
    return date.trimmed() + u' ' + time.trimmed();
}

} // namespace

QString stringWithTimeIntervalAsDate(double unixSeconds) {
    const QLocale locale;
    const auto msecs = static_cast<qint64>(std::llround(unixSeconds * 1000.0));
    return locale.toString(QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime),
                           mediumDateTimeFormat(locale));
}

QString yearMonthDayStringWithDateComponents(int year, int month, int day) {
    return QStringLiteral("%1-%2-%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

QString yearMonthDayStringWithDate(const QDateTime& date) {
    const QDate day = date.toLocalTime().date();
    return yearMonthDayStringWithDateComponents(day.year(), day.month(), day.day());
}

HXValue numberWithDate(const QDateTime& date) {
    return HXValue(static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0);
}

QDateTime dateValue(const HXValue& number) {
    const double seconds = number.toDouble();
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(seconds * 1000.0)), Qt::LocalTime);
}
