#include "ui/preferences/HXStatusItemIconChoices.h"

#include "ui/statusitem/HXStatusItemIcon.h"

#include <QPainter>
#include <QPalette>

namespace {

constexpr int kHalfWidth = 23;
constexpr int kHeight = 21;

} // namespace

QIcon HXStatusItemIconChoice(int tag, const HXUserDefaults& defaults, const QPalette& palette,
                             qreal devicePixelRatio) {
    HXStatusItemAppearance appearance = HXStatusItemAppearanceFromDefaults(defaults, palette);
    appearance.iconSetting = tag;
    appearance.showsLiveReport = false;
    if (tag % 10 != 0)
        return QIcon(QPixmap::fromImage(HXStatusItemImage(appearance, kHalfWidth, devicePixelRatio)));

    QImage both(QSize(2 * kHalfWidth, kHeight) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    both.setDevicePixelRatio(devicePixelRatio);
    both.fill(Qt::transparent);
    QPainter painter(&both);
    painter.drawImage(QPointF(0, 0), HXStatusItemImage(appearance, kHalfWidth, devicePixelRatio));
    appearance.showsLiveReport = true;
    painter.drawImage(QPointF(kHalfWidth, 0), HXStatusItemImage(appearance, kHalfWidth, devicePixelRatio));
    QColor line = palette.color(QPalette::Active, QPalette::WindowText);
    line.setAlphaF(0.4f);
    painter.setPen(QPen(line, 1));
    painter.drawLine(QPointF(kHalfWidth + 0.5, 3), QPointF(kHalfWidth + 0.5, kHeight - 4));
    painter.end();
    return QIcon(QPixmap::fromImage(both));
}
