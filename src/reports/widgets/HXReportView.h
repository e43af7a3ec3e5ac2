#pragma once

#include "reports/HXReportViewContent.h"
#include "reports/widgets/HXReportDrawing.h"
#include "reports/widgets/HXReportGeometry.h"
#include "reports/widgets/HXReportIntervalAnimation.h"

#include <QWidget>

#include <optional>

class HXClock;
class HXReportController;
class HXScheduler;
class HXUserDefaults;

// How often a held button steps the interval: the key-repeat delay and interval of the X server.
struct HXKeyRepeatTiming {
    double delay = 0.5;
    double interval = 1.0 / 30;
};

// One report drawn in a scroll area: rows of the controller's report list, the ribbon below them, and
// the gestures that change the interval (dragging and stepping the knob, marking a span, a double click to
// go back to the named interval). The time under the pointer shows while it is tracked. Each row is an
// element of the accessibility tree.
class HXReportView : public QWidget {
    Q_OBJECT

public:
    HXReportView(HXReportController& controller, const HXUserDefaults& defaults, HXScheduler& scheduler,
                 const HXClock& clock, QWidget* parent = nullptr);
    ~HXReportView() override;

    HXReportController& controller() const { return m_controller; }
    const HXReportViewContent& content() const { return m_content; }
    const std::vector<HXReportRowRect>& rowRects() const { return m_rowRects; }
    const HXReportPointerState& pointer() const { return m_pointer; }

    // Refreshes from the controller; without ignoreVisibility nothing happens while the view is hidden.
    void updateIgnoringVisibility(bool ignoreVisibility);
    // Sizes the view for its rows in the scroll area and redraws.
    void tile();
    // Replaces the report ("Loading...", a snapshot's errors); empty shows the report again.
    void setStatusText(const QString& status);
    const QString& statusText() const { return m_status; }
    void setKeyRepeatTiming(HXKeyRepeatTiming timing) { m_keyRepeat = timing; }
    bool isAnimating() const { return m_animation.isRunning(); }

    // The record drawn at a point of the view, or null.
    HXDictionaryRef eventLogAtLocation(QPointF location) const;
    // The part of the view in the scroll area's viewport.
    QRectF visibleReportRect() const;
    HXReportDrawingStyle drawingStyle() const;

Q_SIGNALS:
    // Where the context menu of a record (or of the view, with a null record) is asked for.
    void contextMenuRequested(const HXDictionaryRef& log, const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class Drag { None, Span, BeginEdge, EndEdge, Body, Stepping };

    bool isInRibbon(QPointF point) const;
    void beginRibbonGesture(QPointF point, Qt::KeyboardModifiers modifiers);
    void dragRibbon(QPointF point, Qt::KeyboardModifiers modifiers);
    void step();
    void stopStepping();
    void trackPointer(QPointF point);
    void scheduleTrackingRebuild();
    // True when the view changed its size.
    bool resizeForRows();
    void applyInterval(double begin, double end);
    void animateTo(double begin, double end, bool slowly);
    double quantum() const;

    HXReportController& m_controller;
    const HXUserDefaults& m_defaults;
    HXScheduler& m_scheduler;
    HXReportViewContent m_content;
    HXReportPointerState m_pointer;
    std::vector<HXReportRowRect> m_rowRects;
    // What the last update asked to be drawn.
    std::optional<HXReportAppearance> m_drawn;
    QString m_status;
    HXKeyRepeatTiming m_keyRepeat;
    HXReportIntervalAnimation m_animation;
    Drag m_drag = Drag::None;
    int m_stepDirection = 0;
    double m_beginAtPress = 0;
    double m_endAtPress = 0;
};
