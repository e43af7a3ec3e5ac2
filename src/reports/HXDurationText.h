#pragma once

#include <QString>

// Durations, percentages and decimals as the user reads them, in the user's locale (QLocale()).
// expressAsDays is the setting "Express Time Intervals As Days".

// "m:ss" below an hour, "h:mm:ss" above, "1 day" / "%@ days" from 24 hours on when expressAsDays;
// zero is empty with eatZero and "-" without. Fractions and the sign are dropped; NaN counts as zero, and
// a duration longer than any two real timestamps allow reads "out of range".
QString stringWithTimeIntervalEatZero(double seconds, bool eatZero, bool expressAsDays);
// "<1%", "%lu%%" of the reference, or the duration text when there is no reference; "out of range" when
// either is.
QString stringWithTimeIntervalAsPercentageOfTimeIntervalEatZero(double seconds, double reference,
                                                                bool eatZero, bool expressAsDays);
// Fixed-point as printf writes it with the locale's decimal separator (no grouping); trim drops the
// fraction's trailing zeros and then a bare separator.
QString localizedStringWithDouble(double value, int numberOfFractionDigits, bool trim);
