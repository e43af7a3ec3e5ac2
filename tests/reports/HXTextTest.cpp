#include "reports/HXDateText.h"
#include "reports/HXDurationText.h"
#include "reports/HXPathText.h"
#include "reports/HXSymbolStrings.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

namespace {

QString duration(double seconds, bool eatZero = false, bool days = true) {
    return stringWithTimeIntervalEatZero(seconds, eatZero, days);
}

QString percentage(double seconds, double reference, bool eatZero = false) {
    return stringWithTimeIntervalAsPercentageOfTimeIntervalEatZero(seconds, reference, eatZero, true);
}

// Switches the default locale for one test and restores it after.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) : m_saved(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

} // namespace

TEST(DurationText, MinutesHoursAndZero) {
    EXPECT_EQ(duration(0, true), QString());
    EXPECT_EQ(duration(0), u"-");
    EXPECT_EQ(duration(0.9), u"-");
    EXPECT_EQ(duration(0.9, true), QString());
    EXPECT_EQ(duration(1), u"0:01");
    EXPECT_EQ(duration(5.99), u"0:05");
    EXPECT_EQ(duration(-65), u"1:05");
    EXPECT_EQ(duration(3599), u"59:59");
    EXPECT_EQ(duration(3600), u"1:00:00");
    EXPECT_EQ(duration(86399), u"23:59:59");
    EXPECT_EQ(duration(100000, false, false), u"27:46:40");
}

TEST(DurationText, Days) {
    EXPECT_EQ(duration(86400), u"1 day");
    EXPECT_EQ(duration(86400, false, false), u"24:00:00");
    EXPECT_EQ(duration(25 * 3600), u"1 day");
    EXPECT_EQ(duration(36 * 3600), u"1.5 days");
    EXPECT_EQ(duration(240 * 3600), u"10 days");
    // 1.95 days rounds to 2.0 and is trimmed.
    EXPECT_EQ(duration(1.96 * 86400), u"2 days");
    EXPECT_EQ(duration(-2.5 * 86400), u"2.5 days");
}

TEST(DurationText, CommaLocale) {
    const LocaleScope german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(duration(36 * 3600), u"1,5 days");
    EXPECT_EQ(duration(86400), u"1 day");
    EXPECT_EQ(localizedStringWithDouble(1.5, 2, false), u"1,50");
    EXPECT_EQ(localizedStringWithDouble(1.5, 2, true), u"1,5");
    EXPECT_EQ(localizedStringWithDouble(1234.5, 2, false), u"1234,50");
    EXPECT_EQ(localizedStringWithDouble(1000.0, 1, true), u"1000");
}

TEST(PercentageText, Boundaries) {
    EXPECT_EQ(percentage(1, 1000), u"<1%");
    EXPECT_EQ(percentage(9.99, 1000), u"<1%");
    EXPECT_EQ(percentage(10, 1000), u"1%");
    EXPECT_EQ(percentage(999.9995, 1000), u"100%");
    EXPECT_EQ(percentage(999.998, 1000), u"99%");
    EXPECT_EQ(percentage(1500, 1000), u"100%");
    EXPECT_EQ(percentage(420, 1000), u"42%");
    // No part: empty or "-"; no reference: the duration.
    EXPECT_EQ(percentage(0.001, 1000), u"-");
    EXPECT_EQ(percentage(0.001, 1000, true), QString());
    EXPECT_EQ(percentage(65, 0.001), u"1:05");
    EXPECT_EQ(percentage(0, 0, true), QString());
}

TEST(DurationText, ValuesNoRealTimestampsAllowReadOutOfRange) {
    // A damaged file's times: NaN counts for nothing, anything beyond the years a timestamp can name has
    // no number of days, and no cast of such a value is made.
    EXPECT_EQ(duration(std::numeric_limits<double>::quiet_NaN()), u"-");
    EXPECT_EQ(duration(1e45), u"out of range");
    EXPECT_EQ(duration(-std::numeric_limits<double>::infinity()), u"out of range");
    EXPECT_EQ(duration(9e18, false, false), u"out of range");
    EXPECT_EQ(duration(3.0e11), u"3472222.2 days");
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(percentage(inf, inf), u"out of range");
    EXPECT_EQ(percentage(10, 1e45), u"out of range");
    EXPECT_EQ(percentage(std::numeric_limits<double>::quiet_NaN(), 1000), u"-");
    EXPECT_EQ(percentage(500, std::numeric_limits<double>::quiet_NaN()), u"8:20");
}

TEST(DecimalText, Trimming) {
    const LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(localizedStringWithDouble(1.5, 2, true), u"1.5");
    EXPECT_EQ(localizedStringWithDouble(2.0, 1, true), u"2");
    EXPECT_EQ(localizedStringWithDouble(10.0, 1, true), u"10");
    EXPECT_EQ(localizedStringWithDouble(0.5, 1, true), u"0.5");
    EXPECT_EQ(localizedStringWithDouble(0.0, 1, true), u"0");
    // Rounded as printf rounds: the exact binary value decides, ties to even.
    EXPECT_EQ(localizedStringWithDouble(1.25, 1, false), u"1.2");
    EXPECT_EQ(localizedStringWithDouble(1.005, 2, false), u"1.00");
    EXPECT_EQ(localizedStringWithDouble(-3.14159, 3, false), u"-3.142");
    // Without fraction digits the zeros of the number stay.
    EXPECT_EQ(localizedStringWithDouble(100.0, 0, true), u"100");
    EXPECT_EQ(localizedStringWithDouble(1700000000.0, 2, false), u"1700000000.00");
}

