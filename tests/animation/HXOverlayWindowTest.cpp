// Overlay windows: click-through and focus-free, the drawing view sized with the window, flipped and
// unflipped drawing, the default picture, and the report window's image.
#include "animation/HXFullscreenReportWindow.h"
#include "animation/HXSelfDrawingOverlayWindow.h"
#include "animation/HXWindowAlphaValueAnimationManager.h"

#include "foundation/HXUserDefaults.h"
#include "foundation/HXVirtualTime.h"
#include "support/PaintedArea.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Draws a red band along the top of its bounds as its coordinates see it.
class BandOverlay final : public HXSelfDrawingOverlayWindow {
public:
    using HXSelfDrawingOverlayWindow::HXSelfDrawingOverlayWindow;
    void drawOverlayInBounds(QPainter& painter, const QRectF& bounds, QWidget&) override {
        painter.fillRect(QRectF(bounds.left(), bounds.top(), bounds.width(), 10), Qt::red);
    }
};

class OverlayWindow : public testing::Test {
protected:
    OverlayWindow() : defaults(folder.file(QStringLiteral("Defaults.plist"))) {}
    ScratchFolder folder;
    HXUserDefaults defaults;
    HXVirtualTime time;
};

QImage grab(QWidget& view) {
    return view.grab().toImage();
}

} // namespace

TEST_F(OverlayWindow, IsClickThroughAndNeverTakesTheFocus) {
    auto window = HXSelfDrawingOverlayWindow::overlayWindowWithFrame(time, defaults, QRect(10, 20, 300, 200),
                                                                     HXWindowLevel::Desktop);
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnBottomHint));
    EXPECT_TRUE(window->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(window->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(window->geometry(), QRect(10, 20, 300, 200));
    EXPECT_EQ(window->alphaValueAnimationQuantum(), 0.1);
    window->setLevel(HXWindowLevel::Floating);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnBottomHint));

    auto panel = HXSelfDrawingOverlayPanel::overlayPanelWithFrame(time, defaults, QRect(0, 0, 50, 50),
                                                                  HXWindowLevel::Floating, true);
    EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(panel->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(panel->alphaValueAnimationQuantum(), 0.1);
}

TEST_F(OverlayWindow, DrawingViewFollowsTheWindowAndItsOrientation) {
    BandOverlay flipped(time, defaults, QRect(0, 0, 120, 80), HXWindowLevel::Normal, true);
    BandOverlay upright(time, defaults, QRect(0, 0, 120, 80), HXWindowLevel::Normal, false);
    ASSERT_TRUE(flipped.drawingView());
    EXPECT_EQ(flipped.drawingView()->size(), QSize(120, 80));
    flipped.show();
    flipped.resize(200, 150);
    QApplication::processEvents();
    EXPECT_EQ(flipped.drawingView()->size(), QSize(200, 150));

    // Flipped, y grows downwards: the band is at the top; otherwise at the bottom.
    const QImage down = grab(*flipped.drawingView());
    EXPECT_EQ(down.pixelColor(50, 3), QColor(Qt::red));
    EXPECT_NE(down.pixelColor(50, 146), QColor(Qt::red));
    const QImage up = grab(*upright.drawingView());
    EXPECT_NE(up.pixelColor(50, 3), QColor(Qt::red));
    EXPECT_EQ(up.pixelColor(50, 76), QColor(Qt::red));
}

TEST_F(OverlayWindow, DefaultPictureIsALightFrameAroundAFaintFill) {
    HXSelfDrawingOverlayWindow window(time, defaults, QRect(0, 0, 40, 30), HXWindowLevel::Normal, true);
    QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        window.drawOverlayInBounds(painter, QRectF(0, 0, 40, 30), *window.drawingView());
    }
    for (const QPoint p : {QPoint(0, 0), QPoint(20, 0), QPoint(39, 15), QPoint(20, 29), QPoint(0, 15)}) {
        EXPECT_NEAR(image.pixelColor(p).alphaF(), 0.95, 0.01) << p.x() << "," << p.y();
        EXPECT_NEAR(image.pixelColor(p).redF(), 0.7, 0.01);
    }
    EXPECT_NEAR(image.pixelColor(20, 15).alphaF(), 0.13, 0.01);
    EXPECT_EQ(image.pixelColor(20, 15).red(), 0);
}

TEST_F(OverlayWindow, ReportWindowRedrawsOnlyForAnotherImage) {
    HXFullscreenReportWindow window(time, defaults, QRect(0, 0, 60, 40), HXWindowLevel::Desktop, true);
    QImage picture(60, 40, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(0, 0, 255, 128));
    window.setImage(picture);
    window.show();
    QApplication::processEvents();
    PaintedArea counter;
    window.drawingView()->installEventFilter(&counter);
    window.setImage(picture);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    QImage other = picture.copy();
    other.fill(Qt::green);
    window.setImage(other);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    // The image is copied over the whole bounds, its own alpha included.
    QImage drawn(60, 40, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::red);
    {
        QPainter painter(&drawn);
        window.setImage(picture);
        window.drawOverlayInBounds(painter, QRectF(0, 0, 60, 40), *window.drawingView());
    }
    EXPECT_EQ(drawn.pixelColor(30, 20), QColor(0, 0, 255, 128));
}
