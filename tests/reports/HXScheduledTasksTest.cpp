#include "ReportsTestSupport.h"

#include "reports/HXScheduledTasks.h"
#include "reports/HXScheduledTasksDelegate.h"

#include "foundation/HXLog.h"
#include "foundation/HXVirtualTime.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace HXKeys;

namespace {

double utc(int y, int mo, int d, int h, int mi = 0) {
    return static_cast<double>(QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC).toSecsSinceEpoch());
}

struct Reset {
    bool applications;
    bool pools;
    bool pushUndo;
    bool confirm;
    QString recordedApplicationsDate;
    QString recordedPoolsDate;
};

class Delegate : public HXScheduledTasksDelegate {
public:
    Delegate(TestReportSource& source, QString reports) : m_source(source), m_reports(std::move(reports)) {}

    const HXLiveReportSource& liveReportSource() const override { return m_source; }
    void resetTimers(const HXTimerReset& reset) override {
        resets.push_back({reset.applications, reset.pools, reset.pushUndoState, reset.confirm,
                          m_source.defaults().stringForKey(u"Auto-Reset Applications: Last Date"),
                          m_source.defaults().stringForKey(u"Auto-Reset Pools: Last Date")});
    }
    QString libraryReportsFolderPath() const override { return m_reports; }
    bool hasWriteAccess(const QString& folder) const override {
        return !refuseAccess && HXScheduledTasks::hasWriteAccessToFolder(folder);
    }

    std::vector<Reset> resets;
    bool refuseAccess = false;

private:
    TestReportSource& m_source;
    QString m_reports;
};

// A configuration whose single application was active an hour on the morning of 2026-01-15 (UTC).
HXDictionaryRef morningConfiguration() {
    const double t = utc(2026, 1, 15, 3);
    return record({{u"Applications",
                    record({{u"com.mail", record({{u"Name", u"Mail"},
                                                  {u"Path", u"/usr/share/applications/mail.desktop"},
                                                  {u"Active Log", makeLog({t, -(t + 3600)})},
                                                  {u"Front Active Log", makeLog({t, -(t + 1800)})}})}})},
                   {u"Pools", makeArray({})},
                   {u"First Timestamp", t},
                   {u"First Pool Timestamp", t},
                   {u"Last Timestamp", t + 3600}});
}

