#include "reports/HXReportInterval.h"

#include "foundation/HXUserDefaults.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

// Berlin local time and a chosen locale for each test, restored after.
class ReportInterval : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        m_hadTZ = tz != nullptr;
        if (tz)
            m_savedTZ = tz;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        m_savedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override {
        if (m_hadTZ)
            setenv("TZ", m_savedTZ.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        QLocale::setDefault(m_savedLocale);
    }

    // Unix time of a Berlin wall-clock time, computed independently of the local time machinery.
    static double berlin(int y, int mo, int d, int h, int mi = 0) {
        const QDateTime t(QDate(y, mo, d), QTime(h, mi), QTimeZone(QByteArrayLiteral("Europe/Berlin")));
        return static_cast<double>(t.toSecsSinceEpoch());
    }
    static double utc(int y, int mo, int d, int h, int mi = 0) {
        return static_cast<double>(QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC).toSecsSinceEpoch());
    }

    static double begin(int kind, double moment, int offset = 0, double lower = 0, double upper = 4e9) {
        double out = -1;
        EXPECT_TRUE(HXGetReportIntervalSpecificBeginTimestamp(&out, kind, moment, lower, upper, offset));
        return out;
    }

private:
    bool m_hadTZ = false;
    std::string m_savedTZ;
    QLocale m_savedLocale;
};

} // namespace

TEST_F(ReportInterval, TodayWithDayOffsetAndBounds) {
    // Midnight in Berlin in winter is 23:00 UTC of the day before.
    EXPECT_EQ(begin(HXReportIntervalToday, berlin(2026, 1, 15, 14)), utc(2026, 1, 14, 23));
    // 02:00 with a day offset of 4: 04:00 of the previous day.
    const double moment = berlin(2026, 1, 15, 2);
    EXPECT_EQ(begin(HXReportIntervalToday, moment, 4), berlin(2026, 1, 14, 4));
    EXPECT_EQ(begin(HXReportIntervalToday, berlin(2026, 1, 15, 4), 4), berlin(2026, 1, 15, 4));
    // An upper bound before the begin: false and the out value untouched.
    double out = -1;
    EXPECT_FALSE(HXGetReportIntervalSpecificBeginTimestamp(&out, HXReportIntervalToday, moment, 0,
                                                           berlin(2026, 1, 14, 3), 4));
    EXPECT_EQ(out, -1);
    // A lower bound after the begin is the answer.
    EXPECT_EQ(begin(HXReportIntervalToday, moment, 4, berlin(2026, 1, 14, 9)), berlin(2026, 1, 14, 9));
    // Kind 0 answers false; unknown kinds are Today; offsets outside 1...23 mean midnight.
    EXPECT_FALSE(HXGetReportIntervalSpecificBeginTimestamp(&out, HXReportIntervalNone, moment, 0, 4e9, 0));
    EXPECT_EQ(out, -1);
    EXPECT_EQ(begin(9, moment), berlin(2026, 1, 15, 0));
    EXPECT_EQ(begin(HXReportIntervalToday, moment, 24), berlin(2026, 1, 15, 0));
    EXPECT_EQ(begin(HXReportIntervalToday, moment, -3), berlin(2026, 1, 15, 0));
}

TEST_F(ReportInterval, WeekStartsOnTheLocalesFirstDay) {
    // Sunday 2026-01-18, 10:00.
    const double sunday = berlin(2026, 1, 18, 10);
    EXPECT_EQ(begin(HXReportIntervalThisWeek, sunday),
              berlin(2026, 1, 12, 0)); // German weeks start on Monday
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(begin(HXReportIntervalThisWeek, sunday), berlin(2026, 1, 18, 0)); // American ones on Sunday
    EXPECT_EQ(begin(HXReportIntervalThisWeek, berlin(2026, 1, 17, 23)), berlin(2026, 1, 11, 0));
    // A week across the turn of the year.
    EXPECT_EQ(begin(HXReportIntervalThisWeek, berlin(2026, 1, 2, 12)), berlin(2025, 12, 28, 0));
    // The day offset moves the week's start back a day when the moment is before it.
    EXPECT_EQ(begin(HXReportIntervalThisWeek, berlin(2026, 1, 18, 3), 5), berlin(2026, 1, 17, 5));
}

