#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

#include <optional>

// Badges as listeners draw them over an announced icon: the text in a rounded, shadowed lozenge.

// Text in the system font at 40 pixels, centred and shortened in the middle; the lozenge is round for a
// short text and at most 2.7 times as wide as it is high. Default colours: white text on red (alpha 0.9),
// no stroke.
QImage DQXCreateBadgeImage(const QString& text, std::optional<QColor> textColor = std::nullopt,
                           std::optional<QColor> fillColor = std::nullopt,
                           std::optional<QColor> strokeColor = std::nullopt);
// Draws the badge at a corner of rect, 1/2.7 of its height high, the width in proportion.
void DQXDrawBadgeImage(QPainter& painter, const QImage& badge, bool top, bool right, const QRectF& rect);
void DQXDrawBadge(QPainter& painter, const QString& text, std::optional<QColor> textColor,
                  std::optional<QColor> fillColor, std::optional<QColor> strokeColor, bool top, bool right,
                  const QRectF& rect);
// Where DQXDrawBadgeImage draws a badge of that size.
QRectF DQXBadgeRect(const QSizeF& badgeSize, bool top, bool right, const QRectF& rect);
