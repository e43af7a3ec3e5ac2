#pragma once

#include "ui/HXApplicationModeWindows.h"
#include "ui/shell/HXLiveReportWindowPort.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

class HXDesktopShell;
class HXUserDefaults;

// The program's two windows of window mode and the containers they share with the status item's panel:
// the list window with the organizer (from the window shell) and the live report window with the live
// report picture. The report picture redraws when the tracker says so.
class HXTrackerWindows final : public QObject,
                               public HXApplicationModeWindows,
                               public HXLiveReportWindowPort {
    Q_OBJECT

public:
    HXTrackerWindows(HXDesktopShell& shell, HXUserDefaults& defaults, HXLiveReportImages& images,
                     QObject* parent = nullptr);
    ~HXTrackerWindows() override;

    // HXApplicationModeWindows
    QWidget* listContainer() override;
    QWidget* liveReportContainer() override { return m_reportContainer.get(); }
    void detachContainers() override;
    void attachContainersToWindows() override;
    void restoreListDividerPosition() override;
    bool isPreferencesWindowVisible() const override;
    void orderListWindowBelowPreferences() override;
    void bringWindowsToFront() override;

    // HXLiveReportWindowPort
    QWidget* reportWindow() override { return m_reportWindow.get(); }
    void toggleReportWindow() override;
    bool isReportWindowClosed() const override;
    bool isReportViewVisible() const override;
    HXReportMenuTarget* menuTarget() override { return nullptr; }
    void getReportInterval(double* begin, double* end) override;
    void redisplay() override { liveReportChanged(); }
    void applyStayInFront() override;

    QWidget* listWindow() const;
    QWidget* liveReportWindow() const { return m_reportWindow.get(); }
    // Window mode at launch: the live report window unless the user closed it, the list window unless
    // the user closed it and the live report window shows; taking the focus only when told.
    void showWindows(bool activate);
    void liveReportChanged();
    // The preferences window stays in front of the windows that come forward while it is open.
    void setPreferencesWindow(QWidget* window) { m_preferencesWindow = window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HXDesktopShell& m_shell;
    HXUserDefaults& m_defaults;
    std::unique_ptr<QWidget> m_reportContainer;
    std::unique_ptr<QWidget> m_reportWindow;
    QPointer<QWidget> m_preferencesWindow;
};
