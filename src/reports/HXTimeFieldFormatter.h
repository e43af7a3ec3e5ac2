#pragma once

#include <QByteArray>
#include <QLocale>

// Writes timestamps with exactly two fraction digits in a locale, as UTF-8: the same text as
// QLocale::toString(value, 'f', 2), produced without building a QString per number where the locale
// allows it (ASCII digits, groups of three), which the constructor verifies against QLocale itself.
class HXTimeFieldFormatter {
public:
    explicit HXTimeFieldFormatter(const QLocale& locale = QLocale());

    void append(QByteArray& out, double value) const;
    QByteArray text(double value) const;

private:
    bool appendFast(QByteArray& out, double value) const;

    QLocale m_locale;
    bool m_fast = false;
    QByteArray m_decimal;
    QByteArray m_group;
    QByteArray m_minus;
};