TEST_F(ReportInterval, MonthAndYearEnds) {
    EXPECT_EQ(begin(HXReportIntervalThisMonth, berlin(2026, 1, 31, 23, 59)), berlin(2026, 1, 1, 0));
    EXPECT_EQ(begin(HXReportIntervalThisMonth, berlin(2026, 3, 1, 0, 30)), berlin(2026, 3, 1, 0));
    // Before the offset hour on the first of the month: the last day of the month before.
    EXPECT_EQ(begin(HXReportIntervalThisMonth, berlin(2026, 3, 1, 2), 4), berlin(2026, 2, 28, 4));
    EXPECT_EQ(begin(HXReportIntervalThisMonth, berlin(2024, 3, 1, 2), 4), berlin(2024, 2, 29, 4));
    EXPECT_EQ(begin(HXReportIntervalThisYear, berlin(2026, 12, 31, 23)), berlin(2026, 1, 1, 0));
    EXPECT_EQ(begin(HXReportIntervalThisYear, berlin(2026, 1, 1, 1), 3), berlin(2025, 12, 31, 3));
}

TEST_F(ReportInterval, DaylightSavingChanges) {
    // Spring forward on 2026-03-29 (02:00 → 03:00): the day began at 00:00 CET, 23:00 UTC.
    EXPECT_EQ(begin(HXReportIntervalToday, berlin(2026, 3, 29, 12)), utc(2026, 3, 28, 23));
    // The day after began at 00:00 CEST, 22:00 UTC.
    EXPECT_EQ(begin(HXReportIntervalToday, berlin(2026, 3, 30, 12)), utc(2026, 3, 29, 22));
    // Going back a calendar day across the change keeps the wall-clock hour, not 24 hours.
    EXPECT_EQ(begin(HXReportIntervalToday, berlin(2026, 3, 30, 1), 4), berlin(2026, 3, 29, 4));
    EXPECT_EQ(begin(HXReportIntervalToday, berlin(2026, 3, 30, 1), 4), utc(2026, 3, 29, 2));
    // An offset hour that does not exist that day begins at the first moment after the gap.
    EXPECT_EQ(begin(HXReportIntervalToday, berlin(2026, 3, 29, 12), 2), utc(2026, 3, 29, 1));
    // Fall back on 2026-10-25 (03:00 → 02:00): a 25-hour day that began at 00:00 CEST.
    EXPECT_EQ(begin(HXReportIntervalToday, berlin(2026, 10, 25, 23)), utc(2026, 10, 24, 22));
    EXPECT_EQ(begin(HXReportIntervalThisMonth, berlin(2026, 11, 2, 12)), utc(2026, 10, 31, 23));
}

TEST_F(ReportInterval, DayOffsetSetting) {
    ScratchFolder scratch;
    HXUserDefaults defaults(scratch.file(QStringLiteral("Defaults.plist")));
    EXPECT_EQ(HXReportDayOffset(defaults), 0);
    defaults.setInteger(u"HXChameleonDatePicker: Day Offset", 4);
    EXPECT_EQ(HXReportDayOffset(defaults), 4);
    double out = 0;
    EXPECT_TRUE(HXGetReportIntervalSpecificBeginTimestamp(&out, HXReportIntervalToday, berlin(2026, 1, 15, 2),
                                                          0, 4e9, defaults));
    EXPECT_EQ(out, berlin(2026, 1, 14, 4));
    defaults.setInteger(u"HXChameleonDatePicker: Day Offset", 30);
    EXPECT_EQ(HXReportDayOffset(defaults), 0);
}
