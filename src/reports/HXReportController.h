#pragma once

#include "reports/HXReportControls.h"
#include "reports/HXReportSettings.h"

#include <QObject>

#include <functional>

class HXClock;
class HXReportControllerDelegate;
class HXUserDefaults;

// One report: the live report of the tracking data ("Default") or a snapshot of a CSV file (identified by
// its path). It keeps what is drawn and how, turns the settings and the bounds of the data into the begin
// and end that its view draws, shifts and re-interprets intervals, and decides what the window's controls
// show. No widget lives here: the window and the view attach to it.
//
// A report is named (interval 1-4: its begin follows the calendar and now) or free (0: a stored begin and
// end, each optional). Dragging or shifting makes it free, choosing in the selector named; a free begin
// close to the last chosen period's begin turns it named again when it runs to the last data.
class HXReportController : public QObject {
    Q_OBJECT

public:
    static constexpr const char16_t* kLiveReportIdentifier = u"Default";

    // The live report has the interval selector; a snapshot has a configuration (set once it is read).
    HXReportController(HXReportSettings settings, HXReportControllerDelegate* delegate, const HXClock& clock,
                       const HXUserDefaults& defaults, bool hasIntervalSelector);
    ~HXReportController() override;

    const QString& identifier() const { return m_settings.identifier(); }
    HXReportSettings& settings() { return m_settings; }
    const HXReportSettings& settings() const { return m_settings; }
    const HXUserDefaults& defaults() const { return m_defaults; }
    bool hasIntervalSelector() const { return m_hasIntervalSelector; }
    HXReportControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(HXReportControllerDelegate* delegate) { m_delegate = delegate; }

    // A snapshot's configuration, or null (the live report, or a snapshot still loading).
    const HXDictionaryRef& snapshotConfiguration() const { return m_snapshotConfiguration; }
    void setSnapshotConfiguration(HXDictionaryRef configuration);
    bool isSnapshot() const { return !m_hasIntervalSelector; }

    // 0 time lapse, 1 time portions.
    int timeFormat() const;
    bool drawFrontActivity() const;
    bool drawTotalActivity() const;
    void setTimeFormat(int format);
    // Tag 0 foreground, 1 total; snapshots show what their file holds.
    void toggleShownActivity(int tag);

    // Asked by the view at every update: first F and last L of the data and the report's begin and end.
    void getBeginTimestamp(double* begin, double* end, double* first, double* last);
    // From the view's gestures; a value <= 0 means none (from the first or to the last data).
    void setBeginTimestamp(double begin, double end);
    // One step earlier (negative) or later; false when there is no span to step by.
    bool shiftBeginAndEndTimestamp(int direction);
    HXArrayRef eventLogsClippedBetweenTimestamp(double begin, double end) const;

    const HXReportControls& controls() const { return m_controls; }
    // The controls' actions; each updates the view.
    void setBeginChecked(bool checked);
    void setEndChecked(bool checked);
    void setBeginDate(double date);
    void setEndDate(double date);
    void selectInterval(int tag);

    // How the view refreshes; without one, an update only resolves the interval.
    void setViewUpdater(std::function<void()> updater) { m_viewUpdater = std::move(updater); }
    void updateView();

    // The window's state.
    bool isClosed() const { return m_settings.boolForKey(u"Closed"); }
    void setClosed(bool closed);
    bool staysInFront() const { return m_settings.boolForKey(u"Stay In Front"); }
    void setStaysInFront(bool stay);

Q_SIGNALS:
    void controlsChanged();
    // What is drawn or how changed (time format, shown activity).
    void appearanceChanged();

private:
    double now() const;
    double interpretationThreshold() const;
    void setControls(const HXReportControls& controls);
    bool namedBegin(double* begin, long long kind, double moment, double first, double last) const;
    void storeOrRemove(QStringView name, double value);
    // Checking an edge leaves the interval selector for a custom interval and stores the edge's date.
    void setEdgeChecked(QStringView name, double HXReportControls::*date, bool checked);

    HXReportSettings m_settings;
    HXReportControllerDelegate* m_delegate;
    const HXClock& m_clock;
    const HXUserDefaults& m_defaults;
    bool m_hasIntervalSelector;
    HXDictionaryRef m_snapshotConfiguration;
    HXReportControls m_controls;
    bool m_canInterpretReportInterval = false;
    std::function<void()> m_viewUpdater;
};
