#pragma once

#include <QRectF>

struct HXReportViewContent;

// Where things lie in a report view: the interval ribbon and its knob, timestamps and x coordinates in
// the ribbon and in the rows, and the quantisation of dragged timestamps. V is the visible rectangle.

// The ribbon's components under the pointer.
enum HXReportRibbonComponent : int {
    HXRibbonBefore = 0,
    HXRibbonBeginEdge = 1,
    HXRibbonBody = 2,
    HXRibbonEndEdge = 3,
    HXRibbonAfter = 4,
};

inline constexpr double kHXReportRowHeight = 46;
inline constexpr double kHXReportRibbonHeight = 15;
inline constexpr double kHXReportHeaderHeight = 30;
inline constexpr double kHXReportKnobMinimumWidth = 24;
// The gap between the sections of a rendering without labels.
inline constexpr double kHXReportSectionGap = 3;
// The "none" of mouse locations.
inline constexpr double kHXReportNoLocation = -9999.9;
inline bool HXReportLocationIsSet(double coordinate) {
    return coordinate > -9999.8;
}

// The knob: as wide as the interval's share of the data plus 24 points, 14 high at the bottom of V; the
// grab inset of its edges is min(floor(width / 4), 8).
QRectF reportIntervalRibbonKnobFrameInVisibleRect(const HXReportViewContent& content, const QRectF& visible,
                                                  double* inset = nullptr);
HXReportRibbonComponent reportIntervalRibbonComponentAtXCoordinate(const HXReportViewContent& content,
                                                                   double x, const QRectF& visible);
double xCoordinateForTimestamp(const HXReportViewContent& content, double timestamp, const QRectF& visible,
                               bool checkReportIntervalRibbon);
// With a reference timestamp > 0 the result is quantised to "Report Interval Quantum" minutes (unless
// noQuantization, which the Control key gives).
double timestampAtXCoordinate(const HXReportViewContent& content, double x, const QRectF& visible,
                              bool checkReportIntervalRibbon, int draggedComponent,
                              double quantizeWithReferenceTimestamp, double quantumMinutes,
                              bool noQuantization);
// The quantisation alone.
double HXQuantizeReportTimestamp(double timestamp, double reference, double first, double last,
                                 double quantumMinutes);
