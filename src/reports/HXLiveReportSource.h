#pragma once

#include "foundation/HXDictionary.h"

class HXUserDefaults;

// What the live report and the export read from the tracker: the configuration, the organizer's lists
// as it shows them (an application's shown windows are its record's listWindows()), the organizer's
// sort column and the settings. The engine answers it; the command line answers it from stored files.
class HXLiveReportSource {
public:
    virtual ~HXLiveReportSource() = default;

    // May be null.
    virtual HXDictionaryRef configuration() const = 0;
    // Application and pool records in organizer display order; may be null.
    virtual HXArrayRef listApplications() const = 0;
    virtual HXArrayRef listPools() const = 0;
    virtual int sortColumn() const = 0;
    virtual const HXUserDefaults& userDefaults() const = 0;
};

// The smaller of the configuration's "First Timestamp" and "First Pool Timestamp", a missing one as 0.
double firstTimestamp(const HXDictionary* configuration);
