#include "reports/widgets/HXReportView.h"

#include "reports/widgets/HXReportViewAccessibility.h"

#include "reports/HXEventStream.h"
#include "reports/HXReportController.h"
#include "reports/HXReportListRelease.h"

#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr std::string_view kStep = "stepInterval";
constexpr std::string_view kRebuildTracking = "rebuildTrackingAreas";
const QPointF kNone(kHXReportNoLocation, kHXReportNoLocation);

} // namespace

HXReportView::HXReportView(HXReportController& controller, const HXUserDefaults& defaults,
                           HXScheduler& scheduler, const HXClock& clock, QWidget* parent)
    : QWidget(parent), m_controller(controller), m_defaults(defaults), m_scheduler(scheduler),
      m_animation(scheduler, clock) {
    HXInstallReportViewAccessibility();
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setAccessibleName(tr("Report"));
    m_controller.setViewUpdater([this] { updateIgnoringVisibility(true); });
}

HXReportView::~HXReportView() {
    m_controller.setViewUpdater(nullptr);
    m_scheduler.cancelPerforms(this, kStep);
    m_scheduler.cancelPerforms(this, kRebuildTracking);
}

void HXReportView::updateIgnoringVisibility(bool ignoreVisibility) {
    if (!ignoreVisibility && !isVisible())
        return;
    // An animation draws its own interval until it applies the new one.
    if (m_animation.isRunning())
        return;
    HXArrayRef shownBefore = m_content.list;
    m_content = HXReportViewContentFromController(m_controller, &m_content);
    HXReleaseReportList(std::move(shownBefore));
    // Sampling ticks ask again and again while mostly nothing shows a change: only what changed is
    // drawn again, and nothing when nothing did.
    const bool resized = resizeForRows();
    HXReportAppearance appearance =
        HXReportAppearanceInBounds(m_content, drawingStyle(), QRectF(rect()), visibleReportRect(), true);
    const bool pointerDraws =
        m_drag != Drag::None || m_pointer.isSelectingSpan() || HXReportLocationIsSet(m_pointer.track.x());
    bool changed = true;
    if (resized || pointerDraws || !m_drawn || m_drawn->frame != appearance.frame ||
        m_drawn->rows.size() != appearance.rows.size()) {
        update();
    } else {
        changed = m_drawn->ribbon != appearance.ribbon || m_drawn->ribbonRect != appearance.ribbonRect;
        if (changed)
            update(m_drawn->ribbonRect.toAlignedRect().united(appearance.ribbonRect.toAlignedRect()));
        for (std::size_t i = 0; i < appearance.rows.size(); ++i) {
            const HXReportRowAppearance& was = m_drawn->rows[i];
            const HXReportRowAppearance& now = appearance.rows[i];
            if (was == now)
                continue;
            // Mostly a fine print that reads a second more.
            const bool onlyLabels = was.rect == now.rect && was.bars == now.bars;
            update(onlyLabels ? now.labelArea.toAlignedRect()
                              : was.rect.toAlignedRect().united(now.rect.toAlignedRect()));
            changed = true;
        }
    }
    m_drawn = std::move(appearance);
    if (!changed)
        return;
    scheduleTrackingRebuild();
    if (QAccessible::isActive()) {
        QAccessibleEvent reordered(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reordered);
    }
}

void HXReportView::tile() {
    resizeForRows();
    update();
    scheduleTrackingRebuild();
}

bool HXReportView::resizeForRows() {
    const qsizetype rows = m_content.rowCount();
    double height = rows > 0 ? kHXReportRowHeight * static_cast<double>(rows) : 1;
    if (m_content.hasSections())
        height += 2 * kHXReportHeaderHeight;
    if (m_content.showsRibbon())
        height += kHXReportRibbonHeight;
    QSize size(width(), static_cast<int>(std::ceil(height)));
    if (const QWidget* viewport = parentWidget()) {
        size.setWidth(viewport->width());
        size.setHeight(std::max(size.height(), viewport->height()));
    }
    if (size == this->size())
        return false;
    resize(size);
    return true;
}

void HXReportView::setStatusText(const QString& status) {
    if (status == m_status)
        return;
    m_status = status;
    update();
}

HXReportDrawingStyle HXReportView::drawingStyle() const {
    HXReportDrawingStyle style = HXReportDrawingStyle::fromDefaults(m_defaults);
    style.timeFormat = m_controller.timeFormat();
    style.drawFrontActivity = m_controller.drawFrontActivity();
    style.drawTotalActivity = m_controller.drawTotalActivity();
    style.windowIsMain = isActiveWindow();
    style.font = font();
    style.status = m_status;
    return style;
}

QRectF HXReportView::visibleReportRect() const {
    const QWidget* viewport = parentWidget();
    if (!viewport)
        return QRectF(rect());
    return QRectF(QRect(mapFrom(viewport, QPoint(0, 0)), viewport->size()).intersected(rect()));
}

