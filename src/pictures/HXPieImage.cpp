#include "pictures/HXPieImage.h"

#include "pictures/HXImageOperations.h"

#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cmath>
#include <unordered_map>

namespace {

constexpr double kSteps = 32;

QRectF circle(QPointF centre, double radius) {
    return QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
}

QImage drawPie(double time, double fraction, QSizeF size, double border, double gap, const QColor& color,
               bool invert, qreal devicePixelRatio) {
    QImage image = blankImage(size, devicePixelRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double h = size.height();
    const QPointF centre(h / 2, h / 2);
    double r = invert ? h / 2 - 1.1 : h / 2 - 0.3;
    const double w = border < 0 ? 1.4 : border;
    if (invert) {
        painter.setPen(QPen(color, w));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(circle(centre, r));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(circle(centre, r));
        r -= w - 0.1;
    }
    const double r2 = gap > 0 ? r - gap : r;
    if (r2 <= 0)
        return image;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    if (time > 0.001) {
        double f = fraction;
        if (!(f >= 0.02))
            f = 0.02;
        else if (f > 0.94)
            f = f > 0.97 ? 1.0 : 0.94;
        // Qt's angles run counter-clockwise on screen, as the wedge's description does.
        QPainterPath path;
        path.moveTo(centre);
        if (invert)
            path.arcTo(circle(centre, r2), 90, -f * 359.99);
        else
            path.arcTo(circle(centre, r2), 90, (1 - f) * 359.99);
        path.closeSubpath();
        painter.drawPath(path);
    } else if (!invert) {
        painter.drawEllipse(circle(centre, r2));
    }
    return image;
}

} // namespace

long HXPieQuantizationStep(double time, double overallTime) {
    if (!(time >= 0))
        return 0;
    // A share of nothing counts as whole: the wedge shows that there was time at all.
    const double share = overallTime > 0 ? kSteps * time / overallTime : (time > 0 ? kSteps : 0);
    const double k = std::trunc(std::min(share, kSteps));
    if (k >= 1)
        return static_cast<long>(k);
    return time > 0.001 ? -1 : 0;
}

QImage pieImageWithTime(double time, double overallTime, QSizeF size, double border, double gap,
                        std::optional<QColor> color, bool invert, bool quantizeAndCache,
                        long long colorScheme, qreal devicePixelRatio) {
    const QColor drawn = color.value_or(QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    if (!quantizeAndCache)
        return drawPie(time, overallTime > 0 ? time / overallTime : (time > 0 ? 1.0 : 0.0), size, border, gap,
                       drawn, invert, devicePixelRatio);

    const long step = HXPieQuantizationStep(time, overallTime);
    QString key = invert  ? QStringLiteral("%1_i").arg(step)
                  : color ? QStringLiteral("+%1_%2").arg(step).arg(colorScheme)
                          : QStringLiteral("-%1").arg(step);
    // A pie of another size, stroke or colour is another picture.
    key += QStringLiteral("@%1x%2/%3/%4/%5/%6")
               .arg(size.width())
               .arg(size.height())
               .arg(border)
               .arg(gap)
               .arg(devicePixelRatio)
               .arg(drawn.name(QColor::HexArgb));
    static std::unordered_map<QString, QImage> cache;
    if (const auto found = cache.find(key); found != cache.end())
        return found->second;
    const double fraction = step == -1 ? 0.02 : static_cast<double>(step) / kSteps;
    QImage image = drawPie(time, fraction, size, border, gap, drawn, invert, devicePixelRatio);
    cache.emplace(key, image);
    return image;
}

QImage pieIconWithSize(QSizeF size, qreal devicePixelRatio) {
    return pieImageWithTime(64, 100, size, 1.0, 1.7, std::nullopt, true, false, 0, devicePixelRatio);
}
