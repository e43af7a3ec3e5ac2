#include "reports/HXScheduledTasks.h"

#include "reports/HXCSVExport.h"
#include "reports/HXDateText.h"
#include "reports/HXLiveReportSource.h"
#include "reports/HXScheduledTasksDelegate.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXClock.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXKeys.h"
#include "foundation/HXLog.h"
#include "foundation/HXPaths.h"
#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <unistd.h>

namespace {

constexpr std::string_view kAction = "doAutoTasksIfNecessary";
constexpr double kCheckInterval = 59;

} // namespace

HXScheduledTasks::HXScheduledTasks(HXUserDefaults& defaults, HXScheduler& scheduler, HXClock& clock,
                                   HXScheduledTasksDelegate& delegate)
    : m_defaults(defaults), m_scheduler(scheduler), m_clock(clock), m_delegate(delegate) {}

HXScheduledTasks::~HXScheduledTasks() {
    m_scheduler.cancelPerforms(this, kAction);
}

QString HXScheduledTasks::standardReportsFolderPath() {
    return HXLibraryFolder() + QStringLiteral("/Reports");
}

bool HXScheduledTasks::hasWriteAccessToFolder(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    return !folder.isEmpty() && QFileInfo(folder).isDir() && ::access(native.constData(), W_OK | X_OK) == 0;
}

unsigned HXScheduledTasks::autoTasksHour() const {
    if (m_defaults.objectForKey(u"Auto-Export Hour").isNull())
        return 6;
    return static_cast<unsigned>(std::max<std::int64_t>(0, m_defaults.integerForKey(u"Auto-Export Hour")));
}

QString HXScheduledTasks::defaultAutoExportFolderPath() const {
    const QString reports = m_delegate.libraryReportsFolderPath();
    return reports.isEmpty() ? QDir::homePath() + QStringLiteral("/Desktop") : reports;
}

QString HXScheduledTasks::exportFolderPath() const {
    const QString stored = m_defaults.stringForKey(HXDefaultsKeys::AutoExportFolder);
    return stored.isEmpty() ? defaultAutoExportFolderPath() : HXExpandTilde(stored);
}

bool HXScheduledTasks::setExportFolderPath(const QString& path) {
    if (path.isEmpty() || !m_delegate.hasWriteAccess(path))
        return false;
    m_defaults.setString(HXDefaultsKeys::AutoExportFolder, HXAbbreviateWithTilde(QDir::cleanPath(path)));
    return true;
}

void HXScheduledTasks::doAutoTasksIfNecessary(bool hasSender) {
    if (hasSender)
        m_scheduler.cancelPerforms(this, kAction);
    const bool exportReports = m_defaults.boolForKey(u"Auto-Export Reports");
    const bool resetApplications = m_defaults.boolForKey(u"Auto-Reset Applications");
    const bool resetPools = m_defaults.boolForKey(u"Auto-Reset Pools");
    if (!exportReports && !resetApplications && !resetPools)
        return;

    const double now = m_clock.now();
    const QDateTime local =
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::floor(now * 1000)), Qt::LocalTime);
    if (static_cast<unsigned>(local.time().hour()) >= autoTasksHour()) {
        const QString day = yearMonthDayStringWithDate(local);
        if (exportReports)
            exportIfNecessary(day, now);
        // Each reset is recorded as done before it runs: a failed reset is not retried that day.
        bool applications = false;
        bool pools = false;
        if (resetApplications && m_defaults.stringForKey(u"Auto-Reset Applications: Last Date") != day) {
            applications = true;
            m_defaults.setString(u"Auto-Reset Applications: Last Date", day);
        }
        if (resetPools && m_defaults.stringForKey(u"Auto-Reset Pools: Last Date") != day) {
            pools = true;
            m_defaults.setString(u"Auto-Reset Pools: Last Date", day);
        }
        if (applications || pools)
            m_delegate.resetTimers(
                {.applications = applications, .pools = pools, .pushUndoState = true, .confirm = false});
    }
    m_scheduler.performAfterDelay(this, kAction, kCheckInterval, [this] { doAutoTasksIfNecessary(false); });
}

void HXScheduledTasks::exportIfNecessary(const QString& day, double now) {
    const QString folder = exportFolderPath();
    // The default folder is the program's own and may not exist yet.
    if (folder == m_delegate.libraryReportsFolderPath())
        HXAtomicFile::createPrivateFolder(folder);
    if (!m_delegate.hasWriteAccess(folder)) {
        HXSystemLog(QStringLiteral("cannot auto-export to <%1>").arg(folder));
        return;
    }
    const QString path = QDir(folder).filePath(QStringLiteral("%1.csv").arg(day));
    if (QFileInfo::exists(path))
        return;
    const HXLiveReportSource& source = m_delegate.liveReportSource();
    const HXDictionaryRef configuration = source.configuration();
    double begin = firstTimestamp(configuration.get());
    if (m_defaults.integerForKey(u"Auto-Export Range") == 1)
        begin = std::max(begin, m_defaults.doubleForKey(u"Last Auto-Export"));
    const double end = configuration ? configuration->timeIntervalForKey(HXKeys::LastTimestamp) : 0;
    if (exportPool(source, nullptr, begin, end, path))
        m_defaults.setDouble(u"Last Auto-Export", now);
    else
        HXSystemLog(QStringLiteral("cannot auto-export to <%1>").arg(path));
}
