#include "ui/statusitem/HXStatusItemPanelResizeView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <cmath>

namespace {

constexpr int kCornerWidth = 32;

} // namespace

HXStatusItemPanelResizeView::HXStatusItemPanelResizeView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::SizeVerCursor);
    setAccessibleName(tr("Resize"));
}

QSize HXStatusItemPanelResizeView::sizeHint() const {
    return QSize(100, 12);
}

void HXStatusItemPanelResizeView::setCanResize(bool left, bool right) {
    m_canResizeLeft = left;
    m_canResizeRight = right;
    update();
}

void HXStatusItemPanelResizeView::setAtTop(bool atTop) {
    m_atTop = atTop;
    update();
}

QRect HXStatusItemPanelResizeView::availableArea() const {
    if (m_available.isValid())
        return m_available;
    const QScreen* screen = window()->screen();
    return screen ? screen->availableGeometry() : QRect(QPoint(0, 0), QSize(100000, 100000));
}

void HXStatusItemPanelResizeView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF bounds = rect();
    painter.fillRect(bounds, palette().color(QPalette::Window));
    // A hairline towards the content.
    painter.fillRect(m_atTop ? QRectF(0, bounds.height() - 1, bounds.width(), 1)
                             : QRectF(0, 0, bounds.width(), 1),
                     palette().color(QPalette::Mid));
    if (m_isResizing) {
        QColor wash = palette().color(QPalette::Highlight);
        wash.setAlphaF(0.25f);
        painter.fillRect(bounds, wash);
    }
    // The grip: a 10 x 2 bar with a light line inside it.
    const QPointF c = bounds.center();
    painter.fillRect(QRectF(std::floor(c.x() - 5), std::floor(c.y() - 1), 10, 2),
                     QColor::fromRgbF(0, 0, 0, 0.2f));
    painter.fillRect(QRectF(std::floor(c.x() - 4), std::floor(c.y() - 1) + (m_atTop ? 1 : 0), 8, 1),
                     QColor::fromRgbF(1, 1, 1, 0.75f));
    // Corner marks where the width can change.
    painter.setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.3f), 1));
    const double y0 = m_atTop ? 2.5 : bounds.height() - 2.5;
    const double dy = m_atTop ? 1 : -1;
    for (int i = 0; i < 2; ++i) {
        const double d = 4 + 3 * i;
        if (m_canResizeLeft)
            painter.drawLine(QPointF(2.5, y0 + dy * (d - 2)), QPointF(2.5 + d - 2, y0));
        if (m_canResizeRight)
            painter.drawLine(QPointF(bounds.width() - 2.5, y0 + dy * (d - 2)),
                             QPointF(bounds.width() - 2.5 - (d - 2), y0));
    }
}

void HXStatusItemPanelResizeView::updateCursor(int x) {
    const HXPanelResize corner = HXPanelResizeForPress(x, width(), m_canResizeLeft, m_canResizeRight);
    // At the top the diagonals turn the other way.
    if (corner.leftCorner)
        setCursor(m_atTop ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
    else if (corner.rightCorner)
        setCursor(m_atTop ? Qt::SizeBDiagCursor : Qt::SizeFDiagCursor);
    else
        setCursor(Qt::SizeVerCursor);
}

void HXStatusItemPanelResizeView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_isResizing = true;
    m_startFrame = window()->geometry();
    m_pressed = event->globalPosition().toPoint();
    m_resize = HXPanelResizeForPress(static_cast<int>(event->position().x()), width(), m_canResizeLeft,
                                     m_canResizeRight);
    update();
}

void HXStatusItemPanelResizeView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_isResizing) {
        updateCursor(static_cast<int>(event->position().x()));
        return;
    }
    QWidget* panel = window();
    const QRect frame =
        HXResizedPanelFrame(m_startFrame, m_resize, m_atTop, m_pressed, event->globalPosition().toPoint(),
                            panel->minimumSize(), availableArea());
    if (frame != panel->geometry())
        panel->setGeometry(frame);
}

void HXStatusItemPanelResizeView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_isResizing || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_isResizing = false;
    update();
    Q_EMIT resizeFinished();
}
