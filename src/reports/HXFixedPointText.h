#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Fixed-point text as printf's "%.*f" writes it (ASCII digits, correctly rounded, no grouping) with the
// given decimal separator, appended as UTF-8. Exports write millions of these, so no QString per number.
void HXAppendFixedPoint(QByteArray& out, double value, int fractionDigits, QByteArrayView decimalSeparator);
// The same written at p, which must have room for kHXFixedPointMaximumLength bytes plus the separator's;
// answers the end of what was written.
inline constexpr int kHXFixedPointMaximumLength = 400;
char* HXWriteFixedPoint(char* p, double value, int fractionDigits, QByteArrayView decimalSeparator);

// The user's locale's decimal separator as UTF-8.
QByteArray HXLocaleDecimalSeparator();
