#pragma once

#include "ui/HXApplicationModeWindows.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class HXHibernation;
class HXLiveReportWindow;
class QLabel;

// The program's two windows of window mode and the containers they share with the status item's panel:
// the list window holds what the tracker is doing and its commands, the live report window the live
// report's pane. The report refreshes when the tracker says so.
class HXTrackerWindows final : public QObject, public HXApplicationModeWindows {
    Q_OBJECT

public:
    HXTrackerWindows(HXHibernation& hibernation, HXLiveReportWindow& liveReport, std::function<void()> quit,
                     QObject* parent = nullptr);
    ~HXTrackerWindows() override;

    QWidget* listContainer() override { return m_listContainer.get(); }
    QWidget* liveReportContainer() override;
    void detachContainers() override;
    void attachContainersToWindows() override;
    void restoreListDividerPosition() override {}
    bool isPreferencesWindowVisible() const override;
    void orderListWindowBelowPreferences() override;
    void bringWindowsToFront() override;

    QWidget* listWindow() const { return m_listWindow.get(); }
    QWidget* liveReportWindow() const;
    // Window mode: the windows show, taking the focus only when told; the live report's unless the user
    // closed it.
    void showWindows(bool activate);
    void liveReportChanged();
    // One more command of the list window, before "Quit".
    void addCommandButton(const QString& title, std::function<void()> command);
    // The preferences window stays in front of the windows that come forward while it is open.
    void setPreferencesWindow(QWidget* window) { m_preferencesWindow = window; }

private:
    void updateState();

    HXHibernation& m_hibernation;
    HXLiveReportWindow& m_liveReport;
    std::unique_ptr<QWidget> m_listContainer;
    std::unique_ptr<QWidget> m_listWindow;
    QLabel* m_state = nullptr;
    QWidget* m_quitButton = nullptr;
    QPointer<QWidget> m_preferencesWindow;
};
