#pragma once

#include <span>
#include <unordered_map>
#include <vector>

class HXDictionary;

// Years of data hold thousands of records, and a tick sees a few dozen. Between two ticks only records
// active at the last tick or seen in this one can change: everything else changes only through commands,
// which run a tick of their own, and that tick looks at every record (a full pass). This remembers what
// the last tick left active, so that the ticks in between look at those records alone. The shortcut must
// never change a result: the random scenario tests run it against full passes.
class HXTickShortcut {
public:
    // The next tick looks at every record: something changed records outside a tick.
    void requestFullPass() { m_fullPassPending = true; }

    // Starts a tick; true when it looks at every record: after requestFullPass, when the configuration was
    // replaced or which inactive items show changed, and every 600 ticks whatever happens.
    bool beginTick(const HXDictionary* configuration, bool showInactiveApplications, bool showInactivePools);
    bool fullPass() const { return m_fullPass; }

    // What the last tick left active: applications; per application consolidated since the last full pass
    // its active windows (nullptr for any other application: all its windows need a look); pools, pool
    // items and window pool items.
    bool applicationWasActive(const HXDictionary* application) const;
    const std::vector<const HXDictionary*>* activeWindows(const HXDictionary* application) const;
    bool poolRecordWasActive(const HXDictionary* record) const;

    // What this tick leaves active, as consolidation finds it.
    void noteActiveApplication(const HXDictionary* application) {
        m_activeApplications.push_back(application);
    }
    void noteActiveWindows(const HXDictionary* application, std::span<HXDictionary* const> windows);
    void noteActivePoolRecord(const HXDictionary* record) { m_activePoolRecords.push_back(record); }
    void endTick();

private:
    bool m_fullPassPending = true;
    bool m_fullPass = true;
    int m_ticksSinceFullPass = 0;
    const HXDictionary* m_configuration = nullptr;
    bool m_showInactiveApplications = true;
    bool m_showInactivePools = true;
    // Sorted by address; "last" is what the previous tick left, the other what this one is finding.
    std::vector<const HXDictionary*> m_activeApplications;
    std::vector<const HXDictionary*> m_lastActiveApplications;
    std::unordered_map<const HXDictionary*, std::vector<const HXDictionary*>> m_activeWindows;
    std::vector<const HXDictionary*> m_activePoolRecords;
    std::vector<const HXDictionary*> m_lastActivePoolRecords;
};
