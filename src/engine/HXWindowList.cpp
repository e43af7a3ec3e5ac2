#include "engine/HXWindowList.h"

#include "foundation/HXLog.h"
#include "platform/HXWindowServer.h"

#include <unordered_set>

void HXAddQualifyingWindow(const HXWindowDescription& description, HXWindowsByPID& target, int maximumLayer,
                           HXWindowServer* orderedInCheck, const HXCompiledBlacklist& plainWindowBlacklist) {
    if (!description.ownerProcessIdentifier || description.layer >= maximumLayer || !description.name)
        return;
    std::optional<QString> title = plainWindowBlacklist.validItemName(*description.name);
    if (!title)
        return;
    if (orderedInCheck && !orderedInCheck->isOrderedIn(description.number)) {
        HXDebugLog(QStringLiteral("not ordered in: {number = %1; owner = %2; layer = %3; name = \"%4\"}")
                       .arg(description.number)
                       .arg(*description.ownerProcessIdentifier)
                       .arg(description.layer)
                       .arg(*description.name));
        return;
    }
    target[*description.ownerProcessIdentifier].push_back(std::move(*title));
}

HXWindowsByPID HXWindowDescriptionsByPID(HXWindowServer& server,
                                         const HXCompiledBlacklist& plainWindowBlacklist,
                                         const HXWindowListOptions& options) {
    const int maximumLayer =
        options.includeFloatingWindows ? HXWindowServer::kPopUpMenuLevel : HXWindowServer::kFloatingLevel;
    HXWindowsByPID result;
    std::unordered_set<std::uint64_t> seen;
    if (const auto onScreen = server.onScreenWindows()) {
        for (const HXWindowDescription& d : *onScreen) {
            if (options.includeWindowsFromAllSpaces)
                seen.insert(d.number);
            HXAddQualifyingWindow(d, result, maximumLayer, nullptr, plainWindowBlacklist);
        }
    }
    if (options.includeWindowsFromAllSpaces) {
        if (const auto all = server.allWindows()) {
            for (const HXWindowDescription& d : *all) {
                if (!seen.contains(d.number))
                    HXAddQualifyingWindow(d, result, maximumLayer, &server, plainWindowBlacklist);
            }
        }
    }
    return result;
}
