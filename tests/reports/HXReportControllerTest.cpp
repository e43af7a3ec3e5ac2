// The report controller on virtual time: begin and end from the settings and the data, the controls
// that follow, explicit intervals from the view, stepping by calendar units or by span, interpretation
// back to a named interval, the controls' actions, and where snapshot settings live.
#include "reports/HXReportController.h"
#include "reports/HXReportControllerDelegate.h"
#include "reports/HXReportInterval.h"

#include "foundation/HXUserDefaults.h"
#include "foundation/HXVirtualTime.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

class FixedData final : public HXReportControllerDelegate {
public:
    HXArrayRef eventLogsClippedBetweenTimestamp(double, double, const HXReportController&) const override {
        return HXArray::create();
    }
    void getFirstTimestamp(double* f, double* l, const HXReportController&) const override {
        *f = first;
        *l = last;
    }
    double first = 0;
    double last = 0;
};

double berlin(int y, int mo, int d, int h, int mi = 0, int s = 0) {
    return static_cast<double>(
        QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone(QByteArrayLiteral("Europe/Berlin")))
            .toSecsSinceEpoch());
}

class ReportController : public testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        m_hadTZ = tz != nullptr;
        if (tz)
            m_savedTZ = tz;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        defaults = std::make_unique<HXUserDefaults>(folder.file(QStringLiteral("Defaults.plist")));
        HXReportSettings::registerLiveReportDefaults(*defaults, QStringLiteral("Default"));
        live = std::make_unique<HXReportController>(HXReportSettings(QStringLiteral("Default"), *defaults),
                                                    &data, time, *defaults, true);
    }
    void TearDown() override {
        live.reset();
        if (m_hadTZ)
            setenv("TZ", m_savedTZ.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    // Data from first to last, with now at last.
    void setData(double first, double last) {
        data.first = first;
        data.last = last;
        time.setNow(last);
    }
    std::pair<double, double> interval() {
        double b = 0;
        double e = 0;
        live->getBeginTimestamp(&b, &e, nullptr, nullptr);
        return {b, e};
    }
    long long setting(const char16_t* name) {
        return live->settings().integerForKey(QString::fromUtf16(name));
    }

    ScratchFolder folder;
    std::unique_ptr<HXUserDefaults> defaults;
    HXVirtualTime time;
    FixedData data;
    std::unique_ptr<HXReportController> live;

private:
    bool m_hadTZ = false;
    std::string m_savedTZ;
};

} // namespace

TEST_F(ReportController, NoDataHidesEveryControl) {
    setData(berlin(2026, 3, 15, 12), berlin(2026, 3, 15, 12));
    EXPECT_EQ(interval(), std::make_pair(data.first, data.last));
    const HXReportControls& c = live->controls();
    EXPECT_FALSE(c.datesVisible);
    EXPECT_FALSE(c.selectorVisible);
    EXPECT_FALSE(c.indicatorVisible);
    EXPECT_FALSE(c.beginChecked);
    EXPECT_FALSE(c.endChecked);

    setData(berlin(2026, 1, 1, 0), berlin(2026, 3, 15, 12));
    interval();
    EXPECT_TRUE(live->controls().datesVisible);
    EXPECT_TRUE(live->controls().selectorVisible);
    EXPECT_FALSE(live->controls().indicatorVisible);
    EXPECT_EQ(live->controls().selectorTag, 1);
}

TEST_F(ReportController, TodayWithTheDayOffsetBeginsYesterdayAtThatHour) {
    defaults->setInteger(u"HXChameleonDatePicker: Day Offset", 4);
    setData(berlin(2026, 1, 1, 0), berlin(2026, 3, 15, 2));
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 3, 14, 4), data.last));
    EXPECT_EQ(live->controls().beginDate, berlin(2026, 3, 14, 4));
    EXPECT_FALSE(live->controls().beginChecked);
    EXPECT_EQ(live->controls().endMinimum, berlin(2026, 3, 14, 4));
}

