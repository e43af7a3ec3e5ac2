#pragma once

#include "foundation/HXCompiledBlacklist.h"
#include "foundation/HXDictionary.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

class HXWindowServer;
struct HXWindowDescription;

// Per process, the trimmed titles of its windows front to back: the current desktop's windows first, then
// those of other desktops. A title becomes a window record {"Name": title, "Path": "_Window"} only when
// the tick stores a new window, so that the sampling allocates nothing for windows it knows.
using HXWindowsByPID = std::unordered_map<std::int64_t, std::vector<QString>>;

struct HXWindowListOptions {
    bool includeWindowsFromAllSpaces = true;
    bool includeFloatingWindows = false;
};

HXWindowsByPID HXWindowDescriptionsByPID(HXWindowServer& server,
                                         const HXCompiledBlacklist& plainWindowBlacklist,
                                         const HXWindowListOptions& options);

// Adds one window to the target when it qualifies: it has an owner, lies below the maximum layer, has a
// title that is not blacklisted and, when asked, is ordered in.
void HXAddQualifyingWindow(const HXWindowDescription& description, HXWindowsByPID& target, int maximumLayer,
                           HXWindowServer* orderedInCheck, const HXCompiledBlacklist& plainWindowBlacklist);