class ScheduledTasks : public ::testing::Test {
protected:
    ScheduledTasks()
        : time(utc(2026, 1, 15, 5, 30)), source(morningConfiguration()),
          delegate(source, scratch.file(QStringLiteral("Qualdern/Reports"))),
          tasks(source.defaults(), time, time, delegate) {
        const char* tz = std::getenv("TZ");
        m_hadTZ = tz != nullptr;
        if (tz)
            m_savedTZ = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    ~ScheduledTasks() override {
        if (m_hadTZ)
            setenv("TZ", m_savedTZ.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    QString dayFile(const QString& day) const {
        return scratch.file(QStringLiteral("Qualdern/Reports/%1.csv").arg(day));
    }
    QString readFile(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    HXUserDefaults& defaults() { return source.defaults(); }

    ScratchFolder scratch;
    HXVirtualTime time;
    TestReportSource source;
    Delegate delegate;
    HXScheduledTasks tasks;

private:
    bool m_hadTZ = false;
    std::string m_savedTZ;
};

} // namespace

TEST_F(ScheduledTasks, WaitsForTheHourThenExportsAndResetsOnce) {
    defaults().setBool(u"Auto-Export Reports", true);
    defaults().setBool(u"Auto-Reset Applications", true);
    EXPECT_EQ(tasks.autoTasksHour(), 6u);
    tasks.doAutoTasksIfNecessary(true);
    EXPECT_FALSE(QFileInfo::exists(dayFile(QStringLiteral("2026-01-15"))));
    EXPECT_TRUE(delegate.resets.empty());
    EXPECT_EQ(time.pendingCount(), 1u);

    // The checks run every 59 s; the one at 05:59:30 is still early, the next (06:00:29) does both.
    EXPECT_EQ(time.advance(30 * 59), 30);
    EXPECT_TRUE(delegate.resets.empty());
    EXPECT_FALSE(QFileInfo::exists(dayFile(QStringLiteral("2026-01-15"))));
    time.advance(59);
    ASSERT_TRUE(QFileInfo::exists(dayFile(QStringLiteral("2026-01-15"))));
    EXPECT_GE(time.now(), utc(2026, 1, 15, 6));
    EXPECT_LT(time.now(), utc(2026, 1, 15, 6, 1));
    ASSERT_EQ(delegate.resets.size(), 1u);
    EXPECT_TRUE(delegate.resets[0].applications);
    EXPECT_FALSE(delegate.resets[0].pools);
    EXPECT_TRUE(delegate.resets[0].pushUndo);
    EXPECT_FALSE(delegate.resets[0].confirm);
    // Recorded as done before it ran.
    EXPECT_EQ(delegate.resets[0].recordedApplicationsDate, u"2026-01-15");
    const double exported = defaults().doubleForKey(u"Last Auto-Export");
    EXPECT_GT(exported, utc(2026, 1, 15, 5, 59));
    EXPECT_EQ(QFileInfo(scratch.file(QStringLiteral("Qualdern/Reports"))).permissions() & 0x0077, 0);
    EXPECT_TRUE(readFile(dayFile(QStringLiteral("2026-01-15"))).contains(u",Mail,,"))
        << readFile(dayFile(QStringLiteral("2026-01-15"))).toStdString();

    // Later checks that day do nothing more; the next day both run again.
    time.advance(3 * 3600);
    EXPECT_EQ(delegate.resets.size(), 1u);
    EXPECT_EQ(defaults().doubleForKey(u"Last Auto-Export"), exported);
    time.advance(21 * 3600);
    EXPECT_TRUE(QFileInfo::exists(dayFile(QStringLiteral("2026-01-16"))));
    ASSERT_EQ(delegate.resets.size(), 2u);
    EXPECT_EQ(defaults().stringForKey(u"Auto-Reset Applications: Last Date"), u"2026-01-16");
    EXPECT_EQ(time.pendingCount(), 1u);
}

TEST_F(ScheduledTasks, StartedAfterTheHourDoesBothAtOnce) {
    time.setNow(utc(2026, 1, 15, 9));
    defaults().setBool(u"Auto-Export Reports", true);
    defaults().setBool(u"Auto-Reset Pools", true);
    tasks.doAutoTasksIfNecessary(true);
    EXPECT_TRUE(QFileInfo::exists(dayFile(QStringLiteral("2026-01-15"))));
    ASSERT_EQ(delegate.resets.size(), 1u);
    EXPECT_FALSE(delegate.resets[0].applications);
    EXPECT_TRUE(delegate.resets[0].pools);
    EXPECT_EQ(delegate.resets[0].recordedPoolsDate, u"2026-01-15");
    EXPECT_TRUE(defaults().stringForKey(u"Auto-Reset Applications: Last Date").isEmpty());
}

TEST_F(ScheduledTasks, DeletedFileIsWrittenAgain) {
    time.setNow(utc(2026, 1, 15, 9));
    defaults().setBool(u"Auto-Export Reports", true);
    tasks.doAutoTasksIfNecessary(true);
    const QString file = dayFile(QStringLiteral("2026-01-15"));
    const double first = defaults().doubleForKey(u"Last Auto-Export");
    ASSERT_TRUE(QFile::remove(file));
    time.advance(59);
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(defaults().doubleForKey(u"Last Auto-Export"), first + 59);
    EXPECT_TRUE(delegate.resets.empty());
}

TEST_F(ScheduledTasks, RangeOneExportsOnlyWhatIsNew) {
    time.setNow(utc(2026, 1, 15, 9));
    defaults().setBool(u"Auto-Export Reports", true);
    defaults().setInteger(u"Auto-Export Range", 1);
    defaults().setBool(u"Export Column: Total", true);
    tasks.doAutoTasksIfNecessary(true);
    // The next morning the application was active again.
    const HXDictionaryRef configuration = source.configuration();
    const HXDictionaryRef mail = application(*configuration, QStringLiteral("com.mail"));
    const double t = utc(2026, 1, 16, 4);
    mail->arrayForKey(ActiveLog)->appendDouble(t);
    mail->arrayForKey(ActiveLog)->appendDouble(-(t + 600));
    configuration->setValue(u"Last Timestamp", t + 600);
    time.advance(24 * 3600);
    const QString second = readFile(dayFile(QStringLiteral("2026-01-16")));
    EXPECT_EQ(second.count(u'\n'), 2) << second.toStdString();
    EXPECT_TRUE(second.contains(QString::number(t, 'f', 2)));

    // With the default range the whole history is exported.
    defaults().setInteger(u"Auto-Export Range", 0);
    QFile::remove(dayFile(QStringLiteral("2026-01-16")));
    time.advance(59);
    EXPECT_EQ(readFile(dayFile(QStringLiteral("2026-01-16"))).count(u'\n'), 4);
}

TEST_F(ScheduledTasks, NeverDoublesTheChain) {
    defaults().setBool(u"Auto-Reset Applications", true);
    tasks.doAutoTasksIfNecessary(true);
    tasks.doAutoTasksIfNecessary(true);
    tasks.doAutoTasksIfNecessary(true);
    EXPECT_EQ(time.pendingCount(), 1u);
    // All tasks off: the chain stops at the next check; turning one on restarts it once.
    defaults().setBool(u"Auto-Reset Applications", false);
    tasks.doAutoTasksIfNecessary(true);
    EXPECT_EQ(time.pendingCount(), 0u);
    defaults().setBool(u"Auto-Export Reports", true);
    tasks.doAutoTasksIfNecessary(true);
    tasks.doAutoTasksIfNecessary(true);
    EXPECT_EQ(time.pendingCount(), 1u);
    EXPECT_EQ(time.advance(59 * 10), 10);
    EXPECT_EQ(time.pendingCount(), 1u);
}

TEST_F(ScheduledTasks, FolderRefusedOrUnwritable) {
    time.setNow(utc(2026, 1, 15, 9));
    defaults().setBool(u"Auto-Export Reports", true);
    delegate.refuseAccess = true;
    HXLogging::Capture log;
    tasks.doAutoTasksIfNecessary(true);
    EXPECT_TRUE(log.contains(
        QStringLiteral("cannot auto-export to <%1>").arg(scratch.file(QStringLiteral("Qualdern/Reports")))));
    EXPECT_FALSE(defaults().hasUserValue(u"Last Auto-Export"));
    // Access again: the next check exports.
    delegate.refuseAccess = false;
    time.advance(59);
    EXPECT_TRUE(defaults().hasUserValue(u"Last Auto-Export"));
}

TEST_F(ScheduledTasks, ExportFolderSetting) {
    EXPECT_EQ(tasks.exportFolderPath(), scratch.file(QStringLiteral("Qualdern/Reports")));
    EXPECT_FALSE(tasks.setExportFolderPath(scratch.file(QStringLiteral("missing"))));
    EXPECT_FALSE(tasks.setExportFolderPath(QString()));
    EXPECT_TRUE(tasks.setExportFolderPath(scratch.path()));
    EXPECT_EQ(tasks.exportFolderPath(), QDir::cleanPath(scratch.path()));
    // Paths in the home folder are stored with a tilde and read back expanded.
    defaults().setString(u"Auto-Export Folder", QStringLiteral("~/Exports"));
    EXPECT_EQ(tasks.exportFolderPath(), QDir::homePath() + QStringLiteral("/Exports"));
    if (QFileInfo(QDir::homePath()).isWritable()) {
        EXPECT_TRUE(tasks.setExportFolderPath(QDir::homePath()));
        EXPECT_EQ(defaults().stringForKey(u"Auto-Export Folder"), u"~");
    }
    Delegate noLibrary(source, QString());
    HXScheduledTasks other(defaults(), time, time, noLibrary);
    EXPECT_EQ(other.defaultAutoExportFolderPath(), QDir::homePath() + QStringLiteral("/Desktop"));
    defaults().setInteger(u"Auto-Export Hour", 0);
    EXPECT_EQ(other.autoTasksHour(), 0u);
}

TEST_F(ScheduledTasks, StandardReportsFolder) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", scratch.path().toLocal8Bit());
    EXPECT_EQ(HXScheduledTasks::standardReportsFolderPath(),
              scratch.path() + QStringLiteral("/Qualdern/Reports"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(HXScheduledTasks::standardReportsFolderPath(),
              QDir::homePath() + QStringLiteral("/.local/share/Qualdern/Reports"));
    if (!saved.isNull())
        qputenv("XDG_DATA_HOME", saved);
}
