#pragma once

#include "reports/HXLiveReportSource.h"
#include "reports/cli/HXStoredOrganizer.h"

// The live report's source for tools: a stored configuration, the organizer lists derived from it and
// the settings, without a running tracker.
class HXStoredReportSource final : public HXLiveReportSource {
public:
    HXStoredReportSource(HXDictionaryRef configuration, const HXUserDefaults& defaults);

    HXDictionaryRef configuration() const override { return m_configuration; }
    HXArrayRef listApplications() const override { return m_lists.applications; }
    HXArrayRef listPools() const override { return m_lists.pools; }
    int sortColumn() const override { return m_sortColumn; }
    const HXUserDefaults& userDefaults() const override { return m_defaults; }

private:
    HXDictionaryRef m_configuration;
    const HXUserDefaults& m_defaults;
    int m_sortColumn;
    HXStoredOrganizerLists m_lists;
};
