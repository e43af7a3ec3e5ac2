#pragma once

#include <QColor>
#include <QPalette>

class HXUserDefaults;
class HXValue;

// The colour reports draw foreground activity in. Dark: the palette's selection colour. Light: in a
// report view's context the light selection colour, elsewhere the selection colour. Original (and any
// other scheme): the default front activity colour from "Pie Color Components", read once per process.
QColor frontActivityColorForReportViewContext(bool reportViewContext, long long colorScheme,
                                              const HXUserDefaults& defaults, const QPalette& palette);
// The same with the application's palette.
QColor frontActivityColorForReportViewContext(bool reportViewContext, long long colorScheme,
                                              const HXUserDefaults& defaults);

// Red, green and blue from an array of exactly three numbers between 0 and 1; (0.6, 0.4, 0.6) for
// anything else.
QColor HXFrontActivityColorWithComponents(const HXValue& components);

// The palette's strong selection colour (selected rows, the ribbon knob) and the light one, a tint of it
// towards the base colour.
QColor HXAlternateSelectedControlColor(const QPalette& palette);
QColor HXSelectedControlColor(const QPalette& palette);
