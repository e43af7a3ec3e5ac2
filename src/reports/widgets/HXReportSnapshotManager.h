#pragma once

#include "reports/HXReportControllerDelegate.h"
#include "reports/widgets/HXReportWindow.h"

#include <QObject>
#include <QPoint>

#include <map>
#include <memory>
#include <vector>

class HXClock;
class HXReportController;
class HXReportSnapshotStore;
class HXReportWindow;
class HXScheduler;
class HXUserDefaults;

// Exported CSV files reopened as read-only reports, one window per file, cascaded from the last one.
// A file is read in the background ("Loading..." meanwhile); one that cannot be read shows why in its
// view. Opening a file twice brings its window forward; closing a window forgets the file. Snapshot
// settings live in memory unless "Store Snapshot Report User Defaults Permanently" is on.
class HXReportSnapshotManager : public QObject, public HXReportControllerDelegate {
    Q_OBJECT

public:
    HXReportSnapshotManager(HXUserDefaults& defaults, HXScheduler& scheduler, const HXClock& clock,
                            QObject* parent = nullptr);
    ~HXReportSnapshotManager() override;

    void showReportSnapshotFromCSVFile(const QString& path);
    // The open windows, by normalised path.
    HXReportWindow* windowForPath(const QString& path) const;
    std::size_t count() const { return m_snapshots.size(); }

    HXArrayRef eventLogsClippedBetweenTimestamp(double begin, double end,
                                                const HXReportController& controller) const override;
    void getFirstTimestamp(double* first, double* last, const HXReportController& controller) const override;

Q_SIGNALS:
    // A window was made; the program attaches what it adds to every report window.
    void windowCreated(HXReportWindow* window);

private:
    struct Snapshot;

    void snapshotChanged(const QString& path);
    void reportWindowWillClose(const QString& path);
    void cascadeReportWindow(HXReportWindow& window);

    HXUserDefaults& m_defaults;
    HXScheduler& m_scheduler;
    const HXClock& m_clock;
    std::unique_ptr<HXReportSnapshotStore> m_store;
    HXDictionaryRef m_memorySettings;
    std::map<QString, std::unique_ptr<Snapshot>> m_snapshots;
    std::vector<std::unique_ptr<Snapshot>> m_closed;
    QPoint m_cascadePoint;
    bool m_hasCascadePoint = false;
};
