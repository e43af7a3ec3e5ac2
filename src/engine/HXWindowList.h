#pragma once

#include "foundation/HXCompiledBlacklist.h"
#include "foundation/HXDictionary.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

class HXWindowServer;
struct HXWindowDescription;

// Per process, new window records {"Name": title, "Path": "_Window"}, front to back: the current
// desktop's windows first, then those of other desktops.
using HXWindowsByPID = std::unordered_map<std::int64_t, std::vector<HXDictionaryRef>>;

struct HXWindowListOptions {
    bool includeWindowsFromAllSpaces = true;
    bool includeFloatingWindows = false;
};

HXWindowsByPID HXWindowDescriptionsByPID(HXWindowServer& server, const HXCompiledBlacklist& plainWindowBlacklist,
                                         const HXWindowListOptions& options);

// Adds one window record to the target when the window qualifies: it has an owner, lies below the
// maximum layer, has a title that is not blacklisted and, when asked, is ordered in.
void HXProcessCGWindowDescription(const HXWindowDescription& description, HXWindowsByPID& target, int maximumLayer,
                                  HXWindowServer* orderedInCheck, const HXCompiledBlacklist& plainWindowBlacklist);
