// The pie: its quantisation, the limits of its wedge, what a share of nothing looks like, and the cache.
#include "pictures/HXPieImage.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kSize = 64;

// The pixel at a clockwise angle from twelve o'clock, at a fraction of the radius.
QColor pixelAt(const QImage& image, double degrees, double radiusFraction = 0.55) {
    const double r = kSize / 2 * radiusFraction;
    const double a = degrees * std::numbers::pi / 180;
    const int x = static_cast<int>(std::lround(kSize / 2 + r * std::sin(a)));
    const int y = static_cast<int>(std::lround(kSize / 2 - r * std::cos(a)));
    return image.pixelColor(x, y);
}

bool isWhite(const QColor& c) {
    return c.alpha() == 255 && c.red() > 245 && c.green() > 245 && c.blue() > 245;
}

bool isColour(const QColor& c, const QColor& expected) {
    return c.alpha() == 255 && std::abs(c.red() - expected.red()) < 6 &&
           std::abs(c.green() - expected.green()) < 6 && std::abs(c.blue() - expected.blue()) < 6;
}

const QColor kRed(200, 30, 30);

QImage pie(double time, double overall, bool invert, bool quantize = false, double border = 1.0) {
    return pieImageWithTime(time, overall, QSizeF(kSize, kSize), border, 0, kRed, invert, quantize, 0);
}

} // namespace

TEST(HXPieImage, QuantisationStepsFollowTheShare) {
    EXPECT_EQ(HXPieQuantizationStep(-5, 100), 0);
    EXPECT_EQ(HXPieQuantizationStep(0, 100), 0);
    EXPECT_EQ(HXPieQuantizationStep(0.0005, 100), 0);
    EXPECT_EQ(HXPieQuantizationStep(0.01, 3600), -1);
    EXPECT_EQ(HXPieQuantizationStep(50, 100), 16);
    EXPECT_EQ(HXPieQuantizationStep(95, 100), 30);
    EXPECT_EQ(HXPieQuantizationStep(100, 100), 32);
    EXPECT_EQ(HXPieQuantizationStep(500, 100), 32);
    // No overall time: any real time is the whole pie, and nothing divides by zero.
    EXPECT_EQ(HXPieQuantizationStep(5, 0), 32);
    EXPECT_EQ(HXPieQuantizationStep(0, 0), 0);
    EXPECT_EQ(HXPieQuantizationStep(std::nan(""), 100), 0);
}

TEST(HXPieImage, NoTimeIsARingOrAnEmptyCircle) {
    // A wide border, so that the ring is easy to hit.
    const QImage ring = pie(0, 3600, false, true, 6);
    ASSERT_EQ(ring.size(), QSize(64, 64));
    for (const double angle : {0.0, 90.0, 200.0, 300.0}) {
        EXPECT_TRUE(isWhite(pixelAt(ring, angle))) << angle;
        EXPECT_TRUE(isColour(pixelAt(ring, angle, 0.9), kRed)) << angle;
    }
    const QImage circle = pie(0, 3600, true, true, 4);
    for (const double angle : {0.0, 90.0, 200.0})
        EXPECT_EQ(pixelAt(circle, angle).alpha(), 0) << angle;
    EXPECT_TRUE(isColour(pixelAt(circle, 45, 30.9 / 32), kRed));
}

TEST(HXPieImage, ATinyShareShowsTwoPercent) {
    const QImage image = pie(0.01, 3600, false, true);
    // 2 % is 7.2 degrees clockwise from twelve.
    EXPECT_TRUE(isColour(pixelAt(image, 3.6, 0.7), kRed));
    EXPECT_TRUE(isWhite(pixelAt(image, 12, 0.7)));
    EXPECT_TRUE(isWhite(pixelAt(image, 90)));
    EXPECT_TRUE(isWhite(pixelAt(image, 357, 0.7)));
}

TEST(HXPieImage, LargeSharesSnapToNinetyFourPercentOrTheWholeDisc) {
    const QImage almost = pie(95, 100, false);
    EXPECT_TRUE(isColour(pixelAt(almost, 0.9 * 360, 0.7), kRed));
    EXPECT_TRUE(isColour(pixelAt(almost, 0.925 * 360, 0.85), kRed));
    EXPECT_TRUE(isWhite(pixelAt(almost, 0.955 * 360, 0.85)));
    EXPECT_TRUE(isWhite(pixelAt(almost, 0.985 * 360, 0.7)));
    const QImage whole = pie(98, 100, false);
    for (double angle = 5; angle < 360; angle += 20)
        EXPECT_TRUE(isColour(pixelAt(whole, angle, 0.7), kRed)) << angle;

    // Inverted the wedge is the white part, inside the outline.
    const QImage half = pie(50, 100, true);
    EXPECT_TRUE(isWhite(pixelAt(half, 90)));
    EXPECT_EQ(pixelAt(half, 270).alpha(), 0);
}

TEST(HXPieImage, QuantisedRequestsShareOneCachedImage) {
    const QImage a = pie(50, 100, false, true);
    const QImage b = pie(51, 100, false, true);
    EXPECT_EQ(a.cacheKey(), b.cacheKey());
    EXPECT_NE(a.cacheKey(), pie(70, 100, false, true).cacheKey());
    EXPECT_NE(a.cacheKey(), pie(50, 100, true, true).cacheKey());
    // Another colour scheme, size or colour is another picture.
    EXPECT_NE(a.cacheKey(),
              pieImageWithTime(50, 100, QSizeF(kSize, kSize), 1.0, 0, kRed, false, true, 1).cacheKey());
    EXPECT_NE(a.cacheKey(),
              pieImageWithTime(50, 100, QSizeF(32, 32), 1.0, 0, kRed, false, true, 0).cacheKey());
    EXPECT_NE(a.cacheKey(),
              pieImageWithTime(50, 100, QSizeF(kSize, kSize), 1.0, 0, Qt::blue, false, true, 0).cacheKey());
    // Not quantised: drawn afresh every time.
    EXPECT_NE(pie(50, 100, false).cacheKey(), pie(50, 100, false).cacheKey());
}

TEST(HXPieImage, HighResolutionPiesKeepTheirSizeInPoints) {
    const QImage image = pieImageWithTime(1, 4, QSizeF(16, 16), -1, 1.7, std::nullopt, true, false, 0, 2.0);
    EXPECT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(16, 16));
    EXPECT_EQ(pieIconWithSize(QSizeF(22, 22)).size(), QSize(22, 22));
}
