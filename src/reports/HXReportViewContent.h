#pragma once

#include "foundation/HXDictionary.h"

#include <memory>

class HXReportActivityUnion;

class HXReportController;

// What one report view draws, as its update gathers it from the controller: the report list for the
// interval (empty when begin and end are the same moment), the bounds of the data, the interval that
// percentages refer to, and where the applications and pools sections lie.
struct HXReportViewContent {
    HXArrayRef list = HXArray::create();
    double begin = 0;
    double end = 0;
    double first = 0;
    double last = 0;
    // 0 when percentages refer to the raw interval (end - begin).
    double reference = 0;
    bool hasApplications = false;
    bool hasPools = false;
    // The row where the pools section begins, or -1.
    qsizetype firstPoolRow = -1;
    // The activity the reference is the length of, kept for the next update.
    std::shared_ptr<const HXReportActivityUnion> activity;

    qsizetype rowCount() const { return list ? list->count() : 0; }
    // The ribbon shows unless the report's interval is all of the data.
    bool showsRibbon() const;
    // Both sections are there, which headers (or a gap) separate.
    bool hasSections() const { return hasApplications && hasPools; }
};

// Reads "Reports Show Percentages: Reference Raw Report Interval". With the content of the last update, the
// reference is brought up to date instead of computed anew where it can be.
HXReportViewContent HXReportViewContentFromController(HXReportController& controller,
                                                      const HXReportViewContent* previous = nullptr);
