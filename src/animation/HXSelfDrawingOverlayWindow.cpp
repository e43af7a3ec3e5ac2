#include "animation/HXSelfDrawingOverlayWindow.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace {

Qt::WindowFlags levelFlags(HXWindowLevel level) {
    switch (level) {
    case HXWindowLevel::Floating:
        return Qt::WindowStaysOnTopHint;
    case HXWindowLevel::Desktop:
        return Qt::WindowStaysOnBottomHint;
    case HXWindowLevel::Normal:
        break;
    }
    return {};
}

// Borderless, no shadow, no focus, and clicks go through to what lies below.
constexpr Qt::WindowFlags kOverlayFlags = Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint |
                                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus;

void setUpOverlay(QWidget& window, HXSelfDrawingOverlayWindowView* view, const QRect& frame) {
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setAttribute(Qt::WA_TransparentForMouseEvents);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    window.setAttribute(Qt::WA_NoSystemBackground);
    window.setAutoFillBackground(false);
    window.setFocusPolicy(Qt::NoFocus);
    window.setGeometry(frame);
    view->setGeometry(QRect(QPoint(0, 0), frame.size()));
}

} // namespace

HXSelfDrawingOverlayWindowView::HXSelfDrawingOverlayWindowView(QWidget* window, bool flipped)
    : QWidget(window), m_flipped(flipped) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    window->installEventFilter(this);
}

bool HXSelfDrawingOverlayWindowView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(QRect(QPoint(0, 0), static_cast<QResizeEvent*>(event)->size()));
    return QWidget::eventFilter(watched, event);
}

void HXSelfDrawingOverlayWindowView::paintEvent(QPaintEvent*) {
    auto* overlay = dynamic_cast<HXSelfDrawingOverlay*>(window());
    if (!overlay)
        return;
    QPainter painter(this);
    const QRectF bounds(QPointF(0, 0), QSizeF(size()));
    if (!m_flipped) {
        painter.translate(0, bounds.height());
        painter.scale(1, -1);
    }
    overlay->drawOverlayInBounds(painter, bounds, *this);
}

void HXSelfDrawingOverlay::drawOverlayInBounds(QPainter& painter, const QRectF& bounds, QWidget&) {
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QColor frame = QColor::fromRgbF(0.7f, 0.7f, 0.7f, 0.95f);
    const double w = bounds.width();
    const double h = bounds.height();
    painter.fillRect(QRectF(bounds.left(), bounds.top(), w, 1), frame);
    painter.fillRect(QRectF(bounds.left(), bounds.bottom() - 1, w, 1), frame);
    painter.fillRect(QRectF(bounds.left(), bounds.top() + 1, 1, h - 2), frame);
    painter.fillRect(QRectF(bounds.right() - 1, bounds.top() + 1, 1, h - 2), frame);
    painter.fillRect(bounds.adjusted(1, 1, -1, -1), QColor::fromRgbF(0, 0, 0, 0.13f));
    painter.restore();
}

HXSelfDrawingOverlayWindow::HXSelfDrawingOverlayWindow(HXScheduler& scheduler, const HXUserDefaults& defaults,
                                                       const QRect& frame, HXWindowLevel level,
                                                       bool flipContent, HXFadeEnvironment* environment)
    : HXAlphaValueAnimationWindow(scheduler, defaults, kOverlayFlags | Qt::Tool | levelFlags(level),
                                  environment) {
    auto* view = new HXSelfDrawingOverlayWindowView(this, flipContent);
    setDrawingView(view);
    setUpOverlay(*this, view, frame);
}

std::unique_ptr<HXSelfDrawingOverlayWindow>
HXSelfDrawingOverlayWindow::overlayWindowWithFrame(HXScheduler& scheduler, const HXUserDefaults& defaults,
                                                   const QRect& frame, HXWindowLevel level,
                                                   bool flipContent) {
    return std::make_unique<HXSelfDrawingOverlayWindow>(scheduler, defaults, frame, level, flipContent);
}

void HXSelfDrawingOverlayWindow::setLevel(HXWindowLevel level) {
    const bool visible = isVisible();
    setWindowFlags((windowFlags() & ~(Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint)) |
                   levelFlags(level));
    // Changing the flags hides a shown window.
    if (visible)
        show();
}

HXSelfDrawingOverlayPanel::HXSelfDrawingOverlayPanel(HXScheduler& scheduler, const HXUserDefaults& defaults,
                                                     const QRect& frame, HXWindowLevel level,
                                                     bool nonActivating, bool flipContent,
                                                     HXFadeEnvironment* environment)
    : HXAlphaValueAnimationPanel(scheduler, defaults, kOverlayFlags | levelFlags(level), environment) {
    auto* view = new HXSelfDrawingOverlayWindowView(this, flipContent);
    setDrawingView(view);
    setUpOverlay(*this, view, frame);
    if (!nonActivating)
        setAttribute(Qt::WA_ShowWithoutActivating, false);
}

std::unique_ptr<HXSelfDrawingOverlayPanel>
HXSelfDrawingOverlayPanel::overlayPanelWithFrame(HXScheduler& scheduler, const HXUserDefaults& defaults,
                                                 const QRect& frame, HXWindowLevel level, bool nonActivating,
                                                 bool flipContent) {
    return std::make_unique<HXSelfDrawingOverlayPanel>(scheduler, defaults, frame, level, nonActivating,
                                                       flipContent);
}