TEST_F(ReportController, ShiftingAMonthBackStepsOneCalendarMonthFromTheBegin) {
    setData(berlin(2025, 6, 1, 0), berlin(2026, 3, 15, 0));
    live->selectInterval(HXReportIntervalThisMonth);
    EXPECT_EQ(setting(u"Interval"), 3);
    EXPECT_EQ(setting(u"Interval: Last Selected"), 3);
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 3, 1, 0), data.last));
    ASSERT_TRUE(live->shiftBeginAndEndTimestamp(-1));
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 2, 1, 0), berlin(2026, 3, 1, 0)));
    EXPECT_EQ(setting(u"Interval"), 0);
    EXPECT_EQ(live->controls().selectorTag, 0);
    EXPECT_TRUE(live->controls().beginChecked);
    EXPECT_TRUE(live->controls().endChecked);
    // A whole month, again: one more back.
    ASSERT_TRUE(live->shiftBeginAndEndTimestamp(-1));
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 1, 1, 0), berlin(2026, 2, 1, 0)));
    // Forward twice: the second step passes the data and runs to the end, which is "This Month" again.
    ASSERT_TRUE(live->shiftBeginAndEndTimestamp(1));
    ASSERT_TRUE(live->shiftBeginAndEndTimestamp(1));
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 3, 1, 0), data.last));
    EXPECT_EQ(setting(u"Interval"), 3);
    EXPECT_FALSE(live->settings().contains(u"Begin"));
    EXPECT_FALSE(live->settings().contains(u"End"));
}

TEST_F(ReportController, FreeIntervalsStepByTheirSpanAndStopAtTheData) {
    setData(berlin(2026, 3, 10, 0), berlin(2026, 3, 15, 18));
    live->setBeginTimestamp(berlin(2026, 3, 15, 9), berlin(2026, 3, 15, 11));
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 3, 15, 9), berlin(2026, 3, 15, 11)));
    ASSERT_TRUE(live->shiftBeginAndEndTimestamp(-1));
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 3, 15, 7), berlin(2026, 3, 15, 9)));
    ASSERT_TRUE(live->shiftBeginAndEndTimestamp(1));
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 3, 15, 9), berlin(2026, 3, 15, 11)));
    // Past the last data the end is "none".
    live->setBeginTimestamp(berlin(2026, 3, 15, 15), berlin(2026, 3, 15, 17));
    ASSERT_TRUE(live->shiftBeginAndEndTimestamp(1));
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 3, 15, 17), data.last));
    // Before the first data the begin is "none".
    live->setBeginTimestamp(berlin(2026, 3, 10, 1), berlin(2026, 3, 10, 3));
    ASSERT_TRUE(live->shiftBeginAndEndTimestamp(-1));
    EXPECT_EQ(interval(), std::make_pair(data.first, berlin(2026, 3, 10, 1)));
    EXPECT_FALSE(live->settings().contains(u"Begin"));
    // Nothing to step by.
    setData(berlin(2026, 3, 10, 0), berlin(2026, 3, 10, 0, 0, 0) + 0.5);
    interval();
    EXPECT_FALSE(live->shiftBeginAndEndTimestamp(-1));
}

