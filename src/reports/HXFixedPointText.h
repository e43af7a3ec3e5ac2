#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Fixed-point text as printf's "%.*f" writes it (ASCII digits, correctly rounded, no grouping) with the
// given decimal separator, appended as UTF-8. Exports write millions of these, so no QString per number.
void HXAppendFixedPoint(QByteArray& out, double value, int fractionDigits, QByteArrayView decimalSeparator);

// The user's locale's decimal separator as UTF-8.
QByteArray HXLocaleDecimalSeparator();
