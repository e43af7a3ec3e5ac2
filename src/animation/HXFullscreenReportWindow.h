#pragma once

#include "animation/HXSelfDrawingOverlayWindow.h"

#include <QImage>

// The overlay that shows a rendered report image over its whole content (the desktop report). Setting
// the image it already shows does not redraw it.
class HXFullscreenReportWindow : public HXSelfDrawingOverlayWindow {
    Q_OBJECT

public:
    using HXSelfDrawingOverlayWindow::HXSelfDrawingOverlayWindow;

    const QImage& image() const { return m_image; }
    void setImage(const QImage& image);

    void drawOverlayInBounds(QPainter& painter, const QRectF& bounds, QWidget& view) override;

private:
    QImage m_image;
};
