#pragma once

#include "pictures/HXColorScheme.h"

#include "foundation/HXDictionary.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <utility>
#include <vector>

class HXUserDefaults;
class QPainter;
struct HXReportViewContent;

// How a report is drawn: its format, what activity, the scheme and its colours, the texts' settings and
// the desktop's font, and a status text that replaces the report ("Loading...", errors).
struct HXReportDrawingStyle {
    int timeFormat = 0;
    bool drawFrontActivity = true;
    bool drawTotalActivity = true;
    HXColorScheme scheme = HXColorScheme::Original;
    QColor frontColor = QColor::fromRgbF(0.6f, 0.4f, 0.6f);
    // The ribbon knob of the light scheme while the window is the active one.
    QColor selectionColor = QColor(48, 140, 198);
    bool windowIsMain = true;
    bool reduceTransparency = false;
    bool showPercentages = true;
    bool expressAsDays = true;
    QFont font;
    QString status;

    // Everything but the format and the activity, from the settings and the application's palette.
    static HXReportDrawingStyle fromDefaults(const HXUserDefaults& defaults);
};

// Where the pointer is and what it does, in view coordinates; coordinates of kHXReportNoLocation are none.
struct HXReportPointerState {
    QPointF down{-9999.9, -9999.9};
    QPointF drag{-9999.9, -9999.9};
    QPointF track{-9999.9, -9999.9};
    bool trackInRibbon = false;
    bool showTimeAtMouseLocation = false;
    bool indicatorLineTracksMouse = false;
    // A span is being dragged over the rows (portions are then drawn as a time lapse).
    bool isSelectingSpan() const;
};

// A drawn row with its record, for hit testing and the accessibility tree.
struct HXReportRowRect {
    HXDictionaryRef log;
    QRectF rect;
};

// The rows' rectangles in bounds: the height less the ribbon is shared out in whole points (rows differ
// by a point at most), with 30-point header bands before each section when both exist and labels
// are drawn, or a small gap without labels. One record takes all of it.
std::vector<QRectF> HXReportRowRectangles(const HXReportViewContent& content, const QRectF& bounds,
                                          bool includeLabels);
// The natural top of the "Apps" and "Pools" header bands (when there are headers).
std::pair<double, double> HXReportHeaderTops(const HXReportViewContent& content, const QRectF& bounds);
// Where they are drawn: held at the top of the visible part while their section scrolls under them, the
// "Apps" header pushed up by the "Pools" header.
std::pair<double, double> HXReportStickyHeaderTops(const HXReportViewContent& content, const QRectF& bounds,
                                                   const QRectF& visible);

// A record's name on one line: every run of white space with a line break, or of two or more white-space
// characters, is one blank.
QString HXReportRowName(const QString& name);
// The fine print: front and total times, with percentages of the reference interval when shown.
QString HXReportFinePrint(const HXDictionary& record, const HXReportViewContent& content,
                          const HXReportDrawingStyle& style);
// A window, or a pool item that is not a pool: drawn indented with a bullet.
bool HXReportRowIsIndented(const HXDictionary& record);

// The whole report: the background, the rows visible in visibleRect (from the last to the first), their
// labels and the sticky headers, the ribbon, and the pointer's span, time and indicator; or a centred
// message when there is a status or nothing to show. Without labels it draws as small renderings do: no
// labels, headers or pointer, opaque bars. storeRects gets every visible row. With an exposedRect only the
// rows that meet it are drawn: a view repainting a few changed rows skips the others.
void drawReportInBounds(QPainter& painter, const HXReportViewContent& content,
                        const HXReportDrawingStyle& style, const HXReportPointerState& pointer,
                        const QRectF& bounds, const QRectF& visibleRect, bool includeBackground,
                        bool includeLabels, bool includeMouseSpanOrLocation,
                        std::vector<HXReportRowRect>* storeRects = nullptr,
                        const QRectF& exposedRect = QRectF());

// One row as drawReportInBounds draws it: its rectangle, a number for its bars and one for its labels.
struct HXReportRowAppearance {
    QRectF rect;
    std::size_t bars = 0;
    std::size_t labels = 0;
    // All that the labels draw: what changes when only they do.
    QRectF labelArea;

    friend bool operator==(const HXReportRowAppearance&, const HXReportRowAppearance&) = default;
};
// What drawReportInBounds draws from the content and the style, the pointer aside: each row drawn in
// visibleRect, a number for the ribbon's knob (to an eighth of a point) and one for all the rest. Equal
// numbers draw equal pictures, so that a view redraws only what changed.
struct HXReportAppearance {
    std::size_t frame = 0;
    std::size_t ribbon = 0;
    QRectF ribbonRect;
    std::vector<HXReportRowAppearance> rows;

    friend bool operator==(const HXReportAppearance&, const HXReportAppearance&) = default;
};
HXReportAppearance HXReportAppearanceInBounds(const HXReportViewContent& content,
                                              const HXReportDrawingStyle& style, const QRectF& bounds,
                                              const QRectF& visibleRect, bool includeLabels);

// The colour behind the rows in a scheme.
QColor HXReportBackgroundColor(HXColorScheme scheme);

// The message drawn instead of rows: the status, the date of a zero-length interval, or
// "No data in selected time interval"; empty when rows are drawn.
QString HXReportMessage(const HXReportViewContent& content, const HXReportDrawingStyle& style);
