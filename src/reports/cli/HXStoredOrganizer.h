#pragma once

#include "foundation/HXDictionary.h"

class HXUserDefaults;

// The organizer's lists as a sampling tick would build them, derived from the stored configuration alone:
// applications that are "Active" or all of them with "Show Inactive Applications", each with its windows
// chosen the same way (set as its listWindows()); pools that are "Active", or all with "Show Inactive
// Pools", or paused ones with "Pools: Treat Paused As Active"; everything sorted with HXSortItems by the
// sort column.
struct HXStoredOrganizerLists {
    HXArrayRef applications;
    HXArrayRef pools;
};

HXStoredOrganizerLists organizerListsFromStoredConfiguration(const HXDictionary& configuration,
                                                             const HXUserDefaults& defaults, int sortColumn);
