#pragma once

// The report a View menu's first entries act on: its time format and the activity it draws. A report
// controller answers it; the View menu validates and sends those entries to it.
class HXReportMenuTarget {
public:
    virtual ~HXReportMenuTarget() = default;

    // 0 time lapse, 1 time portions.
    virtual int timeFormat() const = 0;
    virtual void setTimeFormat(int format) = 0;
    virtual bool drawFrontActivity() const = 0;
    virtual bool drawTotalActivity() const = 0;
    // Tag 0 foreground activity, 1 total activity.
    virtual void toggleShownActivity(int tag) = 0;
    virtual bool isReportViewVisible() const = 0;
    // Snapshots draw what their file holds: their activity entries stay disabled.
    virtual bool isSnapshot() const = 0;
};
