#pragma once

#include "reports/HXLiveReportSource.h"

#include "foundation/HXUserDefaults.h"
#include "support/TestSupport.h"

#include <initializer_list>
#include <utility>

// Records written with u"" keys, which read like the stored configuration.
HXDictionaryRef record(std::initializer_list<std::pair<const char16_t*, HXValue>> entries);

// A small configuration used across the report tests (times between 10 and 6000):
// applications Mail (expanded, windows Inbox and Drafts), Editor (window main.cpp) and Idle (old data
// only); pools Work (expanded; items Mail with window Inbox, and Editor) and Leisure (paused, old data).
HXDictionaryRef sampleConfiguration();
HXDictionaryRef application(const HXDictionary& configuration, const QString& key);
HXDictionaryRef pool(const HXDictionary& configuration, qsizetype index);

// A live report source over a configuration with settings in a scratch folder and the registered
// defaults of reports; organizer lists are set by the test.
class TestReportSource : public HXLiveReportSource {
public:
    explicit TestReportSource(HXDictionaryRef configuration);

    HXDictionaryRef configuration() const override { return m_configuration; }
    HXArrayRef listApplications() const override { return m_applications; }
    HXArrayRef listPools() const override { return m_pools; }
    int sortColumn() const override { return m_sortColumn; }
    const HXUserDefaults& userDefaults() const override { return m_defaults; }

    HXUserDefaults& defaults() { return m_defaults; }
    void setLists(HXArrayRef applications, HXArrayRef pools) {
        m_applications = std::move(applications);
        m_pools = std::move(pools);
    }
    void setSortColumn(int column) { m_sortColumn = column; }

private:
    ScratchFolder m_scratch;
    HXDictionaryRef m_configuration;
    HXUserDefaults m_defaults;
    HXArrayRef m_applications;
    HXArrayRef m_pools;
    int m_sortColumn = 1;
};

// Names of the records of a report list, in order.
QStringList namesOf(const HXArray& list);
QStringList strings(std::initializer_list<const char16_t*> texts);
