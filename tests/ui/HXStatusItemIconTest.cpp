// The tray icon's pictures: the width clamp, the styles a setting resolves to, the tints of each state, the
// pie's share, the shadow, the pictures that are never tinted, and what the settings say.
#include "ui/statusitem/HXStatusItemIcon.h"
#include "ui/statusitem/HXNamedImages.h"

#include "foundation/HXUserDefaults.h"
#include "support/TestSupport.h"

#include <QPalette>

#include <gtest/gtest.h>

namespace {

// The upper-left of the 18-point square in an image of the given width.
QPoint squareOrigin(int width) {
    return QPoint((width - 18) / 2, 0);
}

// The drawn pixels of an image: count, and the mean colour of the opaque ones.
struct Ink {
    int count = 0;
    QColor mean;
};

Ink inkOf(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    double r = 0, g = 0, b = 0;
    Ink ink;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QColor c = argb.pixelColor(x, y);
            if (c.alpha() < 200)
                continue;
            ++ink.count;
            r += c.red();
            g += c.green();
            b += c.blue();
        }
    }
    if (ink.count > 0)
        ink.mean = QColor(static_cast<int>(r / ink.count), static_cast<int>(g / ink.count),
                          static_cast<int>(b / ink.count));
    return ink;
}

int drawnPixels(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            count += argb.pixelColor(x, y).alpha() > 0 ? 1 : 0;
    return count;
}

HXStatusItemAppearance appearance(long long setting) {
    HXStatusItemAppearance a;
    a.iconSetting = setting;
    a.flat = false;
    a.selectedMenuItemColor = QColor(0, 120, 255);
    a.highlightColor = QColor(20, 90, 200);
    return a;
}

QColor pixel(const QImage& image, int x, int y) {
    return image.convertToFormat(QImage::Format_ARGB32).pixelColor(x, y);
}

} // namespace

TEST(HXStatusItemIcon, TheWidthIsClampedAndTheImageHasIt) {
    EXPECT_EQ(HXStatusItemWidth(0), 26);
    EXPECT_EQ(HXStatusItemWidth(-4), 26);
    EXPECT_EQ(HXStatusItemWidth(25), 26);
    EXPECT_EQ(HXStatusItemWidth(26), 26);
    EXPECT_EQ(HXStatusItemWidth(60), 60);
    EXPECT_EQ(HXStatusItemWidth(150), 100);
    const QImage image = HXStatusItemImage(appearance(11), HXStatusItemWidth(150), 2.0);
    EXPECT_EQ(image.size(), QSize(200, 42));
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(100, 21));
}

TEST(HXStatusItemIcon, MultiplesOfTenFollowThePanelsView) {
    EXPECT_EQ(HXStatusItemIconStyle(0, false), 1);
    EXPECT_EQ(HXStatusItemIconStyle(0, true), 2);
    EXPECT_EQ(HXStatusItemIconStyle(10, false), 11);
    EXPECT_EQ(HXStatusItemIconStyle(10, true), 12);
    EXPECT_EQ(HXStatusItemIconStyle(110, true), 112);
    EXPECT_EQ(HXStatusItemIconStyle(11, true), 11);
    EXPECT_EQ(HXStatusItemIconStyle(12, false), 12);
    // Style 0 shows the colour icon with the organizer and the report picture with the live report.
    HXStatusItemAppearance organizer = appearance(0);
    HXStatusItemAppearance report = appearance(0);
    report.showsLiveReport = true;
    EXPECT_NE(HXStatusItemImage(organizer, 26), HXStatusItemImage(report, 26));
    EXPECT_EQ(HXStatusItemImage(report, 26), HXStatusItemImage(appearance(2), 26));
    EXPECT_EQ(HXStatusItemImage(organizer, 26), HXStatusItemImage(appearance(1), 26));
}

