#pragma once

#include "reports/HXLiveReportSource.h"
#include "reports/HXScheduledTasksDelegate.h"

class HXMainController;

// The tracker as the reports see it: its configuration and organizer lists for the live report and
// exports, and its reset for the daily tasks.
class HXReportsBridge final : public HXLiveReportSource, public HXScheduledTasksDelegate {
public:
    explicit HXReportsBridge(HXMainController& controller) : m_controller(controller) {}

    HXDictionaryRef configuration() const override;
    HXArrayRef listApplications() const override;
    HXArrayRef listPools() const override;
    int sortColumn() const override;
    const HXUserDefaults& userDefaults() const override;

    const HXLiveReportSource& liveReportSource() const override { return *this; }
    void resetTimers(const HXTimerReset& reset) override;
    QString libraryReportsFolderPath() const override;
    bool hasWriteAccess(const QString& folder) const override;

private:
    HXMainController& m_controller;
};
