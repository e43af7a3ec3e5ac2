#pragma once

#include "animation/HXAlphaValueAnimationWindow.h"

#include <QRect>

#include <memory>

class QPainter;

// Where an overlay floats: among normal windows, above them, or on the desktop below them.
enum class HXWindowLevel {
    Normal,
    Floating,
    Desktop,
};

// The content of an overlay window: it draws nothing itself but asks its window to draw into its bounds,
// with y growing downwards when flipped and upwards otherwise.
class HXSelfDrawingOverlayWindowView : public QWidget {
    Q_OBJECT

public:
    HXSelfDrawingOverlayWindowView(QWidget* window, bool flipped);
    bool isFlipped() const { return m_flipped; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Sized with its window.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_flipped;
};

// What an overlay window or panel draws.
class HXSelfDrawingOverlay {
public:
    virtual ~HXSelfDrawingOverlay() = default;
    // The picture in the view's bounds; the default is a thin light frame around a faint dark fill.
    virtual void drawOverlayInBounds(QPainter& painter, const QRectF& bounds, QWidget& view);
    HXSelfDrawingOverlayWindowView* drawingView() const { return m_drawingView; }

protected:
    void setDrawingView(HXSelfDrawingOverlayWindowView* view) { m_drawingView = view; }

private:
    HXSelfDrawingOverlayWindowView* m_drawingView = nullptr;
};

// A borderless, transparent, click-through window that never takes the focus, fades like every fading
// window (in steps of 0.1) and shows what drawOverlayInBounds draws.
class HXSelfDrawingOverlayWindow : public HXAlphaValueAnimationWindow, public HXSelfDrawingOverlay {
    Q_OBJECT

public:
    HXSelfDrawingOverlayWindow(HXScheduler& scheduler, const HXUserDefaults& defaults, const QRect& frame,
                               HXWindowLevel level, bool flipContent,
                               HXFadeEnvironment* environment = nullptr);

    static std::unique_ptr<HXSelfDrawingOverlayWindow>
    overlayWindowWithFrame(HXScheduler& scheduler, const HXUserDefaults& defaults, const QRect& frame,
                           HXWindowLevel level, bool flipContent = false);

    double alphaValueAnimationQuantum() const override { return 0.1; }
    void setLevel(HXWindowLevel level);
};

// The panel twin: a utility window; non-activating panels are never activated when shown.
class HXSelfDrawingOverlayPanel : public HXAlphaValueAnimationPanel, public HXSelfDrawingOverlay {
    Q_OBJECT

public:
    HXSelfDrawingOverlayPanel(HXScheduler& scheduler, const HXUserDefaults& defaults, const QRect& frame,
                              HXWindowLevel level, bool nonActivating, bool flipContent,
                              HXFadeEnvironment* environment = nullptr);

    static std::unique_ptr<HXSelfDrawingOverlayPanel>
    overlayPanelWithFrame(HXScheduler& scheduler, const HXUserDefaults& defaults, const QRect& frame,
                          HXWindowLevel level, bool nonActivating = false, bool flipContent = false);

    double alphaValueAnimationQuantum() const override { return 0.1; }
};
