// Image operations: dissolving, fitting into a maximum size, tinting, grey, drawing in a colour's shape,
// flipped and as a centred square.
#include "pictures/HXImageOperations.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Left half opaque red, right half clear.
QImage halfRed(int w = 40, int h = 20) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, w / 2, h), QColor(255, 0, 0));
    return image;
}

QImage canvas(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

} // namespace

TEST(HXImageOperations, AlphaAndMaximumSizes) {
    const QImage source = halfRed();
    EXPECT_NEAR(imageWithAlpha(source, 0.5).pixelColor(5, 5).alphaF(), 0.5, 0.01);
    // Fitting: the image itself, or dissolved.
    EXPECT_EQ(imageWithMaxSize(source, QSizeF(50, 50), 1.0, true).cacheKey(), source.cacheKey());
    EXPECT_NEAR(imageWithMaxSize(source, QSizeF(50, 50), 0.5, true).pixelColor(5, 5).alphaF(), 0.5, 0.01);
    // 40x20 into 30x30: the width decides, 0.75, the height is rounded down to 15.
    const QImage snug = imageWithMaxSize(source, QSizeF(30, 30), 1.0, true);
    EXPECT_EQ(snug.size(), QSize(30, 15));
    const QImage centred = imageWithMaxSize(source, QSizeF(30, 30), 1.0, false);
    ASSERT_EQ(centred.size(), QSize(30, 30));
    EXPECT_EQ(centred.pixelColor(5, 3).alpha(), 0);
    EXPECT_EQ(centred.pixelColor(5, 15).red(), 255);
    EXPECT_EQ(centred.pixelColor(25, 15).alpha(), 0);
    // A side that would vanish counts as fitting.
    EXPECT_EQ(imageWithMaxSize(QImage(400, 2, QImage::Format_ARGB32), QSizeF(100, 100), 1.0, true).size(),
              QSize(400, 2));
}

TEST(HXImageOperations, TintsDarkensAndGreys) {
    const QImage source = halfRed();
    const QImage tinted =
        imageTintedWithColor(source, QColor(0, 0, 255), QPainter::CompositionMode_SourceOver);
    EXPECT_EQ(tinted.pixelColor(30, 5), QColor(0, 0, 255));
    const QImage darkened = imageDarkenedWithColor(source, QColor(0, 0, 0, 128));
    EXPECT_EQ(darkened.pixelColor(30, 5).alpha(), 0);
    EXPECT_NEAR(darkened.pixelColor(5, 5).red(), 127, 2);
    const QImage grey = grayScaleImage(source);
    EXPECT_EQ(grey.pixelColor(5, 5), QColor(77, 77, 77));
    EXPECT_EQ(grey.pixelColor(30, 5).alpha(), 0);
    EXPECT_TRUE(grayScaleImage(QImage()).isNull());
}

TEST(HXImageOperations, DrawsInAColourShapeFlippedAndAsASquare) {
    // Top half opaque, bottom clear.
    QImage top(20, 20, QImage::Format_ARGB32_Premultiplied);
    top.fill(Qt::transparent);
    QPainter(&top).fillRect(QRect(0, 0, 20, 10), Qt::black);

    QImage target = canvas(20, 20);
    {
        QPainter painter(&target);
        drawInRect(painter, top, QRectF(0, 0, 20, 20), QColor(0, 200, 0), 1.0, false, 0);
    }
    EXPECT_EQ(target.pixelColor(10, 3), QColor(0, 200, 0));
    EXPECT_EQ(target.pixelColor(10, 16), QColor(Qt::white));

    QImage flipped = canvas(20, 20);
    {
        QPainter painter(&flipped);
        drawInRect(painter, top, QRectF(0, 0, 20, 20), std::nullopt, 1.0, true, 0);
    }
    EXPECT_EQ(flipped.pixelColor(10, 3), QColor(Qt::white));
    EXPECT_EQ(flipped.pixelColor(10, 16), QColor(Qt::black));

    QImage rotated = canvas(20, 20);
    {
        QPainter painter(&rotated);
        drawInRect(painter, top, QRectF(0, 0, 20, 20), std::nullopt, 1.0, false, 180);
    }
    EXPECT_EQ(rotated.pixelColor(10, 16), QColor(Qt::black));

    QImage squared = canvas(100, 40);
    QRectF square;
    {
        QPainter painter(&squared);
        drawAsSquareInRect(painter, top, QRectF(0, 0, 100, 40), std::nullopt,
                           QPainter::CompositionMode_SourceOver, 0.5, -1, 1.0, &square);
    }
    // floor(40 * 0.5) = 20, at most the image's width (20), centred.
    EXPECT_EQ(square, QRectF(40, 10, 20, 20));
    EXPECT_EQ(squared.pixelColor(50, 12), QColor(Qt::black));
    EXPECT_EQ(squared.pixelColor(30, 12), QColor(Qt::white));
    {
        QPainter painter(&squared);
        drawAsSquareInRect(painter, top, QRectF(0, 0, 100, 40), std::nullopt,
                           QPainter::CompositionMode_SourceOver, 1.0, 12, 1.0, &square);
    }
    EXPECT_EQ(square, QRectF(44, 14, 12, 12));
}
