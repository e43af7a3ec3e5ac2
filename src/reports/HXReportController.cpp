#include "reports/HXReportController.h"

#include "reports/HXEventStream.h"
#include "reports/HXReportControllerDelegate.h"
#include "reports/HXReportInterval.h"

#include "foundation/HXClock.h"
#include "foundation/HXUserDefaults.h"

#include <QDateTime>

#include <cmath>

namespace {

// A date moved by whole calendar units of a named interval, in local time.
double addCalendarUnits(double timestamp, long long kind, int units) {
    const QDateTime date =
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(timestamp * 1000)), Qt::LocalTime);
    QDateTime moved;
    switch (kind) {
    case HXReportIntervalToday:
        moved = date.addDays(units);
        break;
    case HXReportIntervalThisWeek:
        moved = date.addDays(7LL * units);
        break;
    case HXReportIntervalThisMonth:
        moved = date.addMonths(units);
        break;
    default:
        moved = date.addYears(units);
        break;
    }
    return static_cast<double>(moved.toMSecsSinceEpoch()) / 1000.0;
}

} // namespace

HXReportController::HXReportController(HXReportSettings settings, HXReportControllerDelegate* delegate,
                                       const HXClock& clock, const HXUserDefaults& defaults,
                                       bool hasIntervalSelector)
    : m_settings(std::move(settings)), m_delegate(delegate), m_clock(clock), m_defaults(defaults),
      m_hasIntervalSelector(hasIntervalSelector) {
    m_controls.selectorTag =
        hasIntervalSelector ? static_cast<int>(m_settings.integerForKey(u"Interval")) : 0;
}

HXReportController::~HXReportController() = default;

double HXReportController::now() const {
    return m_clock.now();
}

void HXReportController::setSnapshotConfiguration(HXDictionaryRef configuration) {
    m_snapshotConfiguration = std::move(configuration);
}

int HXReportController::timeFormat() const {
    return m_settings.integerForKey(u"Time Format") == 1 ? 1 : 0;
}

bool HXReportController::drawFrontActivity() const {
    if (isSnapshot())
        return m_snapshotConfiguration && m_snapshotConfiguration->boolForKey(u"Foreground Activity");
    return m_settings.boolForKey(u"Front");
}

bool HXReportController::drawTotalActivity() const {
    if (isSnapshot())
        return m_snapshotConfiguration && m_snapshotConfiguration->boolForKey(u"Total Activity");
    return m_settings.boolForKey(u"Total");
}

void HXReportController::setTimeFormat(int format) {
    m_settings.setInteger(u"Time Format", format == 1 ? 1 : 0);
    Q_EMIT appearanceChanged();
    updateView();
}

void HXReportController::toggleShownActivity(int tag) {
    if (isSnapshot())
        return;
    if (tag == 0)
        m_settings.setBool(u"Front", !drawFrontActivity());
    else
        m_settings.setBool(u"Total", !drawTotalActivity());
    Q_EMIT appearanceChanged();
    updateView();
}

double HXReportController::interpretationThreshold() const {
    return m_settings.numberForKey(u"Interval: Interpretation Threshold").value_or(60);
}

bool HXReportController::namedBegin(double* begin, long long kind, double moment, double first,
                                    double last) const {
    if (kind < HXReportIntervalToday || kind > HXReportIntervalThisYear)
        return false;
    return HXGetReportIntervalSpecificBeginTimestamp(begin, static_cast<int>(kind), moment, first, last,
                                                     m_defaults);
}

