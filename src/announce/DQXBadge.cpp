#include "announce/DQXBadge.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kFontSize = 40;
constexpr double kPadding = 22;
constexpr double kMaximumAspect = 2.7;
constexpr double kInset = 3;
constexpr double kTextInset = 11;
constexpr int kShadowBlur = 3;

QFont badgeFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(static_cast<int>(kFontSize));
    return font;
}

QPainterPath lozenge(const QRectF& rect) {
    QPainterPath path;
    path.addRoundedRect(rect, rect.height() / 2, rect.height() / 2);
    return path;
}

// One pass of a box blur of the given radius along rows or columns.
void boxBlur(QImage& image, int radius, bool horizontal) {
    const int width = image.width();
    const int height = image.height();
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    std::vector<QRgb> source(static_cast<std::size_t>(length));
    for (int line = 0; line < lines; ++line) {
        for (int i = 0; i < length; ++i)
            source[static_cast<std::size_t>(i)] = horizontal ? image.pixel(i, line) : image.pixel(line, i);
        for (int i = 0; i < length; ++i) {
            int sum[4] = {0, 0, 0, 0};
            for (int k = i - radius; k <= i + radius; ++k) {
                const QRgb p = k >= 0 && k < length ? source[static_cast<std::size_t>(k)] : 0;
                sum[0] += qRed(p);
                sum[1] += qGreen(p);
                sum[2] += qBlue(p);
                sum[3] += qAlpha(p);
            }
            const int n = 2 * radius + 1;
            const QRgb blurred = qRgba(sum[0] / n, sum[1] / n, sum[2] / n, sum[3] / n);
            if (horizontal)
                image.setPixel(i, line, blurred);
            else
                image.setPixel(line, i, blurred);
        }
    }
}

// The shape's shadow: offset one pixel down, blurred by about the radius, in black at 0.4.
QImage shadowOf(const QPainterPath& shape, const QSize& size) {
    QImage shadow(size, QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    QPainter painter(&shadow);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, 1);
    painter.fillPath(shape, QColor::fromRgbF(0, 0, 0, 0.4f));
    painter.end();
    // Three box passes of radius 1 come close to a Gaussian of the blur radius.
    for (int pass = 0; pass < kShadowBlur; ++pass) {
        boxBlur(shadow, 1, true);
        boxBlur(shadow, 1, false);
    }
    return shadow;
}

} // namespace

QImage DQXCreateBadgeImage(const QString& text, std::optional<QColor> textColor,
                           std::optional<QColor> fillColor, std::optional<QColor> strokeColor) {
    const QFont font = badgeFont();
    const QFontMetricsF metrics(font);
    QSizeF size = text.isEmpty() ? QSizeF() : metrics.size(Qt::TextSingleLine, text);
    if (size.isEmpty()) {
        size = QSizeF(30, 30);
    } else {
        size += QSizeF(kPadding, kPadding);
        if (size.height() > size.width())
            size.setWidth(size.height());
        else
            size.setWidth(std::min(size.width() + 16, size.height() * kMaximumAspect));
    }
    const QSize pixels(static_cast<int>(std::ceil(size.width())), static_cast<int>(std::ceil(size.height())));
    QImage badge(pixels, QImage::Format_ARGB32_Premultiplied);
    badge.fill(Qt::transparent);
    const QRectF bounds(QPointF(0, 0), QSizeF(pixels));
    const QRectF inset = bounds.adjusted(kInset, kInset, -kInset, -kInset);
    const QPainterPath shape = lozenge(inset);

    QPainter painter(&badge);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.drawImage(0, 0, shadowOf(shape, pixels));
    painter.fillPath(shape, fillColor.value_or(QColor::fromRgbF(1, 0, 0, 0.9f)));
    if (strokeColor) {
        const double width = std::max(1.0, std::floor(0.05 * inset.height()));
        const QRectF stroked = inset.adjusted(width / 2, width / 2, -width / 2, -width / 2);
        painter.setPen(QPen(*strokeColor, width));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(lozenge(stroked));
    }
    const QRectF textRect = bounds.adjusted(kTextInset, kTextInset, -kTextInset, -kTextInset);
    painter.setFont(font);
    painter.setPen(textColor.value_or(QColor(Qt::white)));
    const QString shown = metrics.elidedText(text, Qt::ElideMiddle, textRect.width());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, shown);
    return badge;
}

QRectF DQXBadgeRect(const QSizeF& badgeSize, bool top, bool right, const QRectF& rect) {
    const double height = rect.height() / kMaximumAspect;
    const double width = badgeSize.height() > 0 ? badgeSize.width() * height / badgeSize.height() : 0;
    const double x = right ? rect.right() - width : rect.left();
    const double y = top ? rect.top() : rect.bottom() - height;
    return QRectF(x, y, width, height);
}

void DQXDrawBadgeImage(QPainter& painter, const QImage& badge, bool top, bool right, const QRectF& rect) {
    if (badge.isNull())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(1);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(DQXBadgeRect(badge.deviceIndependentSize(), top, right, rect), badge);
    painter.restore();
}

void DQXDrawBadge(QPainter& painter, const QString& text, std::optional<QColor> textColor,
                  std::optional<QColor> fillColor, std::optional<QColor> strokeColor, bool top, bool right,
                  const QRectF& rect) {
    DQXDrawBadgeImage(painter, DQXCreateBadgeImage(text, textColor, fillColor, strokeColor), top, right,
                      rect);
}
