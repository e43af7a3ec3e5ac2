#pragma once

#include "foundation/HXCompiledBlacklist.h"
#include "foundation/HXDictionary.h"

#include <optional>
#include <vector>

// The configuration's blacklist of this name ("Application Blacklist" or "Window Blacklist"), created
// with its default entry when missing: the program itself, or web pages ("http*://*").
HXArrayRef blacklistWithName(HXDictionary& configuration, const QString& name);

// The blacklists as one sampling tick applies them.
struct HXTickBlacklists {
    // Application names, each entry without a trailing ".app".
    HXCompiledBlacklist applications;
    // Window titles for every application: plain entries and qualified ones whose qualifier is "*".
    HXArrayRef plainWindowEntries;
    HXCompiledBlacklist plainWindows;
    // Window titles for applications matching a qualifier.
    HXCompiledQualifiedBlacklist qualifiedWindows;
};

HXTickBlacklists preprocessBlacklists(HXDictionary& configuration);

// The tick's blacklists, compiled again only when the configuration's lists change, so that what was
// learnt about window titles carries over from tick to tick.
class HXBlacklistCache {
public:
    const HXTickBlacklists& update(HXDictionary& configuration);

private:
    std::vector<HXValue> m_applicationSource;
    std::vector<HXValue> m_windowSource;
    std::optional<HXTickBlacklists> m_current;
};