HXDictionaryRef HXReportView::eventLogAtLocation(QPointF location) const {
    for (const HXReportRowRect& row : m_rowRects) {
        if (row.rect.contains(location))
            return row.log;
    }
    return nullptr;
}

void HXReportView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    drawReportInBounds(painter, m_content, drawingStyle(), m_pointer, QRectF(rect()), visibleReportRect(),
                       true, true, true, &m_rowRects, QRectF(event->rect()));
}

bool HXReportView::isInRibbon(QPointF point) const {
    if (!m_content.showsRibbon() || !m_status.isEmpty() || m_content.rowCount() == 0)
        return false;
    const QRectF visible = visibleReportRect();
    return point.y() >= visible.bottom() - kHXReportRibbonHeight && point.y() <= visible.bottom();
}

double HXReportView::quantum() const {
    const HXValue value = m_defaults.objectForKey(u"Report Interval Quantum");
    return value.isNumber() ? value.toDouble() : 15;
}

void HXReportView::applyInterval(double begin, double end) {
    m_controller.setBeginTimestamp(begin, end);
}

void HXReportView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_animation.finish();
    const QPointF at = event->position();
    if (isInRibbon(at)) {
        beginRibbonGesture(at, event->modifiers());
        return;
    }
    if (!m_status.isEmpty() || m_content.rowCount() == 0)
        return;
    m_drag = Drag::Span;
    m_pointer.down = at;
    m_pointer.drag = kNone;
}

void HXReportView::beginRibbonGesture(QPointF at, Qt::KeyboardModifiers modifiers) {
    const QRectF visible = visibleReportRect();
    m_beginAtPress = m_content.begin;
    m_endAtPress = m_content.end;
    m_pointer.down = at;
    m_pointer.trackInRibbon = true;
    const HXReportRibbonComponent component =
        reportIntervalRibbonComponentAtXCoordinate(m_content, at.x(), visible);
    switch (component) {
    case HXRibbonBefore:
    case HXRibbonAfter: {
        const int direction = component == HXRibbonBefore ? -1 : 1;
        if (!modifiers.testFlag(Qt::AltModifier) && m_controller.shiftBeginAndEndTimestamp(direction)) {
            m_drag = Drag::Stepping;
            m_stepDirection = direction;
            m_scheduler.performAfterDelay(this, kStep, m_keyRepeat.delay, [this] { step(); });
            return;
        }
        m_drag = component == HXRibbonBefore ? Drag::BeginEdge : Drag::EndEdge;
        setCursor(Qt::SizeHorCursor);
        dragRibbon(at, modifiers);
        return;
    }
    case HXRibbonBeginEdge:
        m_drag = Drag::BeginEdge;
        setCursor(Qt::SizeHorCursor);
        return;
    case HXRibbonEndEdge:
        m_drag = Drag::EndEdge;
        setCursor(Qt::SizeHorCursor);
        return;
    case HXRibbonBody:
        m_drag = Drag::Body;
        setCursor(Qt::ClosedHandCursor);
        return;
    }
}

void HXReportView::step() {
    if (m_drag != Drag::Stepping)
        return;
    if (!m_controller.shiftBeginAndEndTimestamp(m_stepDirection)) {
        stopStepping();
        return;
    }
    m_scheduler.performAfterDelay(this, kStep, m_keyRepeat.interval, [this] { step(); });
}

void HXReportView::stopStepping() {
    m_scheduler.cancelPerforms(this, kStep);
    m_drag = Drag::None;
}

void HXReportView::dragRibbon(QPointF at, Qt::KeyboardModifiers modifiers) {
    const QRectF visible = visibleReportRect();
    const bool noQuantization = modifiers.testFlag(Qt::ControlModifier);
    const double first = m_content.first;
    const double last = m_content.last;
    // At the bounds of the data an edge is "none": it then follows the data.
    const auto beginValue = [first](double b) {
        return b <= first + kHXEventStreamTolerance ? -1.0 : b;
    };
    const auto endValue = [last](double e) {
        return e >= last - kHXEventStreamTolerance ? -1.0 : e;
    };
    switch (m_drag) {
    case Drag::BeginEdge: {
        double b = timestampAtXCoordinate(m_content, at.x(), visible, true, HXRibbonBeginEdge,
                                          m_content.begin, quantum(), noQuantization);
        b = std::min(b, m_content.end);
        applyInterval(beginValue(b), endValue(m_content.end));
        break;
    }
    case Drag::EndEdge: {
        double e = timestampAtXCoordinate(m_content, at.x(), visible, true, HXRibbonEndEdge, m_content.end,
                                          quantum(), noQuantization);
        e = std::max(e, m_content.begin);
        applyInterval(beginValue(m_content.begin), endValue(e));
        break;
    }
    case Drag::Body: {
        const double usable = visible.width() - kHXReportKnobMinimumWidth;
        if (usable <= 0)
            break;
        const double length = m_endAtPress - m_beginAtPress;
        const double moved = (at.x() - m_pointer.down.x()) * (last - first) / usable;
        double b = std::clamp(m_beginAtPress + moved, first, std::max(first, last - length));
        if (!noQuantization)
            b = std::clamp(HXQuantizeReportTimestamp(b, m_beginAtPress, first, last, quantum()), first,
                           std::max(first, last - length));
        applyInterval(beginValue(b), endValue(b + length));
        break;
    }
    default:
        break;
    }
}

