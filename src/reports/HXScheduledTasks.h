#pragma once

#include <QString>

class HXClock;
class HXScheduledTasksDelegate;
class HXScheduler;
class HXUserDefaults;

// The daily tasks: from "Auto-Export Hour" on, export everything into "<date>.csv" in the export folder
// (the file is the record of the day's export) and reset the application and/or pool timers once per
// day. A check runs every 59 seconds while any task is on.
class HXScheduledTasks {
public:
    HXScheduledTasks(HXUserDefaults& defaults, HXScheduler& scheduler, HXClock& clock,
                     HXScheduledTasksDelegate& delegate);
    ~HXScheduledTasks();
    HXScheduledTasks(const HXScheduledTasks&) = delete;
    HXScheduledTasks& operator=(const HXScheduledTasks&) = delete;

    // One check. With a sender (a preference change, the end of start-up) a pending check is cancelled
    // first, so the chain never doubles.
    void doAutoTasksIfNecessary(bool hasSender);

    unsigned autoTasksHour() const;
    QString defaultAutoExportFolderPath() const;
    // "Auto-Export Folder" with "~" expanded, or the default.
    QString exportFolderPath() const;
    // Stores the folder, tilde-abbreviated, when it can be written into.
    bool setExportFolderPath(const QString& path);

    // $XDG_DATA_HOME/Qualdern/Reports, ~/.local/share when the variable is unset.
    static QString standardReportsFolderPath();
    // A plain access test: no sandbox, no bookmarks.
    static bool hasWriteAccessToFolder(const QString& folder);

private:
    void exportIfNecessary(const QString& day, double now);

    HXUserDefaults& m_defaults;
    HXScheduler& m_scheduler;
    HXClock& m_clock;
    HXScheduledTasksDelegate& m_delegate;
};
