#pragma once

#include "reports/widgets/HXReportView.h"

#include <QImage>
#include <QObject>

#include <memory>

class HXClock;
class HXLiveReportDelegate;
class HXLiveReportSource;
class HXReportController;
class HXReportPane;
class HXReportWindow;
class HXScheduler;
class HXUserDefaults;

// The live report of the tracking data: one per program, with its pane, which its window holds in window
// mode and the status item's panel otherwise. The window keeps its frame ("Report: Default") and its place
// in front of other windows; pictures of the report for the taskbar icon and the desktop are drawn from
// the same view.
class HXLiveReportWindow : public QObject {
    Q_OBJECT

public:
    HXLiveReportWindow(const HXLiveReportSource& source, HXUserDefaults& defaults, HXScheduler& scheduler,
                       const HXClock& clock, QObject* parent = nullptr);
    ~HXLiveReportWindow() override;

    HXReportController& controller() const { return *m_controller; }
    // The pane, made on first use.
    HXReportPane& pane();
    // The window, made on first use with the pane in it.
    HXReportWindow& loadReportWindow();
    HXReportWindow* window() const { return m_window.get(); }
    bool isVisible() const;
    // The window is shown and not minimized.
    bool isWindowOpen() const;

    // The pane back into the window (window mode), or out of the window or the panel, without a parent.
    void attachPaneToWindow();
    void detachPane();

    // Closes the window when it is the active one; otherwise shows it in front.
    void toggleReportWindow();
    void showReportWindow();
    // Shows it in front unless the user closed it.
    void showReportWindowUnlessClosed();
    // At launch in window mode: open, without taking the focus, unless the user closed it the last time.
    void openUnlessClosed();
    // After a sampling tick: refreshes when the pane can be seen, at most once a second; with
    // ignoreVisibility at once and whether it shows or not.
    void updateIgnoringVisibility(bool ignoreVisibility);
    void setStaysInFront(bool stay);
    void setKeyRepeatTiming(HXKeyRepeatTiming timing);

    // The report as small renderings draw it: no labels, no pointer; with or without its background.
    QImage liveReportImage(const QSize& size, bool withBackground);

Q_SIGNALS:
    // The window was made; the program adds its menu bar.
    void windowCreated(HXReportWindow* window);
    // A right click on the report, on a record's row or (null) elsewhere.
    void contextMenuRequested(const HXDictionaryRef& log, const QPoint& globalPosition);

private:
    HXUserDefaults& m_defaults;
    HXScheduler& m_scheduler;
    const HXClock& m_clock;
    std::unique_ptr<HXLiveReportDelegate> m_delegate;
    std::unique_ptr<HXReportController> m_controller;
    std::unique_ptr<HXReportPane> m_pane;
    std::unique_ptr<HXReportWindow> m_window;
    HXKeyRepeatTiming m_keyRepeat;
    static constexpr double kTickUpdateInterval = 0.95;
    double m_lastTickUpdate = -1e9;
};