TEST_F(ReportController, AFreeBeginNearTodaysStartBecomesTodayAgainAtTheNextChange) {
    setData(berlin(2026, 3, 1, 0), berlin(2026, 3, 15, 16));
    const double todayStart = berlin(2026, 3, 15, 0);
    // Stored free: nothing is re-interpreted until the user changes the interval.
    live->settings().setInteger(u"Interval", 0);
    live->settings().setDouble(u"Begin", todayStart + 30);
    EXPECT_EQ(interval(), std::make_pair(todayStart + 30, data.last));
    EXPECT_EQ(setting(u"Interval"), 0);
    live->setBeginTimestamp(todayStart + 30, -1);
    EXPECT_EQ(setting(u"Interval"), 1);
    EXPECT_EQ(live->controls().selectorTag, 1);
    EXPECT_FALSE(live->settings().contains(u"Begin"));
    EXPECT_EQ(interval(), std::make_pair(todayStart, data.last));

    // Two minutes off, or ending before the last data: it stays free.
    live->setBeginTimestamp(todayStart + 120, -1);
    EXPECT_EQ(setting(u"Interval"), 0);
    live->setBeginTimestamp(todayStart + 20, berlin(2026, 3, 15, 12));
    EXPECT_EQ(setting(u"Interval"), 0);
    EXPECT_EQ(interval(), std::make_pair(todayStart + 20, berlin(2026, 3, 15, 12)));
    // A threshold of its own.
    live->settings().setDouble(u"Interval: Interpretation Threshold", 300);
    live->setBeginTimestamp(todayStart + 120, -1);
    EXPECT_EQ(setting(u"Interval"), 1);
}

TEST_F(ReportController, DoubleClickReturnsToTheNamedIntervalAndStoredEndsBeforeTheBeginAreDropped) {
    setData(berlin(2026, 3, 1, 0), berlin(2026, 3, 15, 16));
    live->selectInterval(HXReportIntervalThisWeek);
    live->setBeginTimestamp(berlin(2026, 3, 5, 0), berlin(2026, 3, 6, 0));
    EXPECT_EQ(setting(u"Interval"), 0);
    live->setBeginTimestamp(-1, -1);
    EXPECT_EQ(setting(u"Interval"), 2);
    EXPECT_EQ(live->controls().selectorTag, 2);
    EXPECT_EQ(interval().second, data.last);

    live->settings().setInteger(u"Interval", 0);
    live->settings().setDouble(u"Begin", berlin(2026, 3, 10, 0));
    live->settings().setDouble(u"End", berlin(2026, 3, 9, 0));
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 3, 10, 0), data.last));
    EXPECT_FALSE(live->settings().contains(u"End"));
    EXPECT_FALSE(live->controls().endChecked);
    // A begin before the data is the first data; one after the last data the last.
    live->settings().setDouble(u"Begin", berlin(2026, 2, 1, 0));
    EXPECT_EQ(interval().first, data.first);
    live->settings().setDouble(u"Begin", berlin(2026, 4, 1, 0));
    EXPECT_EQ(interval().first, data.last);
}

TEST_F(ReportController, CheckBoxesAndPickersStoreTheFreeInterval) {
    setData(berlin(2026, 3, 1, 0), berlin(2026, 3, 15, 16));
    interval();
    live->setBeginChecked(true);
    EXPECT_EQ(setting(u"Interval"), 0);
    EXPECT_TRUE(live->controls().beginChecked);
    EXPECT_EQ(live->settings().numberForKey(u"Begin"), berlin(2026, 3, 15, 0));
    live->setBeginDate(berlin(2026, 3, 12, 8));
    live->setEndChecked(true);
    live->setEndDate(berlin(2026, 3, 13, 8));
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 3, 12, 8), berlin(2026, 3, 13, 8)));
    EXPECT_EQ(live->controls().endMinimum, berlin(2026, 3, 12, 8));
    live->setEndChecked(false);
    live->setBeginChecked(false);
    EXPECT_EQ(interval(), std::make_pair(data.first, data.last));
    // The custom entry keeps the interval shown.
    live->selectInterval(HXReportIntervalToday);
    live->selectInterval(0);
    EXPECT_EQ(setting(u"Interval: Last Selected"), 1);
    EXPECT_EQ(interval(), std::make_pair(berlin(2026, 3, 15, 0), data.last));
    EXPECT_EQ(setting(u"Interval"), 0);
}

