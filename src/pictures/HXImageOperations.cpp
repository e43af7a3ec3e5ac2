#include "pictures/HXImageOperations.h"

#include <algorithm>
#include <cmath>

QImage blankImage(QSizeF size, qreal devicePixelRatio) {
    QImage image(std::max(1, static_cast<int>(std::ceil(size.width() * devicePixelRatio))),
                 std::max(1, static_cast<int>(std::ceil(size.height() * devicePixelRatio))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    return image;
}

namespace {

QImage blankLike(const QImage& image, QSizeF points) {
    return blankImage(points, image.devicePixelRatio());
}

// The image filled with the colour where it is opaque, as a colour layer destined for one draw.
QImage colourInShape(const QImage& image, const QColor& color, QSizeF size) {
    QImage layer = blankLike(image, size);
    QPainter painter(&layer);
    const QRectF bounds(QPointF(0, 0), size);
    painter.fillRect(bounds, color);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(bounds, image);
    return layer;
}

} // namespace

QImage imageWithAlpha(const QImage& image, double fraction) {
    if (image.isNull())
        return image;
    QImage made = blankLike(image, image.deviceIndependentSize());
    QPainter painter(&made);
    painter.setOpacity(std::clamp(fraction, 0.0, 1.0));
    painter.drawImage(QPointF(0, 0), image);
    return made;
}

QImage imageWithMaxSize(const QImage& image, QSizeF maxSize, double fraction, bool snug) {
    const QSizeF size = image.deviceIndependentSize();
    const bool fits = size.width() <= maxSize.width() && size.height() <= maxSize.height();
    double factor = 1;
    QSizeF scaled = size;
    if (!fits && maxSize.width() > 0 && maxSize.height() > 0) {
        factor = std::max(size.width() / maxSize.width(), size.height() / maxSize.height());
        scaled = QSizeF(size.width() / factor, size.height() / factor);
        // The side that did not decide the factor is rounded down.
        if (size.width() / maxSize.width() >= size.height() / maxSize.height())
            scaled = QSizeF(maxSize.width(), std::floor(scaled.height()));
        else
            scaled = QSizeF(std::floor(scaled.width()), maxSize.height());
    }
    if (fits || maxSize.width() <= 0 || maxSize.height() <= 0 || scaled.width() < 1 || scaled.height() < 1)
        return fraction < 0.99 ? imageWithAlpha(image, fraction) : image;
    QImage made = blankLike(image, snug ? scaled : maxSize);
    QPainter painter(&made);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(std::clamp(fraction, 0.0, 1.0));
    const QPointF origin = snug ? QPointF(0, 0)
                                : QPointF(std::floor((maxSize.width() - scaled.width()) / 2),
                                          std::floor((maxSize.height() - scaled.height()) / 2));
    painter.drawImage(QRectF(origin, scaled), image);
    return made;
}

QImage imageTintedWithColor(const QImage& image, const QColor& color, QPainter::CompositionMode operation) {
    if (image.isNull())
        return image;
    const QSizeF size = image.deviceIndependentSize();
    QImage made = blankLike(image, size);
    QPainter painter(&made);
    painter.drawImage(QPointF(0, 0), image);
    painter.setCompositionMode(operation);
    painter.fillRect(QRectF(QPointF(0, 0), size), color);
    return made;
}

QImage imageDarkenedWithColor(const QImage& image, const QColor& color) {
    return imageTintedWithColor(image, color, QPainter::CompositionMode_SourceAtop);
}

QImage grayScaleImage(const QImage& image) {
    if (image.width() == 0 || image.height() == 0)
        return QImage();
    QImage made = image.convertToFormat(QImage::Format_RGBA8888);
    if (made.isNull())
        return QImage();
    for (int y = 0; y < made.height(); ++y) {
        uchar* pixel = made.scanLine(y);
        for (int x = 0; x < made.width(); ++x, pixel += 4) {
            const double grey = 0.3 * pixel[0] + 0.59 * pixel[1] + 0.11 * pixel[2];
            const uchar value = static_cast<uchar>(std::clamp(std::lround(grey), 0L, 255L));
            pixel[0] = pixel[1] = pixel[2] = value;
        }
    }
    return made;
}

void drawInRect(QPainter& painter, const QImage& image, const QRectF& rect, std::optional<QColor> color,
                double fraction, bool flip, double rotate) {
    if (image.isNull() || rect.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(painter.opacity() * std::clamp(fraction, 0.0, 1.0));
    const QPointF centre = rect.center();
    if (std::abs(rotate) > 0.1) {
        painter.translate(centre);
        painter.rotate(rotate);
        painter.translate(-centre);
    }
    if (flip) {
        painter.translate(0, rect.top() + rect.bottom());
        painter.scale(1, -1);
    }
    if (color)
        painter.drawImage(rect, colourInShape(image, *color, rect.size()));
    else
        painter.drawImage(rect, image);
    painter.restore();
}

void drawAsSquareInRect(QPainter& painter, const QImage& image, const QRectF& rect,
                        std::optional<QColor> color, QPainter::CompositionMode operation,
                        double scalingFactor, double maximumEdgeLength, double fraction, QRectF* square) {
    const double maximum = maximumEdgeLength < 0 ? image.deviceIndependentSize().width() : maximumEdgeLength;
    const double edge =
        std::max(0.0, std::min(maximum, std::floor(std::min(rect.width(), rect.height()) * scalingFactor)));
    const QRectF target(rect.x() + std::floor((rect.width() - edge) / 2),
                        rect.y() + std::floor((rect.height() - edge) / 2), edge, edge);
    if (square)
        *square = target;
    if (edge <= 0 || image.isNull())
        return;
    if (color) {
        drawInRect(painter, image, target, color, fraction, false, 0);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(operation);
    painter.setOpacity(painter.opacity() * std::clamp(fraction, 0.0, 1.0));
    painter.drawImage(target, image);
    painter.restore();
}
