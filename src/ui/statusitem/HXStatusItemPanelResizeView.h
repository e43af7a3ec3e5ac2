#pragma once

#include "ui/statusitem/HXPanelGeometry.h"

#include <QWidget>

// The strip along the panel's free edge, drawn like a bar with a grip in its middle: dragging it changes
// the panel's height, and from a corner on a side that may move, its width too. The edge next to the
// tray stays put, the panel keeps its minimum size and stays within the screen's available area.
class HXStatusItemPanelResizeView : public QWidget {
    Q_OBJECT

public:
    explicit HXStatusItemPanelResizeView(QWidget* parent = nullptr);

    bool canResizeLeft() const { return m_canResizeLeft; }
    bool canResizeRight() const { return m_canResizeRight; }
    void setCanResize(bool left, bool right);
    // The strip lies at the panel's top, which then moves while the bottom stays.
    bool isAtTop() const { return m_atTop; }
    void setAtTop(bool atTop);
    bool isResizing() const { return m_isResizing; }
    // Where the panel may grow; the screen's available area unless set.
    void setAvailableArea(const QRect& area) { m_available = area; }

    QSize sizeHint() const override;

Q_SIGNALS:
    // The drag ended: the panel's frame may be saved.
    void resizeFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updateCursor(int x);
    QRect availableArea() const;

    bool m_canResizeLeft = true;
    bool m_canResizeRight = true;
    bool m_atTop = false;
    bool m_isResizing = false;
    HXPanelResize m_resize;
    QRect m_startFrame;
    QPoint m_pressed;
    QRect m_available;
};