TEST(HXStatusItemIcon, TheTemplatesTakeTheTintOfTheState) {
    HXStatusItemAppearance a = appearance(12);
    a.flat = true;
    EXPECT_EQ(HXStatusItemTint(a), QColor::fromRgbF(0, 0, 0, 0.7f));
    a.flat = false;
    EXPECT_EQ(HXStatusItemTint(a), QColor(Qt::black));
    a.darkMode = true;
    EXPECT_EQ(HXStatusItemTint(a), QColor(Qt::white));
    a.darkMode = false;
    a.hibernating = true;
    EXPECT_EQ(HXStatusItemTint(a), QColor(Qt::gray));
    a.deepHibernation = true;
    EXPECT_EQ(HXStatusItemTint(a), QColor(Qt::red));
    a.hibernating = false;
    a.insomniac = true;
    EXPECT_EQ(HXStatusItemTint(a), QColor(0, 120, 255));
    a.highlighted = true;
    EXPECT_EQ(HXStatusItemTint(a), QColor(Qt::white));

    // In pixels: deep hibernation red, hibernation grey, insomnia blue.
    HXStatusItemAppearance deep = appearance(12);
    deep.flat = true;
    deep.hibernating = true;
    deep.deepHibernation = true;
    const Ink red = inkOf(HXStatusItemImage(deep, 26));
    ASSERT_GT(red.count, 20);
    EXPECT_GT(red.mean.red(), 200);
    EXPECT_LT(red.mean.green(), 40);
    deep.deepHibernation = false;
    const Ink grey = inkOf(HXStatusItemImage(deep, 26));
    EXPECT_NEAR(grey.mean.red(), grey.mean.blue(), 5);
    EXPECT_GT(grey.mean.red(), 100);
    HXStatusItemAppearance insomniac = appearance(12);
    insomniac.flat = true;
    insomniac.insomniac = true;
    const Ink blue = inkOf(HXStatusItemImage(insomniac, 26));
    EXPECT_GT(blue.mean.blue(), 200);
    EXPECT_LT(blue.mean.red(), 40);
}

TEST(HXStatusItemIcon, HighlightedDrawsWhiteOverTheHighlight) {
    HXStatusItemAppearance a = appearance(11);
    a.highlighted = true;
    const QImage image = HXStatusItemImage(a, 30);
    EXPECT_EQ(pixel(image, 15, 19), a.highlightColor) << "the bar behind the icon";
    // The pie's wedge at three o'clock is white.
    const QPoint c = squareOrigin(30) + QPoint(1 + 8, 2 + 8);
    const QColor outline = pixel(image, c.x() + 3, c.y());
    EXPECT_GT(outline.red(), 200);
    EXPECT_GT(outline.blue(), 200);
}

TEST(HXStatusItemIcon, ThePieShowsItsShareClockwiseFromTwelve) {
    HXStatusItemAppearance a = appearance(11);
    a.flat = true;
    const QImage image = HXStatusItemImage(a, 26);
    // The pie's centre in the image: the 16-point pie at (1, 2) of the square.
    const QPoint c = squareOrigin(26) + QPoint(1 + 8, 2 + 8);
    // 64 %: three and six o'clock are inside the wedge, nine o'clock and half past ten are not.
    EXPECT_GT(pixel(image, c.x() + 3, c.y()).alpha(), 150);
    EXPECT_GT(pixel(image, c.x(), c.y() + 3).alpha(), 150);
    EXPECT_LT(pixel(image, c.x() - 3, c.y()).alpha(), 40);
    EXPECT_LT(pixel(image, c.x() - 2, c.y() - 2).alpha(), 40);
    // Outside the circle nothing.
    EXPECT_EQ(pixel(image, 0, 0).alpha(), 0);
}

TEST(HXStatusItemIcon, TheShadowOnlyWhenLightAndNotFlat) {
    HXStatusItemAppearance a = appearance(12);
    a.flat = false;
    const QImage shaded = HXStatusItemImage(a, 26);
    a.flat = true;
    const QImage flat = HXStatusItemImage(a, 26);
    // Below the report icon's frame (y 3 + 14 of the square), the shadow's white row.
    const QPoint o = squareOrigin(26);
    const QColor below = pixel(shaded, o.x() + 9, o.y() + 17);
    EXPECT_GT(below.alpha(), 100);
    EXPECT_GT(below.red(), 200);
    EXPECT_EQ(pixel(flat, o.x() + 9, o.y() + 17).alpha(), 0);
    a.flat = false;
    a.darkMode = true;
    EXPECT_EQ(pixel(HXStatusItemImage(a, 26), o.x() + 9, o.y() + 17).alpha(), 0) << "inverted: no shadow";
}