void HXReportController::getBeginTimestamp(double* beginOut, double* endOut, double* firstOut,
                                           double* lastOut) {
    double first = 0;
    double last = 0;
    if (m_delegate)
        m_delegate->getFirstTimestamp(&first, &last, *this);
    double begin = first;
    double end = last;
    HXReportControls controls = m_controls;
    if (HXSimilarAbsoluteTimeIntervals(first, last)) {
        // Nothing to choose from.
        controls.datesVisible = false;
        controls.beginChecked = false;
        controls.endChecked = false;
        controls.selectorVisible = false;
        controls.indicatorVisible = false;
    } else {
        std::optional<double> storedBegin = m_settings.numberForKey(u"Begin");
        std::optional<double> storedEnd = m_settings.numberForKey(u"End");
        const long long kind = m_hasIntervalSelector ? m_settings.integerForKey(u"Interval") : 0;
        controls.selectorTag = static_cast<int>(kind);
        double named = first;
        bool isNamed = namedBegin(&named, kind, now(), first, last);
        if (isNamed) {
            begin = named;
            if (storedBegin) {
                m_settings.remove(u"Begin");
                storedBegin.reset();
            }
        } else if (storedBegin) {
            const double v = *storedBegin;
            if (v < first + kHXEventStreamTolerance) {
                begin = first;
                if (m_canInterpretReportInterval) {
                    m_settings.remove(u"Begin");
                    storedBegin.reset();
                }
            } else if (v > last) {
                begin = last;
            } else {
                begin = v;
                const long long lastSelected = m_settings.integerForKey(u"Interval: Last Selected");
                double periodBegin = 0;
                if (m_hasIntervalSelector && m_canInterpretReportInterval &&
                    namedBegin(&periodBegin, lastSelected, last, first, last) &&
                    (!storedEnd || std::fabs(*storedEnd - last) < kHXEventStreamTolerance) &&
                    std::fabs(v - periodBegin) < interpretationThreshold()) {
                    // Close enough to the period the user chose last: it is that period again.
                    m_settings.setInteger(u"Interval", lastSelected);
                    controls.selectorTag = static_cast<int>(lastSelected);
                    m_settings.remove(u"Begin");
                    storedBegin.reset();
                    isNamed = true;
                    if (!namedBegin(&begin, lastSelected, now(), first, last))
                        begin = periodBegin;
                }
            }
        }
        if (storedEnd) {
            const double w = *storedEnd;
            if (isNamed || w < begin) {
                end = last;
                m_settings.remove(u"End");
                storedEnd.reset();
            } else if (w <= last - kHXEventStreamTolerance) {
                end = w;
            } else {
                end = last;
                if (m_canInterpretReportInterval) {
                    m_settings.remove(u"End");
                    storedEnd.reset();
                }
            }
        }
        controls.datesVisible = true;
        controls.beginMinimum = first;
        controls.beginMaximum = last;
        controls.beginDate = begin;
        controls.beginChecked = storedBegin.has_value();
        controls.endMinimum = begin;
        controls.endMaximum = last;
        controls.endDate = end;
        controls.endChecked = storedEnd.has_value();
        controls.selectorVisible = m_hasIntervalSelector;
        controls.indicatorVisible = !m_hasIntervalSelector && !HXSimilarAbsoluteTimeIntervals(begin, end);
    }
    setControls(controls);
    if (beginOut)
        *beginOut = begin;
    if (endOut)
        *endOut = end;
    if (firstOut)
        *firstOut = first;
    if (lastOut)
        *lastOut = last;
}

void HXReportController::setControls(const HXReportControls& controls) {
    if (controls == m_controls)
        return;
    m_controls = controls;
    Q_EMIT controlsChanged();
}

void HXReportController::storeOrRemove(QStringView name, double value) {
    if (value > 0)
        m_settings.setDouble(name, value);
    else
        m_settings.remove(name);
}

void HXReportController::setBeginTimestamp(double begin, double end) {
    bool becameFree = false;
    bool returnedToNamed = false;
    if (m_hasIntervalSelector) {
        const long long lastSelected = m_settings.integerForKey(u"Interval: Last Selected");
        if (m_settings.integerForKey(u"Interval") != 0) {
            m_settings.setInteger(u"Interval", 0);
            becameFree = true;
        } else if (begin < 0 && end < 0 && lastSelected >= HXReportIntervalToday &&
                   lastSelected <= HXReportIntervalThisYear) {
            m_settings.setInteger(u"Interval", lastSelected);
            HXReportControls controls = m_controls;
            controls.selectorTag = static_cast<int>(lastSelected);
            setControls(controls);
            returnedToNamed = true;
        }
    }
    storeOrRemove(u"Begin", begin);
    storeOrRemove(u"End", end);
    m_canInterpretReportInterval = !returnedToNamed;
    updateView();
    m_canInterpretReportInterval = false;
    if (becameFree && m_settings.integerForKey(u"Interval") == 0) {
        HXReportControls controls = m_controls;
        controls.selectorTag = 0;
        setControls(controls);
    }
}

