#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Image operations of the interface. Sizes and rectangles are in points (device-independent pixels);
// results keep the receiver's device pixel ratio.

// A transparent image of the size at the pixel ratio, at least one pixel each way.
QImage blankImage(QSizeF size, qreal devicePixelRatio);
// The image dissolved to fraction.
QImage imageWithAlpha(const QImage& image, double fraction);
// The image itself when it fits maxSize (dissolved when fraction < 0.99); otherwise scaled down to fit,
// in an image of the scaled size (snug) or of maxSize with the picture centred.
QImage imageWithMaxSize(const QImage& image, QSizeF maxSize, double fraction, bool snug);
// The image with its whole rectangle then filled with color through the composition mode.
QImage imageTintedWithColor(const QImage& image, const QColor& color, QPainter::CompositionMode operation);
// The colour over the image's opaque pixels only.
QImage imageDarkenedWithColor(const QImage& image, const QColor& color);
// 0.3 R + 0.59 G + 0.11 B in every colour channel, alpha kept; a null image for an empty one.
QImage grayScaleImage(const QImage& image);

// Draws the image into rect at fraction; flip mirrors it vertically, a rotation of more than 0.1 degrees
// turns it around the rectangle's centre. With a colour, the colour is drawn in the image's shape.
void drawInRect(QPainter& painter, const QImage& image, const QRectF& rect, std::optional<QColor> color,
                double fraction, bool flip, double rotate);
// Draws the image as the largest square of edge min(maximumEdgeLength (the image's width when negative),
// floor(min(width, height) * scalingFactor)) centred in rect: in the colour's shape when a colour is
// given, else through operation. The square drawn into is written to square when given.
void drawAsSquareInRect(QPainter& painter, const QImage& image, const QRectF& rect,
                        std::optional<QColor> color, QPainter::CompositionMode operation,
                        double scalingFactor, double maximumEdgeLength, double fraction,
                        QRectF* square = nullptr);
