#include "ui/statusitem/HXPanelGeometry.h"

#include <algorithm>

namespace {

constexpr int kCornerWidth = 32;
// A side tray wins over a horizontal one only when it is clearly nearer: corners belong to bars.
constexpr int kSideTrayMargin = 24;

int boundedBetween(int value, int low, int high) {
    return std::clamp(value, low, std::max(low, high));
}

// Left-aligned with the icon, else right-aligned, else pinned to the available area's left edge.
void alignHorizontally(HXPanelPlacement& placement, const QRect& icon, const QRect& available) {
    QRect& frame = placement.frame;
    frame.moveLeft(icon.left());
    placement.canResizeLeft = false;
    placement.canResizeRight = true;
    if (frame.right() > available.right()) {
        frame.moveRight(icon.right());
        placement.canResizeLeft = true;
        placement.canResizeRight = false;
    }
    if (frame.left() < available.left()) {
        frame.moveLeft(available.left());
        placement.canResizeLeft = true;
        placement.canResizeRight = true;
    }
    if (frame.right() > available.right())
        frame.moveRight(available.right());
}

// Top-aligned with the icon, else bottom-aligned (the strip then at the top), else pinned to the top.
void alignVertically(HXPanelPlacement& placement, const QRect& icon, const QRect& available) {
    QRect& frame = placement.frame;
    frame.moveTop(icon.top());
    placement.stripAtTop = false;
    if (frame.bottom() > available.bottom()) {
        frame.moveBottom(icon.bottom());
        placement.stripAtTop = true;
    }
    if (frame.top() < available.top()) {
        frame.moveTop(available.top());
        placement.stripAtTop = false;
    }
    if (frame.bottom() > available.bottom())
        frame.moveBottom(available.bottom());
}

} // namespace

HXTrayEdge HXTrayEdgeForIcon(const QRect& icon, const QRect& screen) {
    const QPoint c = icon.center();
    const int top = c.y() - screen.top();
    const int bottom = screen.bottom() - c.y();
    const int left = c.x() - screen.left();
    const int right = screen.right() - c.x();
    if (std::min(left, right) + kSideTrayMargin < std::min(top, bottom))
        return left <= right ? HXTrayEdge::Left : HXTrayEdge::Right;
    return top <= bottom ? HXTrayEdge::Top : HXTrayEdge::Bottom;
}

QSize HXPanelMinimumSize(const QRect& available) {
    return kHXStatusItemPanelMinimumSize.boundedTo(available.size());
}

HXPanelPlacement HXPlacePanel(QSize wanted, std::optional<QRect> icon, QPoint pointer, const QRect& screen,
                              const QRect& available) {
    HXPanelPlacement placement;
    const QRect anchor = icon && icon->isValid() ? *icon : QRect(pointer, QSize(1, 1));
    placement.frame = QRect(available.topLeft(), wanted.boundedTo(available.size()));
    // A tray in a bar that the available area leaves out lies outside it; otherwise the nearest edge.
    const QPoint c = anchor.center();
    if (c.y() < available.top())
        placement.edge = HXTrayEdge::Top;
    else if (c.y() > available.bottom())
        placement.edge = HXTrayEdge::Bottom;
    else if (c.x() < available.left())
        placement.edge = HXTrayEdge::Left;
    else if (c.x() > available.right())
        placement.edge = HXTrayEdge::Right;
    else
        placement.edge = HXTrayEdgeForIcon(anchor, screen);

    QRect& frame = placement.frame;
    switch (placement.edge) {
    case HXTrayEdge::Top:
        frame.moveTop(std::max(available.top(), anchor.bottom() + 1));
        if (frame.bottom() > available.bottom())
            frame.moveBottom(available.bottom());
        alignHorizontally(placement, anchor, available);
        break;
    case HXTrayEdge::Bottom:
        frame.moveBottom(std::min(available.bottom(), anchor.top() - 1));
        if (frame.top() < available.top())
            frame.moveTop(available.top());
        placement.stripAtTop = true;
        alignHorizontally(placement, anchor, available);
        break;
    case HXTrayEdge::Left:
        frame.moveLeft(std::max(available.left(), anchor.right() + 1));
        if (frame.right() > available.right())
            frame.moveRight(available.right());
        placement.canResizeLeft = false;
        placement.canResizeRight = true;
        alignVertically(placement, anchor, available);
        break;
    case HXTrayEdge::Right:
        frame.moveRight(std::min(available.right(), anchor.left() - 1));
        if (frame.left() < available.left())
            frame.moveLeft(available.left());
        placement.canResizeLeft = true;
        placement.canResizeRight = false;
        alignVertically(placement, anchor, available);
        break;
    }
    return placement;
}

HXPanelResize HXPanelResizeForPress(int pressX, int panelWidth, bool canResizeLeft, bool canResizeRight) {
    HXPanelResize resize;
    resize.leftCorner = canResizeLeft && pressX < kCornerWidth;
    resize.rightCorner = !resize.leftCorner && canResizeRight && pressX > panelWidth - kCornerWidth;
    return resize;
}

QRect HXResizedPanelFrame(const QRect& start, const HXPanelResize& resize, bool stripAtTop, QPoint pressed,
                          QPoint current, QSize minimum, const QRect& available) {
    const QPoint delta = current - pressed;
    QRect frame = start;
    if (stripAtTop) {
        const int height = boundedBetween(start.height() - delta.y(), minimum.height(),
                                          std::min(available.height(), start.bottom() + 1 - available.top()));
        frame.setTop(start.bottom() + 1 - height);
    } else {
        const int height = boundedBetween(start.height() + delta.y(), minimum.height(),
                                          std::min(available.height(), available.bottom() + 1 - start.top()));
        frame.setHeight(height);
    }
    if (resize.rightCorner) {
        frame.setWidth(boundedBetween(start.width() + delta.x(), minimum.width(),
                                      std::min(available.width(), available.right() + 1 - start.left())));
    } else if (resize.leftCorner) {
        const int width = boundedBetween(start.width() - delta.x(), minimum.width(),
                                         std::min(available.width(), start.right() + 1 - available.left()));
        frame.setLeft(start.right() + 1 - width);
    }
    return frame;
}