TEST(DateText, YearMonthDayAndDates) {
    EXPECT_EQ(yearMonthDayStringWithDateComponents(987, 3, 4), u"0987-03-04");
    const QDateTime local(QDate(2026, 12, 7), QTime(23, 59), Qt::LocalTime);
    EXPECT_EQ(yearMonthDayStringWithDate(local), u"2026-12-07");
    EXPECT_EQ(dateValue(numberWithDate(local)), local);
    EXPECT_EQ(timeIntervalValue(numberWithTimeInterval(12.5)), 12.5);
    EXPECT_EQ(timeIntervalValue(HXValue(QStringLiteral("12"))), 0);

    const LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString text = stringWithTimeIntervalAsDate(static_cast<double>(local.toSecsSinceEpoch()) + 5);
    EXPECT_TRUE(text.contains(u"Dec 7, 2026")) << text.toStdString();
    EXPECT_TRUE(text.contains(u"11:59:05")) << text.toStdString();
    EXPECT_FALSE(text.contains(u"Monday")) << text.toStdString();
}

TEST(SymbolStrings, Characters) {
    EXPECT_EQ(rightTriangleArrowString(), QString(QChar(0x25B8)));
    EXPECT_EQ(dashString(), QString(QChar(0x2014)));
    EXPECT_EQ(bulletString(), QString(QChar(0x2022)));
    EXPECT_EQ(spacedRightTriangleArrowString(), u' ' + rightTriangleArrowString() + u' ');
    EXPECT_EQ(spacedDashString(), u' ' + dashString() + u' ');
}

TEST(PathText, VolumesAndComponents) {
    EXPECT_EQ(volumePath(QStringLiteral("/Volumes/Backup/Reports/a.csv")), u"/Volumes/Backup");
    EXPECT_EQ(volumePath(QStringLiteral("/Volumes/Backup")), u"/Volumes/Backup");
    EXPECT_EQ(volumePath(QStringLiteral("/home/me/Reports")), u"/");
    EXPECT_EQ(displayFileName(QStringLiteral("/home/me/2026-12-07.csv")), u"2026-12-07");
    EXPECT_EQ(displayFileName(QStringLiteral("/home/me/.hidden")), u".hidden");

    const QString path = QStringLiteral("/home/me/Reports/2026.csv");
    EXPECT_EQ(pathComponentsToDisplayRelativeToPath(path, QString(), true),
              (QStringList{QStringLiteral("/"), QStringLiteral("home"), QStringLiteral("me"),
                           QStringLiteral("Reports"), QStringLiteral("2026.csv")}));
    EXPECT_EQ(pathComponentsToDisplayRelativeToPath(path, QStringLiteral("/home/me"), true),
              (QStringList{QStringLiteral("Reports"), QStringLiteral("2026.csv")}));
    EXPECT_EQ(pathComponentsToDisplayRelativeToPath(path, QStringLiteral("/home/me"), false),
              (QStringList{QStringLiteral("Reports")}));
    // A base as long as the path itself is ignored; a single remaining component stays.
    EXPECT_EQ(pathComponentsToDisplayRelativeToPath(path, path, true).size(), 5);
    EXPECT_EQ(pathComponentsToDisplayRelativeToPath(path, QStringLiteral("/home/me/Reports"), false),
              (QStringList{QStringLiteral("2026.csv")}));
}

TEST(PathText, ReadableRepresentation) {
    ScratchFolder scratch;
    QDir(scratch.path()).mkpath(QStringLiteral("Reports"));
    const QString folder = scratch.file(QStringLiteral("Reports"));
    const QString arrow = spacedRightTriangleArrowString();
    EXPECT_EQ(readablePathRepresentationRelativeToPath(folder, scratch.path(), true), u"Reports");
    EXPECT_EQ(readablePathRepresentationRelativeToPath(folder + QStringLiteral("/"),
                                                       QFileInfo(scratch.path()).path(), true),
              QFileInfo(scratch.path()).fileName() + arrow + QStringLiteral("Reports"));
    const QString missing = scratch.file(QStringLiteral("gone"));
    EXPECT_EQ(readablePathRepresentationRelativeToPath(missing, QString(), true),
              missing + u' ' + dashString() + QStringLiteral(" Not found"));
    EXPECT_EQ(
        readablePathRepresentationRelativeToPath(QStringLiteral("/Volumes/NoSuchDisk/x"), QString(), true),
        QStringLiteral("/Volumes/NoSuchDisk/x ") + dashString() + QStringLiteral(" Currently not available"));
}
