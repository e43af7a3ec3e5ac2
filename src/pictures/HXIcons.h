#pragma once

#include <QImage>
#include <QSizeF>

// Small pictures drawn on demand for the resolution asked for. The report icon is a mask (only its
// alpha counts): a one-point frame holding three bars.
QImage reportIconWithSize(QSizeF size, qreal devicePixelRatio = 1.0);
// The program's colour icon: a dark disc with the pie in the front activity colour over it.
QImage colorQualdernIconWithSize(QSizeF size, const QColor& frontActivityColor, qreal devicePixelRatio = 1.0);