bool HXReportController::shiftBeginAndEndTimestamp(int direction) {
    const double beginDate = m_controls.beginDate;
    const double endDate = m_controls.endDate;
    const double span = endDate - beginDate;
    if (span < 1 || direction == 0)
        return false;
    const bool earlier = direction < 0;
    const long long kind = m_settings.integerForKey(u"Interval: Last Selected");
    double edge = earlier ? beginDate - span : endDate + span;
    if (kind >= HXReportIntervalToday && kind <= HXReportIntervalThisYear) {
        const double unitSpan = addCalendarUnits(beginDate, kind, 1) - beginDate;
        // The side that grows is open: a period running to now counts as a whole one.
        const bool extendedSideOpen = earlier ? !m_controls.endChecked : !m_controls.beginChecked;
        if (HXSimilarAbsoluteTimeIntervals(span, unitSpan) || (span < 1.108 * unitSpan && extendedSideOpen))
            edge = earlier ? addCalendarUnits(beginDate, kind, direction)
                           : addCalendarUnits(endDate, kind, direction);
    }
    if (earlier) {
        const double newBegin = edge > m_controls.beginMinimum ? edge : -1;
        setBeginTimestamp(newBegin, beginDate);
    } else {
        const double newEnd = edge < m_controls.endMaximum ? edge : -1;
        setBeginTimestamp(endDate, newEnd);
    }
    return true;
}

HXArrayRef HXReportController::eventLogsClippedBetweenTimestamp(double begin, double end) const {
    if (!m_delegate)
        return HXArray::create();
    HXArrayRef list = m_delegate->eventLogsClippedBetweenTimestamp(begin, end, *this);
    return list ? list : HXArray::create();
}

void HXReportController::setBeginChecked(bool checked) {
    setEdgeChecked(u"Begin", &HXReportControls::beginDate, checked);
}

void HXReportController::setEndChecked(bool checked) {
    setEdgeChecked(u"End", &HXReportControls::endDate, checked);
}

void HXReportController::setEdgeChecked(QStringView name, double HXReportControls::*date, bool checked) {
    if (checked) {
        if (m_hasIntervalSelector) {
            m_settings.setInteger(u"Interval", 0);
            HXReportControls controls = m_controls;
            controls.selectorTag = 0;
            setControls(controls);
        }
        m_settings.setDouble(name, m_controls.*date);
    } else {
        m_settings.remove(name);
    }
    updateView();
}

void HXReportController::setBeginDate(double date) {
    m_settings.setDouble(u"Begin", date);
    updateView();
}

void HXReportController::setEndDate(double date) {
    m_settings.setDouble(u"End", date);
    updateView();
}

void HXReportController::selectInterval(int tag) {
    if (!m_hasIntervalSelector || tag < 0)
        return;
    m_settings.setInteger(u"Interval", tag);
    if (tag >= HXReportIntervalToday && tag <= HXReportIntervalThisYear) {
        m_settings.setInteger(u"Interval: Last Selected", tag);
    } else {
        // The custom entry keeps what is shown, as a free interval.
        m_settings.setDouble(u"Begin", m_controls.beginDate);
    }
    HXReportControls controls = m_controls;
    controls.selectorTag = tag;
    setControls(controls);
    updateView();
}

void HXReportController::updateView() {
    if (m_viewUpdater)
        m_viewUpdater();
    else
        getBeginTimestamp(nullptr, nullptr, nullptr, nullptr);
}

void HXReportController::setClosed(bool closed) {
    m_settings.setBool(u"Closed", closed);
    if (m_hasIntervalSelector && closed)
        m_settings.setBool(u"Closed Last", true);
}

void HXReportController::setStaysInFront(bool stay) {
    m_settings.setBool(u"Stay In Front", stay);
}
