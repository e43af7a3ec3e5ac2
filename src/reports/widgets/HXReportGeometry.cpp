#include "reports/widgets/HXReportGeometry.h"

#include "reports/HXEventStream.h"
#include "reports/HXReportViewContent.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

double span(const HXReportViewContent& c) {
    return c.last - c.first;
}

double fractionInData(const HXReportViewContent& c, double t) {
    const double s = span(c);
    return s > 0 ? std::clamp((t - c.first) / s, 0.0, 1.0) : 0.0;
}

QDateTime local(double t) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::floor(t * 1000)), Qt::LocalTime);
}

} // namespace

QRectF reportIntervalRibbonKnobFrameInVisibleRect(const HXReportViewContent& c, const QRectF& v,
                                                  double* inset) {
    QRectF knob(v.left(), v.bottom() - 14, v.width(), 14);
    if (!HXSimilarAbsoluteTimeIntervals(c.first, c.last)) {
        const double usable = v.width() - kHXReportKnobMinimumWidth;
        knob.setLeft(v.left() + (c.begin - c.first) * usable / span(c));
        knob.setWidth((c.end - c.begin) * usable / span(c) + kHXReportKnobMinimumWidth);
    }
    if (inset)
        *inset = std::min(std::floor(knob.width() / 4), 8.0);
    return knob;
}

HXReportRibbonComponent reportIntervalRibbonComponentAtXCoordinate(const HXReportViewContent& c, double x,
                                                                   const QRectF& v) {
    double inset = 0;
    const QRectF knob = reportIntervalRibbonKnobFrameInVisibleRect(c, v, &inset);
    if (x > knob.left() + inset && x < knob.right() - inset)
        return HXRibbonBody;
    if (x < knob.left() - inset)
        return HXRibbonBefore;
    if (x > knob.right() + inset)
        return HXRibbonAfter;
    return x < knob.center().x() ? HXRibbonBeginEdge : HXRibbonEndEdge;
}

double xCoordinateForTimestamp(const HXReportViewContent& c, double t, const QRectF& v, bool ribbon) {
    if (ribbon) {
        double x = std::floor(fractionInData(c, t) * (v.width() - kHXReportKnobMinimumWidth));
        if (t > (c.begin + c.end) / 2)
            x += kHXReportKnobMinimumWidth;
        return v.left() + x;
    }
    const double length = c.end - c.begin;
    const double f = length > 0 ? std::clamp((t - c.begin) / length, 0.0, 1.0) : 0.0;
    return v.left() + std::floor(f * v.width());
}

double HXQuantizeReportTimestamp(double t, double reference, double first, double last,
                                 double quantumMinutes) {
    if (!(reference > 0) || !(t > first + kHXEventStreamTolerance && t < last - kHXEventStreamTolerance))
        return t;
    const int q = static_cast<int>(std::floor(quantumMinutes));
    if (q < 1)
        return t;
    // An interval that was set by hand off the grid stays off it.
    if (reference > first && reference < last && local(reference).time().minute() % q != 0)
        return t;
    const QDateTime date = local(t);
    const int minute = static_cast<int>(std::lround(static_cast<double>(date.time().minute()) / q)) * q;
    const QDateTime hour(date.date(), QTime(date.time().hour(), 0), Qt::LocalTime);
    const QDateTime rounded = hour.addSecs(60LL * minute);
    return std::clamp(static_cast<double>(rounded.toSecsSinceEpoch()), first, last);
}

double timestampAtXCoordinate(const HXReportViewContent& c, double x, const QRectF& v, bool ribbon,
                              int draggedComponent, double reference, double quantumMinutes,
                              bool noQuantization) {
    double t = 0;
    if (ribbon) {
        double offset = x - v.left();
        if (draggedComponent == HXRibbonEndEdge) {
            offset -= kHXReportKnobMinimumWidth;
        } else if (draggedComponent != HXRibbonBeginEdge) {
            const QRectF knob = reportIntervalRibbonKnobFrameInVisibleRect(c, v);
            if (x > knob.center().x())
                offset -= kHXReportKnobMinimumWidth;
        }
        const double usable = v.width() - kHXReportKnobMinimumWidth;
        const double f = usable > 0 ? std::clamp(offset / usable, 0.0, 1.0) : 0.0;
        t = c.first + f * span(c);
    } else {
        const double f = v.width() > 0 ? std::clamp((x - v.left()) / v.width(), 0.0, 1.0) : 0.0;
        t = c.begin + f * (c.end - c.begin);
    }
    if (noQuantization)
        return t;
    return HXQuantizeReportTimestamp(t, reference, c.first, c.last, quantumMinutes);
}