void HXReportView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (!event->buttons().testFlag(Qt::LeftButton) || m_drag == Drag::None) {
        trackPointer(at);
        return;
    }
    if (m_drag == Drag::Span) {
        m_pointer.drag = at;
        update();
        return;
    }
    if (m_drag != Drag::Stepping)
        dragRibbon(at, event->modifiers());
}

void HXReportView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const Drag drag = m_drag;
    m_drag = Drag::None;
    m_scheduler.cancelPerforms(this, kStep);
    if (drag == Drag::Span && HXReportLocationIsSet(m_pointer.drag.x())) {
        const QRectF visible = visibleReportRect();
        const double t1 =
            timestampAtXCoordinate(m_content, m_pointer.down.x(), visible, false, -1, 0, 0, true);
        const double t2 =
            timestampAtXCoordinate(m_content, m_pointer.drag.x(), visible, false, -1, 0, 0, true);
        m_pointer.down = kNone;
        m_pointer.drag = kNone;
        if (std::abs(t2 - t1) > 0.1)
            animateTo(std::min(t1, t2), std::max(t1, t2), event->modifiers().testFlag(Qt::ShiftModifier));
        update();
        return;
    }
    m_pointer.down = kNone;
    m_pointer.drag = kNone;
    unsetCursor();
    trackPointer(event->position());
    update();
}

void HXReportView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || isInRibbon(event->position()))
        return;
    m_drag = Drag::None;
    m_pointer.down = kNone;
    m_pointer.drag = kNone;
    applyInterval(-1, -1);
}

void HXReportView::animateTo(double begin, double end, bool slowly) {
    m_animation.start(
        m_content.begin, m_content.end, begin, end, slowly ? 3.0 : 0.1,
        [this](double b, double e) {
            m_content.begin = b;
            m_content.end = e;
            update();
        },
        [this](double b, double e) { applyInterval(b, e); });
}

void HXReportView::trackPointer(QPointF at) {
    const bool inRibbon = isInRibbon(at);
    const QRectF visible = visibleReportRect();
    const bool showTime = m_defaults.boolForKey(u"Show Time At Mouse Location");
    const bool inRows =
        !inRibbon && showTime && m_status.isEmpty() && m_content.rowCount() > 0 && visible.contains(at);
    const QPointF track = inRibbon || inRows ? at : kNone;
    m_pointer.showTimeAtMouseLocation = showTime;
    m_pointer.indicatorLineTracksMouse = m_defaults.boolForKey(u"Indicator Line Tracks Mouse");
    const bool changed = inRibbon != m_pointer.trackInRibbon || track.x() != m_pointer.track.x() ||
                         HXReportLocationIsSet(track.x()) != HXReportLocationIsSet(m_pointer.track.x());
    m_pointer.trackInRibbon = inRibbon;
    m_pointer.track = track;
    if (inRibbon) {
        const HXReportRibbonComponent c =
            reportIntervalRibbonComponentAtXCoordinate(m_content, at.x(), visible);
        if (c == HXRibbonBeginEdge || c == HXRibbonEndEdge)
            setCursor(Qt::SizeHorCursor);
        else
            unsetCursor();
    } else {
        unsetCursor();
    }
    if (changed)
        update();
}

void HXReportView::leaveEvent(QEvent* event) {
    if (HXReportLocationIsSet(m_pointer.track.x())) {
        m_pointer.track = kNone;
        m_pointer.trackInRibbon = false;
        update();
    }
    QWidget::leaveEvent(event);
}

void HXReportView::scheduleTrackingRebuild() {
    m_scheduler.cancelPerforms(this, kRebuildTracking);
    m_scheduler.performAfterDelay(this, kRebuildTracking, 0.1, [this] {
        // The areas moved with the rows: what is under a resting pointer is looked at again.
        if (m_drag == Drag::None && underMouse())
            trackPointer(mapFromGlobal(QCursor::pos()));
        else if (m_drag == Drag::None && HXReportLocationIsSet(m_pointer.track.x())) {
            m_pointer.track = kNone;
            update();
        }
    });
}

void HXReportView::contextMenuEvent(QContextMenuEvent* event) {
    Q_EMIT contextMenuRequested(eventLogAtLocation(event->pos()), event->globalPos());
}

void HXReportView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange)
        update();
    QWidget::changeEvent(event);
}
