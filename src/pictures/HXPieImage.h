#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>

#include <optional>

// A pie whose wedge, clockwise from twelve o'clock, is time's share of overallTime, drawn into an image of
// size points (the centre and radius come from the height). Not inverted: a disc in the colour (grey
// without one) with a ring and the wedge kept, the rest of its inside white. Inverted: an outlined circle
// (border wide, 1.4 when negative) with a white wedge. gap > 0 keeps that much of the ring around the
// wedge. Shares below 2 % are drawn as 2 %; above 94 % as 94 %, above 97 % as the full disc.
//
// With quantizeAndCache the share is rounded down to 32 steps (the smallest share of any real time is
// kept as 2 %) and the image comes from a process-wide cache that is never emptied, keyed by the step,
// the inversion, the colour scheme when a colour is given, and the size and strokes. Main thread only.
QImage pieImageWithTime(double time, double overallTime, QSizeF size, double border, double gap,
                        std::optional<QColor> color, bool invert, bool quantizeAndCache,
                        long long colorScheme = 0, qreal devicePixelRatio = 1.0);

// The quantisation step of a share: 0 for no time, -1 for a share too small for the first step, else
// 1 to 32.
long HXPieQuantizationStep(double time, double overallTime);

// The program's pie: 64 % of a circle, outlined, for monochrome (mask) icons.
QImage pieIconWithSize(QSizeF size, qreal devicePixelRatio = 1.0);
