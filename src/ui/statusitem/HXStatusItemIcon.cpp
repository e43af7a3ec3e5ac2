#include "ui/statusitem/HXStatusItemIcon.h"

#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXUserDefaults.h"
#include "pictures/HXIcons.h"
#include "pictures/HXImageOperations.h"
#include "pictures/HXPieImage.h"
#include "ui/statusitem/HXNamedImages.h"

#include <QPainter>
#include <QPalette>

#include <cmath>

namespace {

constexpr double kHeight = 21;

// The drawn templates: only their shape counts, the tint colours them.
QImage templateImage(long long style, qreal devicePixelRatio) {
    QImage image = blankImage(QSizeF(18, 18), devicePixelRatio);
    QPainter painter(&image);
    if (style == 11)
        painter.drawImage(QPointF(1, 2), pieIconWithSize(QSizeF(16, 16), devicePixelRatio));
    else
        painter.drawImage(QPointF(1, 3), reportIconWithSize(QSizeF(16, 14), devicePixelRatio));
    return image;
}

double maximumEdge(long long style) {
    return style == 2 ? 16 : 18;
}

bool drawsShadow(long long style) {
    return style != 1 && style != 2 && style != 101 && style != 102;
}

} // namespace

int HXStatusItemWidth(long long stored) {
    if (stored <= 25)
        return 26;
    return static_cast<int>(std::min<long long>(stored, 100));
}

long long HXStatusItemIconStyle(long long setting, bool showsLiveReport) {
    if (setting % 10 == 0)
        return setting + (showsLiveReport ? 2 : 1);
    return setting;
}

QString HXStatusItemImageName(long long style, bool hibernating, bool inverted) {
    QString name;
    switch (style) {
    case 2:
        return QStringLiteral("Report");
    case 101:
        name = QStringLiteral("Menu");
        break;
    case 102:
        name = QStringLiteral("MenuReport");
        break;
    case 111:
        name = QStringLiteral("MenuSimple");
        break;
    case 112:
        name = QStringLiteral("MenuSimpleReport");
        break;
    case 121:
        name = QStringLiteral("MenuTolvane");
        break;
    case 122:
        name = QStringLiteral("MenuTolvaneReport");
        break;
    default:
        return QString();
    }
    if (style >= 111 && inverted)
        name += QStringLiteral("Inverted");
    if (hibernating)
        name += QStringLiteral("Hibernate");
    return name;
}

bool HXSystemIsInDarkMode(const HXUserDefaults& defaults, const QPalette& palette) {
    if (defaults.hasUserValue(u"AppleInterfaceStyle"))
        return defaults.stringForKey(u"AppleInterfaceStyle").toLower() == QStringLiteral("dark");
    return palette.color(QPalette::Active, QPalette::Window).lightness() < 128;
}

bool HXDrawFlatUserInterface(const HXUserDefaults& defaults) {
    if (defaults.objectForKey(u"HXFlatUserInterfaceDrawing").isNull())
        return true;
    return defaults.boolForKey(u"HXFlatUserInterfaceDrawing");
}

HXStatusItemAppearance HXStatusItemAppearanceFromDefaults(const HXUserDefaults& defaults,
                                                          const QPalette& palette) {
    HXStatusItemAppearance appearance;
    appearance.iconSetting = defaults.integerForKey(HXDefaultsKeys::StatusItemIcon);
    appearance.showsLiveReport = defaults.boolForKey(HXDefaultsKeys::StatusItemShowsActivityReport);
    appearance.deepHibernation = !defaults.objectForKey(HXDefaultsKeys::DeepHibernation).isNull();
    appearance.darkMode = HXSystemIsInDarkMode(defaults, palette);
    appearance.flat = HXDrawFlatUserInterface(defaults);
    appearance.highlightColor = palette.color(QPalette::Active, QPalette::Highlight);
    appearance.selectedMenuItemColor = palette.color(QPalette::Active, QPalette::Highlight);
    return appearance;
}

QColor HXStatusItemTint(const HXStatusItemAppearance& a) {
    const bool normal = !a.hibernating && !a.insomniac;
    const bool dark = a.highlighted || a.darkMode;
    if (a.highlighted || normal) {
        if (dark)
            return Qt::white;
        return QColor::fromRgbF(0, 0, 0, a.flat ? 0.7f : 1.0f);
    }
    if (a.hibernating)
        return a.deepHibernation ? QColor(Qt::red) : QColor(Qt::gray);
    return a.selectedMenuItemColor;
}

QImage HXStatusItemImage(const HXStatusItemAppearance& a, int width, qreal devicePixelRatio) {
    QImage image = blankImage(QSizeF(width, kHeight), devicePixelRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(0, 0, width, kHeight);
    if (a.highlighted) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(a.highlightColor);
        painter.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    const bool dark = a.highlighted || a.darkMode;
    const bool normal = !a.hibernating && !a.insomniac;
    const bool inverted = normal && dark;
    const long long style = HXStatusItemIconStyle(a.iconSetting, a.showsLiveReport);
    // The upper 19 points; the colour icon and the "Menu" picture sit one point lower.
    QRectF iconRect(0, 0, width, kHeight - 2);
    if (style == 1 || style == 101)
        iconRect.translate(0, 1);

    if (style == 1) {
        const QImage icon = colorQualdernIconWithSize(QSizeF(18, 18), a.accentColor, devicePixelRatio);
        drawAsSquareInRect(painter, icon, iconRect, std::nullopt, QPainter::CompositionMode_SourceOver, 1, 18,
                           1);
        return image;
    }

    QImage picture;
    std::optional<QColor> tint;
    if (style == 11 || style == 12) {
        picture = templateImage(style, devicePixelRatio);
        tint = HXStatusItemTint(a);
    } else {
        const QString name = HXStatusItemImageName(style, a.hibernating, inverted);
        if (name.isEmpty())
            return image;
        const double edge = maximumEdge(style);
        picture = HXNamedImage(name, QSizeF(edge, edge), a.accentColor, devicePixelRatio);
        if (style == 2 && a.hibernating)
            picture = grayScaleImage(picture);
    }
    if (drawsShadow(style) && !inverted && !a.flat) {
        drawAsSquareInRect(painter, picture, iconRect.translated(0, 1), QColor(Qt::white),
                           QPainter::CompositionMode_SourceOver, 1, maximumEdge(style), 0.8);
    }
    drawAsSquareInRect(painter, picture, iconRect, tint, QPainter::CompositionMode_SourceOver, 1,
                       maximumEdge(style), 1);
    return image;
}
