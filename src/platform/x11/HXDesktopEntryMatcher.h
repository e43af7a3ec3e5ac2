#pragma once

#include "platform/x11/HXDesktopEntryIndex.h"

#include <chrono>
#include <cstdint>
#include <optional>

// Finds the desktop entry of a running application: its WM_CLASS class, then instance, against
// StartupWMClass (exactly, then ignoring case); then the class against the desktop-file ID or the ID's
// last dotted part; then the process's program against the entries' TryExec and Exec programs. Answers
// are remembered per process and class; the index is rebuilt when its folders change, looked at no more
// often than the recheck interval.
class HXDesktopEntryMatcher {
public:
    explicit HXDesktopEntryMatcher(HXDesktopEntryIndex index,
                                   std::chrono::milliseconds recheckInterval = std::chrono::seconds(5));

    // The standard folders, the current locale and $PATH.
    static HXDesktopEntryMatcher standard();

    HXDesktopEntryIndex::Entry match(std::int64_t pid, const QString& instanceName, const QString& className);
    // Rebuilds the index when it is due and stale; the generation counts the rebuilds, so that answers
    // kept elsewhere can tell when they may be out of date.
    std::uint64_t refresh();

private:
    HXDesktopEntryIndex::Entry find(std::int64_t pid, const QString& instanceName,
                                    const QString& className) const;

    HXDesktopEntryIndex m_index;
    std::chrono::milliseconds m_recheckInterval;
    std::optional<std::chrono::steady_clock::time_point> m_lastCheck;
    QHash<QString, HXDesktopEntryIndex::Entry> m_cache;
    std::uint64_t m_generation = 0;
};
