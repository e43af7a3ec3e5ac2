// The front activity colour by scheme and from "Pie Color Components", and the icons.
#include "pictures/HXFrontActivityColor.h"
#include "pictures/HXColorScheme.h"
#include "pictures/HXIcons.h"

#include "foundation/HXUserDefaults.h"
#include "support/TestSupport.h"

#include <QPalette>

#include <gtest/gtest.h>

TEST(HXFrontActivityColor, ComponentsNeedExactlyThreeNumbers) {
    const QColor fallback = QColor::fromRgbF(0.6f, 0.4f, 0.6f);
    EXPECT_EQ(HXFrontActivityColorWithComponents(HXValue()), fallback);
    EXPECT_EQ(HXFrontActivityColorWithComponents(makeArray({0.1, 0.2})), fallback);
    EXPECT_EQ(HXFrontActivityColorWithComponents(makeArray({0.1, 0.2, 0.3, 0.4})), fallback);
    EXPECT_EQ(HXFrontActivityColorWithComponents(makeArray({0.1, QStringLiteral("x"), 0.3})), fallback);
    EXPECT_EQ(HXFrontActivityColorWithComponents(makeArray({0.2, 0.4, 1.0})),
              QColor::fromRgbF(0.2f, 0.4f, 1.0f));
    // Out of range components are held to 0...1.
    EXPECT_EQ(HXFrontActivityColorWithComponents(makeArray({-1.0, 0.5, 7.0})),
              QColor::fromRgbF(0.0f, 0.5f, 1.0f));
}

TEST(HXFrontActivityColor, SchemesChooseTheirColour) {
    ScratchFolder folder;
    HXUserDefaults defaults(folder.file(QStringLiteral("Defaults.plist")));
    defaults.setObject(u"Pie Color Components", makeArray({0.1, 0.2}));
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0, 0, 200));
    palette.setColor(QPalette::Active, QPalette::Base, QColor(255, 255, 255));
    EXPECT_EQ(frontActivityColorForReportViewContext(false, 0, defaults, palette),
              QColor::fromRgbF(0.6f, 0.4f, 0.6f));
    // Any unknown scheme draws as the original one.
    EXPECT_EQ(frontActivityColorForReportViewContext(true, 7, defaults, palette),
              QColor::fromRgbF(0.6f, 0.4f, 0.6f));
    EXPECT_EQ(frontActivityColorForReportViewContext(true, 1, defaults, palette), QColor(0, 0, 200));
    EXPECT_EQ(frontActivityColorForReportViewContext(false, 2, defaults, palette), QColor(0, 0, 200));
    const QColor light = frontActivityColorForReportViewContext(true, 2, defaults, palette);
    EXPECT_GT(light.red(), 100);
    EXPECT_GT(light.blue(), 200);
    EXPECT_EQ(HXColorSchemeFromInteger(2), HXColorScheme::Light);
    EXPECT_EQ(HXColorSchemeFromInteger(-3), HXColorScheme::Original);
}

TEST(HXIcons, ReportIconIsAFrameWithThreeBars) {
    const QImage icon = reportIconWithSize(QSizeF(20, 20));
    ASSERT_EQ(icon.size(), QSize(20, 20));
    // The frame, then a clear line, then bars of (15 - 3) / 3 = 4 points from the bottom up.
    EXPECT_EQ(icon.pixelColor(0, 10).alpha(), 255);
    EXPECT_EQ(icon.pixelColor(10, 0).alpha(), 255);
    EXPECT_EQ(icon.pixelColor(1, 10).alpha(), 0);
    EXPECT_EQ(icon.pixelColor(10, 1).alpha(), 0);
    double barRows = 0;
    for (int y = 2; y < 18; ++y)
        barRows += icon.pixelColor(10, y).alphaF();
    EXPECT_NEAR(barRows, 12, 1.01);
    EXPECT_GT(icon.pixelColor(10, 16).alpha(), 200);
    const QImage colour = colorQualdernIconWithSize(QSizeF(32, 32), QColor(200, 0, 0));
    EXPECT_EQ(colour.pixelColor(0, 0).alpha(), 0);
    EXPECT_GT(colour.pixelColor(16, 16).alpha(), 200);
}
