#pragma once

// What the report window's controls show, as the controller decides it: the begin and end check boxes
// with their date pickers (a picker is enabled exactly when its box is checked), the interval selector of
// the live report and the direction indicator of snapshots. Dates are Unix seconds.
struct HXReportControls {
    bool datesVisible = false;
    bool beginChecked = false;
    double beginMinimum = 0;
    double beginMaximum = 0;
    double beginDate = 0;
    bool endChecked = false;
    double endMinimum = 0;
    double endMaximum = 0;
    double endDate = 0;
    bool selectorVisible = false;
    // 1 to 4 for a named interval, 0 for the custom entry.
    int selectorTag = 0;
    bool indicatorVisible = false;

    friend bool operator==(const HXReportControls&, const HXReportControls&) = default;
};
