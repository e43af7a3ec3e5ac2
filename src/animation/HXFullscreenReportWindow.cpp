#include "animation/HXFullscreenReportWindow.h"

#include <QPainter>

void HXFullscreenReportWindow::setImage(const QImage& image) {
    if (image.cacheKey() == m_image.cacheKey() && image.isNull() == m_image.isNull())
        return;
    m_image = image;
    if (drawingView())
        drawingView()->update();
}

void HXFullscreenReportWindow::drawOverlayInBounds(QPainter& painter, const QRectF& bounds, QWidget&) {
    if (m_image.isNull())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(bounds, m_image, QRectF(m_image.rect()));
    painter.restore();
}
