#pragma once

#include "ui/HXApplicationModeWindows.h"
#include "ui/menus/HXReportControllerMenuTarget.h"
#include "ui/shell/HXLiveReportWindowPort.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class HXDesktopShell;
class HXLiveReportWindow;
class HXUserDefaults;

// The program's two windows of window mode and the containers they share with the status item's panel:
// the list window with the organizer (from the window shell) and the live report window with the live
// report's pane. The report refreshes when the tracker says so; its rows offer their items' context menus,
// its window has the menu bar, and the View menus act on it.
class HXTrackerWindows final : public QObject,
                               public HXApplicationModeWindows,
                               public HXLiveReportWindowPort {
    Q_OBJECT

public:
    HXTrackerWindows(HXDesktopShell& shell, HXUserDefaults& defaults, HXLiveReportWindow& liveReport,
                     QObject* parent = nullptr);
    ~HXTrackerWindows() override;

    // HXApplicationModeWindows
    QWidget* listContainer() override;
    QWidget* liveReportContainer() override;
    void detachContainers() override;
    void attachContainersToWindows() override;
    void restoreListDividerPosition() override;
    bool isPreferencesWindowVisible() const override;
    void orderListWindowBelowPreferences() override;
    void bringWindowsToFront() override;

    // HXLiveReportWindowPort
    QWidget* reportWindow() override;
    void toggleReportWindow() override;
    bool isReportWindowOpen() const override;
    bool isReportWindowClosed() const override;
    bool isReportViewVisible() const override;
    HXReportMenuTarget* menuTarget() override { return &m_menuTarget; }
    void getReportInterval(double* begin, double* end) override;
    void redisplay() override { liveReportChanged(); }
    void applyStayInFront() override;

    QWidget* listWindow() const;
    QWidget* liveReportWindow() const;
    // Window mode: the live report window unless the user closed it, the list window unless the user
    // closed it and the live report window shows; taking the focus only when told.
    void showWindows(bool activate);
    void liveReportChanged();
    // The preferences window stays in front of the windows that come forward while it is open.
    void setPreferencesWindow(QWidget* window) { m_preferencesWindow = window; }
    QWidget* preferencesWindow() const { return m_preferencesWindow; }

private:
    HXDesktopShell& m_shell;
    HXUserDefaults& m_defaults;
    HXLiveReportWindow& m_liveReport;
    HXReportControllerMenuTarget m_menuTarget;
    QPointer<QWidget> m_preferencesWindow;
};
