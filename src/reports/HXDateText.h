#pragma once

#include "foundation/HXValue.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// The timestamp as medium date and time in the user's locale and local time.
QString stringWithTimeIntervalAsDate(double unixSeconds);
// "%04ld-%02ld-%02ld" of the date's local year, month and day.
QString yearMonthDayStringWithDate(const QDateTime& date);
QString yearMonthDayStringWithDateComponents(int year, int month, int day);

// Seconds and dates wrapped as numbers; anything without a number unwraps to 0.
inline HXValue numberWithTimeInterval(double seconds) {
    return HXValue(seconds);
}
inline double timeIntervalValue(const HXValue& number) {
    return number.toDouble();
}
HXValue numberWithDate(const QDateTime& date);
QDateTime dateValue(const HXValue& number);
