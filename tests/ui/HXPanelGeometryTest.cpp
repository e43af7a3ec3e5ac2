// The panel next to tray icons at each screen edge and near the corners, with and without the tray's
// word on where its icon is, and the resize strip's limits.
#include "ui/statusitem/HXPanelGeometry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const QRect kScreen(0, 0, 1280, 800);
const QSize kPanel(510, 400);

struct EdgeCase {
    const char* name;
    QRect available;
    QRect icon;
    QRect frame;
    HXTrayEdge edge;
    bool canResizeLeft;
    bool canResizeRight;
    bool stripAtTop;
};

} // namespace

// Found by the test framework beside QRect.
void PrintTo(const QRect& r, std::ostream* os) {
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

TEST(HXPanelGeometry, HangsFromTheTrayAtEveryEdgeAndFlipsNearTheCorners) {
    const QRect topBar(0, 24, 1280, 776);
    const QRect bottomBar(0, 0, 1280, 772);
    const QRect leftBar(40, 0, 1240, 800);
    const QRect rightBar(0, 0, 1240, 800);
    const EdgeCase cases[] = {
        // A top bar: below it, left edges aligned; near the right corner the right edges align instead.
        {"top, middle", topBar, QRect(400, 2, 20, 20), QRect(400, 24, 510, 400), HXTrayEdge::Top, false, true,
         false},
        {"top, right corner", topBar, QRect(1256, 2, 20, 20), QRect(766, 24, 510, 400), HXTrayEdge::Top, true,
         false, false},
        {"top, left corner", topBar, QRect(2, 2, 20, 20), QRect(2, 24, 510, 400), HXTrayEdge::Top, false,
         true, false},
        // A bottom bar: mirrored, the panel rises from it with its strip on top.
        {"bottom, middle", bottomBar, QRect(600, 776, 22, 22), QRect(600, 372, 510, 400), HXTrayEdge::Bottom,
         false, true, true},
        {"bottom, right corner", bottomBar, QRect(1258, 776, 22, 22), QRect(770, 372, 510, 400),
         HXTrayEdge::Bottom, true, false, true},
        // Side bars: beside the icon, the side next to the tray fixed; near the bottom it rises.
        {"left, top corner", leftBar, QRect(10, 4, 20, 20), QRect(40, 4, 510, 400), HXTrayEdge::Left, false,
         true, false},
        {"left, bottom corner", leftBar, QRect(10, 770, 20, 20), QRect(40, 390, 510, 400), HXTrayEdge::Left,
         false, true, true},
        {"right, middle", rightBar, QRect(1250, 300, 20, 20), QRect(730, 300, 510, 400), HXTrayEdge::Right,
         true, false, false},
        {"right, bottom corner", rightBar, QRect(1250, 778, 20, 20), QRect(730, 398, 510, 400),
         HXTrayEdge::Right, true, false, true},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HXPanelPlacement placement = HXPlacePanel(kPanel, c.icon, QPoint(), kScreen, c.available);
        EXPECT_EQ(placement.frame, c.frame);
        EXPECT_EQ(placement.edge, c.edge);
        EXPECT_EQ(placement.canResizeLeft, c.canResizeLeft);
        EXPECT_EQ(placement.canResizeRight, c.canResizeRight);
        EXPECT_EQ(placement.stripAtTop, c.stripAtTop);
        EXPECT_TRUE(c.available.contains(placement.frame));
    }
}

TEST(HXPanelGeometry, WithoutTheIconsFrameThePointerStandsInAndTheCornersGoToTheBars) {
    // A tray that reserves no space (a floating tray, or one that tells nothing): the nearest edge, with
    // a corner going to the horizontal bar.
    const HXPanelPlacement corner = HXPlacePanel(kPanel, std::nullopt, QPoint(1270, 8), kScreen, kScreen);
    EXPECT_EQ(corner.edge, HXTrayEdge::Top);
    EXPECT_EQ(corner.frame, QRect(761, 9, 510, 400));
    const HXPanelPlacement bottom = HXPlacePanel(kPanel, QRect(), QPoint(300, 790), kScreen, kScreen);
    EXPECT_EQ(bottom.edge, HXTrayEdge::Bottom);
    EXPECT_EQ(bottom.frame, QRect(300, 390, 510, 400));
    EXPECT_TRUE(bottom.stripAtTop);
    const HXPanelPlacement side = HXPlacePanel(kPanel, std::nullopt, QPoint(1275, 400), kScreen, kScreen);
    EXPECT_EQ(side.edge, HXTrayEdge::Right);
    EXPECT_EQ(side.frame.right(), 1274);
    // A click in the middle of the screen still opens a panel on screen.
    const HXPanelPlacement middle = HXPlacePanel(kPanel, std::nullopt, QPoint(640, 700), kScreen, kScreen);
    EXPECT_TRUE(kScreen.contains(middle.frame));
}

TEST(HXPanelGeometry, APanelLargerThanTheAvailableAreaIsLimitedToIt) {
    const QRect small(0, 24, 400, 276);
    const HXPanelPlacement placement =
        HXPlacePanel(QSize(900, 700), QRect(380, 2, 20, 20), QPoint(), QRect(0, 0, 400, 300), small);
    EXPECT_EQ(placement.frame, small);
    // As wide as the area: aligned with the icon's right edge, so only the left side may move.
    EXPECT_TRUE(placement.canResizeLeft);
    EXPECT_FALSE(placement.canResizeRight);
    const HXPanelPlacement pinned =
        HXPlacePanel(QSize(300, 200), QRect(250, 2, 20, 20), QPoint(), QRect(0, 0, 400, 300), small);
    EXPECT_EQ(pinned.frame, QRect(0, 24, 300, 200)) << "neither edge of the icon fits: pinned left";
    EXPECT_TRUE(pinned.canResizeLeft);
    EXPECT_TRUE(pinned.canResizeRight);
    EXPECT_EQ(HXPanelMinimumSize(small), QSize(400, 276));
    EXPECT_EQ(HXPanelMinimumSize(kScreen), QSize(510, 300));
}

TEST(HXPanelGeometry, OnlyTheCornersTheTraySideAllowsResizeSideways) {
    EXPECT_TRUE(HXPanelResizeForPress(5, 600, true, true).leftCorner);
    EXPECT_FALSE(HXPanelResizeForPress(5, 600, false, true).leftCorner);
    EXPECT_FALSE(HXPanelResizeForPress(31, 600, false, true).rightCorner);
    EXPECT_FALSE(HXPanelResizeForPress(32, 600, true, true).leftCorner);
    EXPECT_TRUE(HXPanelResizeForPress(590, 600, true, true).rightCorner);
    EXPECT_FALSE(HXPanelResizeForPress(590, 600, true, false).rightCorner);
    const HXPanelResize middle = HXPanelResizeForPress(300, 600, true, true);
    EXPECT_FALSE(middle.leftCorner || middle.rightCorner);
}

TEST(HXPanelGeometry, TheStripKeepsTheTraySideAndStaysWithinTheLimits) {
    const QRect available(0, 24, 1280, 776);
    const QSize minimum(510, 300);
    const QRect start(400, 24, 600, 400);
    // The middle of the strip: only the height, the top edge stays.
    EXPECT_EQ(HXResizedPanelFrame(start, {}, false, QPoint(700, 420), QPoint(900, 470), minimum, available),
              QRect(400, 24, 600, 450));
    // Not below the minimum, not beyond the available area.
    EXPECT_EQ(
        HXResizedPanelFrame(start, {}, false, QPoint(700, 420), QPoint(700, 0), minimum, available).height(),
        300);
    EXPECT_EQ(HXResizedPanelFrame(start, {}, false, QPoint(700, 420), QPoint(700, 2000), minimum, available)
                  .bottom(),
              799);
    // The right corner: the left edge stays; the width stops at the screen's right edge.
    EXPECT_EQ(HXResizedPanelFrame(start, {false, true}, false, QPoint(995, 420), QPoint(1095, 440), minimum,
                                  available),
              QRect(400, 24, 700, 420));
    EXPECT_EQ(HXResizedPanelFrame(start, {false, true}, false, QPoint(995, 420), QPoint(1900, 420), minimum,
                                  available)
                  .right(),
              1279);
    // The left corner: the right edge stays while the left one moves.
    const QRect left = HXResizedPanelFrame(start, {true, false}, false, QPoint(405, 420), QPoint(305, 420),
                                           minimum, available);
    EXPECT_EQ(left, QRect(300, 24, 700, 400));
    EXPECT_EQ(HXResizedPanelFrame(start, {true, false}, false, QPoint(405, 420), QPoint(800, 420), minimum,
                                  available),
              QRect(490, 24, 510, 400));
    EXPECT_EQ(HXResizedPanelFrame(start, {true, false}, false, QPoint(405, 420), QPoint(-900, 420), minimum,
                                  available)
                  .left(),
              0);
    // Mirrored above a bottom tray: the strip on top moves the top edge, the bottom stays.
    const QRect bottomAvailable(0, 0, 1280, 772);
    const QRect rising(400, 372, 600, 400);
    EXPECT_EQ(
        HXResizedPanelFrame(rising, {}, true, QPoint(700, 374), QPoint(700, 274), minimum, bottomAvailable),
        QRect(400, 272, 600, 500));
    EXPECT_EQ(
        HXResizedPanelFrame(rising, {}, true, QPoint(700, 374), QPoint(700, -500), minimum, bottomAvailable)
            .top(),
        0);
    EXPECT_EQ(
        HXResizedPanelFrame(rising, {}, true, QPoint(700, 374), QPoint(700, 700), minimum, bottomAvailable),
        QRect(400, 472, 600, 300));
}
