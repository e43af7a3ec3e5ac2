#include "pictures/HXIcons.h"

#include "pictures/HXImageOperations.h"
#include "pictures/HXPieImage.h"

#include <QPainter>

QImage reportIconWithSize(QSizeF size, qreal devicePixelRatio) {
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    const QRectF bounds(QPointF(0, 0), size);
    painter.fillRect(bounds, Qt::black);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillRect(bounds.adjusted(1, 1, -1, -1), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QRectF inner = bounds.adjusted(2.5, 2.5, -2.5, -2.5);
    const double barHeight = (inner.height() - 3) / 3;
    if (barHeight <= 0 || inner.width() <= 0)
        return image;
    for (int i = 0; i < 3; ++i) {
        // The lowest bar sits on the inner bottom; y grows downwards here.
        const double y = inner.bottom() - barHeight - i * (barHeight + 1.5);
        painter.fillRect(QRectF(inner.left(), y, inner.width(), barHeight), Qt::black);
    }
    return image;
}

QImage colorQualdernIconWithSize(QSizeF size, const QColor& frontActivityColor, qreal devicePixelRatio) {
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(QPointF(0, 0), size);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(0, 0, 0, 0.65f));
    painter.drawEllipse(bounds.adjusted(1, 1, -1, -1));
    const QRectF inner = bounds.adjusted(1.5, 1.5, -1.5, -1.5);
    const QImage pie = pieImageWithTime(64, 100, inner.size(), 1.0, 1.0, frontActivityColor, false, false, 0,
                                        devicePixelRatio);
    painter.drawImage(inner.topLeft(), pie);
    return image;
}
