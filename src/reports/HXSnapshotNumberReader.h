#pragma once

#include <QChar>
#include <QLocale>
#include <QStringView>

#include <optional>

// Reads the time fields of an exported file. The decimal separator is inferred from a sample field (the
// third character from its end, as exports have two fraction digits): "." or "," with the other one as
// grouping separator, or else the user's locale. Grouping separators may appear between digits; the
// locale's own and the blanks that locales group with are accepted too, so that a file written under such
// a locale reads back.
class HXSnapshotNumberReader {
public:
    explicit HXSnapshotNumberReader(QStringView sample, const QLocale& locale = QLocale());

    // 0 for a text that is not a number.
    double read(QStringView field) const;

private:
    bool isGroupSeparator(QChar c) const;

    QLocale m_locale;
    std::optional<QChar> m_decimal;
    QChar m_group;
    QString m_localeGroup;
};