TEST(HXStatusItemIcon, NamedPicturesAndTheirVariants) {
    EXPECT_EQ(HXStatusItemImageName(111, false, true), QStringLiteral("MenuSimpleInverted"));
    EXPECT_EQ(HXStatusItemImageName(111, true, false), QStringLiteral("MenuSimpleHibernate"));
    EXPECT_EQ(HXStatusItemImageName(112, true, false), QStringLiteral("MenuSimpleReportHibernate"));
    EXPECT_EQ(HXStatusItemImageName(101, true, false), QStringLiteral("MenuHibernate"));
    EXPECT_EQ(HXStatusItemImageName(101, false, true), QStringLiteral("Menu"))
        << "no inverted colour picture";
    EXPECT_EQ(HXStatusItemImageName(122, false, true), QStringLiteral("MenuTolvaneReportInverted"));
    EXPECT_EQ(HXStatusItemImageName(2, true, true), QStringLiteral("Report"));
    EXPECT_TRUE(HXStatusItemImageName(11, false, false).isEmpty());
    for (const char* name :
         {"Report", "Qualdern", "Menu", "MenuReport", "MenuSimple", "MenuSimpleInverted", "MenuSimpleReport",
          "MenuSimpleReportInverted", "MenuTolvane", "MenuTolvaneInverted", "MenuTolvaneReport",
          "MenuTolvaneReportInverted", "MenuSimpleHibernate", "MenuTolvaneReportInvertedHibernate"}) {
        SCOPED_TRACE(name);
        EXPECT_GT(drawnPixels(HXNamedImage(QString::fromLatin1(name), QSizeF(18, 18), Qt::magenta)), 10);
    }
    EXPECT_TRUE(HXNamedImage(QStringLiteral("Nothing"), QSizeF(18, 18), Qt::magenta).isNull());
    EXPECT_TRUE(HXNamedImage(QStringLiteral("ReportHibernate"), QSizeF(18, 18), Qt::magenta).isNull());

    // On a dark bar the simple picture is white; while hibernating it is the grey one whatever the bar.
    HXStatusItemAppearance a = appearance(111);
    a.darkMode = true;
    const Ink white = inkOf(HXStatusItemImage(a, 26));
    ASSERT_GT(white.count, 10);
    EXPECT_GT(white.mean.red(), 240);
    a.hibernating = true;
    const QImage hibernating = HXStatusItemImage(a, 26);
    EXPECT_EQ(inkOf(hibernating).count, 0) << "the hibernating picture is faint";
    EXPECT_GT(drawnPixels(hibernating), 10);
}

TEST(HXStatusItemIcon, TheColourIconAndReportPictureAreNotTintedButTheReportGreysWhileHibernating) {
    HXStatusItemAppearance colour = appearance(1);
    const QImage normal = HXStatusItemImage(colour, 26);
    colour.hibernating = true;
    colour.insomniac = true;
    EXPECT_EQ(HXStatusItemImage(colour, 26), normal);

    HXStatusItemAppearance report = appearance(2);
    const Ink coloured = inkOf(HXStatusItemImage(report, 26));
    report.hibernating = true;
    const QImage grey = HXStatusItemImage(report, 26).convertToFormat(QImage::Format_ARGB32);
    bool anyColour = false;
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            const QColor c = grey.pixelColor(x, y);
            if (c.alpha() > 200 && (std::abs(c.red() - c.green()) > 3 || std::abs(c.green() - c.blue()) > 3))
                anyColour = true;
        }
    }
    EXPECT_FALSE(anyColour);
    EXPECT_NE(coloured.mean.red(), coloured.mean.green()) << "the report picture itself has colour";
    // An unknown style draws nothing at all.
    EXPECT_EQ(inkOf(HXStatusItemImage(appearance(7), 26)).count, 0);
}

TEST(HXStatusItemIcon, TheSettingsAndThePaletteGiveTheAppearance) {
    ScratchFolder folder;
    HXUserDefaults defaults(folder.file(QStringLiteral("Defaults.plist")));
    QPalette light;
    light.setColor(QPalette::Window, QColor(240, 240, 240));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    EXPECT_FALSE(HXSystemIsInDarkMode(defaults, light));
    EXPECT_TRUE(HXSystemIsInDarkMode(defaults, dark));
    defaults.setString(u"AppleInterfaceStyle", QStringLiteral("Dark"));
    EXPECT_TRUE(HXSystemIsInDarkMode(defaults, light));
    defaults.setString(u"AppleInterfaceStyle", QStringLiteral("Light"));
    EXPECT_FALSE(HXSystemIsInDarkMode(defaults, dark));

    EXPECT_TRUE(HXDrawFlatUserInterface(defaults));
    defaults.setBool(u"HXFlatUserInterfaceDrawing", false);
    EXPECT_FALSE(HXDrawFlatUserInterface(defaults));

    defaults.setInteger(u"Status Item Icon (1231)", 110);
    defaults.setBool(u"Status Item Shows Activity Report", true);
    defaults.setDouble(u"Deep Hibernation", 1700000000.0);
    const HXStatusItemAppearance a = HXStatusItemAppearanceFromDefaults(defaults, light);
    EXPECT_EQ(a.iconSetting, 110);
    EXPECT_TRUE(a.showsLiveReport);
    EXPECT_TRUE(a.deepHibernation);
    EXPECT_FALSE(a.flat);
    EXPECT_FALSE(a.hibernating);
}