TEST_F(ReportController, FormatAndActivityAreKeptEvenWhenTheyHideARegisteredDefault) {
    EXPECT_TRUE(live->drawFrontActivity());
    EXPECT_TRUE(live->drawTotalActivity());
    EXPECT_EQ(live->timeFormat(), 0);
    live->toggleShownActivity(0);
    live->setTimeFormat(1);
    EXPECT_FALSE(live->drawFrontActivity());
    EXPECT_EQ(live->timeFormat(), 1);
    ASSERT_TRUE(defaults->synchronize());
    HXUserDefaults reread(folder.file(QStringLiteral("Defaults.plist")));
    HXReportSettings::registerLiveReportDefaults(reread, QStringLiteral("Default"));
    EXPECT_FALSE(reread.boolForKey(u"Report: Default: Front"));
    EXPECT_TRUE(reread.boolForKey(u"Report: Default: Total"));
    EXPECT_EQ(reread.integerForKey(u"Report: Default: Time Format"), 1);
    live->setClosed(true);
    EXPECT_TRUE(defaults->boolForKey(u"Report: Default: Closed Last"));
}

TEST_F(ReportController, SnapshotSettingsLiveInMemoryUnlessStoredPermanently) {
    const QString path = folder.file(QStringLiteral("week.csv"));
    HXDictionaryRef memory = HXDictionary::create();
    {
        HXReportController snapshot(HXReportSettings(path, *defaults, memory), &data, time, *defaults, false);
        snapshot.setTimeFormat(1);
        EXPECT_EQ(snapshot.timeFormat(), 1);
        EXPECT_FALSE(snapshot.drawFrontActivity());
        snapshot.setSnapshotConfiguration(makeDictionary({{QStringLiteral("Foreground Activity"), true}}));
        EXPECT_TRUE(snapshot.drawFrontActivity());
        EXPECT_FALSE(snapshot.drawTotalActivity());
        // Snapshots show what their file holds.
        snapshot.toggleShownActivity(0);
        EXPECT_TRUE(snapshot.drawFrontActivity());
    }
    EXPECT_EQ(memory->integerForKey(QStringLiteral("Report: %1: Time Format").arg(path)), 1);
    EXPECT_FALSE(defaults->hasUserValue(QStringLiteral("Report: %1: Time Format").arg(path)));
    // After quitting, the memory is new.
    {
        HXReportController again(HXReportSettings(path, *defaults, HXDictionary::create()), &data, time,
                                 *defaults, false);
        EXPECT_EQ(again.timeFormat(), 0);
    }
    defaults->setBool(u"Store Snapshot Report User Defaults Permanently", true);
    {
        HXReportController kept(HXReportSettings(path, *defaults, HXDictionary::create()), &data, time,
                                *defaults, false);
        kept.setTimeFormat(1);
    }
    ASSERT_TRUE(defaults->synchronize());
    HXUserDefaults reread(folder.file(QStringLiteral("Defaults.plist")));
    EXPECT_EQ(reread.integerForKey(QStringLiteral("Report: %1: Time Format").arg(path)), 1);
}

TEST_F(ReportController, SnapshotsShowTheDirectionIndicatorInsteadOfTheSelector) {
    HXReportController snapshot(HXReportSettings(QStringLiteral("/x.csv"), *defaults, HXDictionary::create()),
                                &data, time, *defaults, false);
    setData(berlin(2026, 3, 1, 0), berlin(2026, 3, 15, 16));
    double b = 0;
    double e = 0;
    snapshot.getBeginTimestamp(&b, &e, nullptr, nullptr);
    EXPECT_EQ(b, data.first);
    EXPECT_EQ(e, data.last);
    EXPECT_FALSE(snapshot.controls().selectorVisible);
    EXPECT_TRUE(snapshot.controls().indicatorVisible);
    // Snapshots have no named intervals: a drag is stored as it is.
    snapshot.setBeginTimestamp(berlin(2026, 3, 15, 0) + 10, -1);
    snapshot.getBeginTimestamp(&b, &e, nullptr, nullptr);
    EXPECT_EQ(b, berlin(2026, 3, 15, 0) + 10);
}
