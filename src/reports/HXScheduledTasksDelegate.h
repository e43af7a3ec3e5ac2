#pragma once

#include "foundation/HXTimerReset.h"

#include <QString>

class HXLiveReportSource;

// What the scheduled tasks need from the tracker.
class HXScheduledTasksDelegate {
public:
    virtual ~HXScheduledTasksDelegate() = default;

    // The configuration and organizer lists that an export reads.
    virtual const HXLiveReportSource& liveReportSource() const = 0;
    // The destructive reset of the application and/or pool timers.
    virtual void resetTimers(const HXTimerReset& reset) = 0;
    // The "Reports" folder of the library folder; empty when there is no library folder.
    virtual QString libraryReportsFolderPath() const = 0;
    // Whether files can be written into the folder.
    virtual bool hasWriteAccess(const QString& folder) const = 0;
};
