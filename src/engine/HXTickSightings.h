#pragma once

#include <utility>
#include <vector>

class HXDictionary;

// What one tick saw, as attributing the interval hands it on to consolidation and the lists. Every
// vector is sorted by address.
struct HXTickSightings {
    // The applications counted, some more than once (two processes of one application).
    std::vector<HXDictionary*> applications;
    // Every window counted, with its application.
    std::vector<std::pair<const HXDictionary*, const HXDictionary*>> windows;
    // Pools, pool items and window pool items marked, some more than once.
    std::vector<const HXDictionary*> poolRecords;
    // Whether an application got its record in this tick, and which got a new window record.
    bool newApplications = false;
    std::vector<const HXDictionary*> applicationsWithNewWindows;
};
