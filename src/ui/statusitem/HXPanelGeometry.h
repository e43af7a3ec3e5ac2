#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where the tray sits, as far as the panel cares: the screen edge nearest the icon.
enum class HXTrayEdge {
    Top,
    Bottom,
    Left,
    Right,
};

// The panel's frame next to the tray icon, and how it may be resized from there: which sides its
// corners may move, and whether its resize strip lies at its top (the panel rises from a tray at the
// bottom, or from a side tray near the bottom of the screen) rather than at its bottom.
struct HXPanelPlacement {
    QRect frame;
    HXTrayEdge edge = HXTrayEdge::Top;
    bool canResizeLeft = true;
    bool canResizeRight = true;
    bool stripAtTop = false;
};

inline constexpr QSize kHXStatusItemPanelMinimumSize{510, 300};

HXTrayEdge HXTrayEdgeForIcon(const QRect& icon, const QRect& screen);

// wanted: the panel's size; icon: the tray icon's frame when the tray tells it, else the pointer stands
// in for it. screen and available: the screen's frame and the part not taken by panels and docks. The
// panel is limited to the available area, hangs from the tray's edge of it (or beside the icon when the
// tray is not at an edge of it), aligned with the icon's near side, flipped to the far side where it would
// stick out, and pinned to the available area where even that does not fit.
HXPanelPlacement HXPlacePanel(QSize wanted, std::optional<QRect> icon, QPoint pointer, const QRect& screen,
                              const QRect& available);

// The minimum and maximum sizes of a panel in that available area (the minimum never above it).
QSize HXPanelMinimumSize(const QRect& available);

// Dragging the resize strip: start is the frame when the button went down, pressed and current the
// pointer's global positions then and now, pressX the press in the strip's coordinates across the panel's
// width. From a corner (the outer 32 points, where that side may move) width and height change, elsewhere
// only the height; the edge next to the tray stays put, and the frame stays inside the available area.
struct HXPanelResize {
    bool leftCorner = false;
    bool rightCorner = false;
};
HXPanelResize HXPanelResizeForPress(int pressX, int panelWidth, bool canResizeLeft, bool canResizeRight);
QRect HXResizedPanelFrame(const QRect& start, const HXPanelResize& resize, bool stripAtTop, QPoint pressed,
                          QPoint current, QSize minimum, const QRect& available);
