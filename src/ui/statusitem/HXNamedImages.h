#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QString>

// The program's own pictures, drawn in code at the size and resolution asked for: "Report" (a report
// sheet whose screen area at (15, 23, 98, 82) of 128 x 128 takes the live report), the tray pictures
// "Menu", "MenuReport", "MenuSimple", "MenuSimpleReport", "MenuTolvane", "MenuTolvaneReport" (the
// simple and tolvane ones also "...Inverted" for dark bars, every tray picture also "...Hibernate"), and
// "Qualdern", the program's icon. accent colours the pies of the coloured ones. An unknown name gives a
// null image.
QImage HXNamedImage(const QString& name, QSizeF size, const QColor& accent, qreal devicePixelRatio = 1.0);

// Where the live report goes in the "Report" picture, in its 128 x 128 frame, y growing downwards.
QRectF HXReportImageScreenRect();
