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

private:
    HXDesktopEntryIndex::Entry find(std::int64_t pid, const QString& instanceName,
                                    const QString& className) const;
    void refreshIfDue();

    HXDesktopEntryIndex m_index;
    std::chrono::milliseconds m_recheckInterval;
    std::optional<std::chrono::steady_clock::time_point> m_lastCheck;
    QHash<QString, HXDesktopEntryIndex::Entry> m_cache;
};
