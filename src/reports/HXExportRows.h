#pragma once

#include "foundation/HXDictionary.h"

#include <QString>

#include <cstdint>
#include <limits>
#include <vector>

// Which pair of time columns an export row fills: "Foreground Begin/End" from "Front Active Log",
// "Total Begin/End" from "Active Log".
enum class HXExportStream { Foreground, Total };

// The text columns of a row; a null text is a column the caller gave no value for.
struct HXExportRowTexts {
    QString pool;
    QString poolNotes;
    QString application;
    QString window;
};

// One begin/end pair. The times of the other stream are absent (NaN); texts are shared per item.
struct HXExportRow {
    static constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();

    std::uint32_t texts = 0;
    double foregroundBegin = kAbsent;
    double foregroundEnd = kAbsent;
    double totalBegin = kAbsent;
    double totalEnd = kAbsent;
};

// Rows of an export, with the text columns of each item kept once.
struct HXExportRows {
    std::vector<HXExportRowTexts> texts;
    std::vector<HXExportRow> rows;
};

// Ascending by "Foreground Begin", a row without one last; ties by "Total Begin" the same way.
int HXSortSnapshotLines(const HXExportRow& a, const HXExportRow& b);

// Clips the item's stream under the key and appends one row per begin/end pair; runs of begins or ends
// count from their first value.
void addEventStream(HXExportRows& rows, HXKey streamKey, const HXDictionary& item, HXExportStream stream,
                    double a, double b, const HXExportRowTexts& texts);
