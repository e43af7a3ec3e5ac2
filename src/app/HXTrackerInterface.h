#pragma once

#include "engine/HXLifecyclePort.h"

#include <QObject>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>

class HXApplicationModeController;
class HXHibernationHotKey;
class HXDesktopPresence;
class HXDesktopShell;
class HXLiveReportPicture;
class HXLiveReportWindow;
class HXMainController;
class HXTrackerWindows;
class QMenu;

// The tracker's user interface as start-up and quitting see it: the application mode (a tray icon with
// its panel, or windows), the login item, the snapshot windows and the way out.
class HXTrackerInterface : public QObject, public HXLifecyclePort {
    Q_OBJECT

public:
    HXTrackerInterface(HXMainController& controller, HXLiveReportWindow& liveReport,
                       HXDesktopPresence* presence, HXDesktopShell& shell, QObject* parent = nullptr);
    ~HXTrackerInterface() override;

    void chooseApplicationMode() override;
    bool isStatusItemMode() const override;
    void addLoginItem() override;
    void removeLoginItem() override;
    bool registerHibernationHotKey() override;
    void completeUserInterface() override;
    void doAutoTasksIfNecessary() override;
    void openDockModeWindows() override;
    void showReportSnapshots(const QStringList& files) override;
    void saveOrganizerDividerPosition() override;
    void savePreferencesFrame() override;
    void terminate() override;

    // Started again: the windows or the panel to the front.
    void reopen();
    HXApplicationModeController& applicationMode() const { return *m_mode; }

    void setAutoTasks(std::function<void()> run) { m_autoTasks = std::move(run); }
    void setSnapshotOpener(std::function<void(const QStringList&)> open) {
        m_openSnapshots = std::move(open);
    }
    // Registered at launch and shown on the suspend entry.
    void setHibernationHotKey(HXHibernationHotKey* hotKey);
    // "Preferences..." in the main menu and among the list window's commands: open shows the window (at
    // the frame when there is one) and gives it.
    void setPreferencesOpener(std::function<QWidget*(const std::optional<QRect>&)> open);
    void showPreferences(const std::optional<QRect>& frame = std::nullopt);
    // Asked before the application ends; false keeps it running.
    void setTerminationCheck(std::function<bool()> check) { m_terminationCheck = std::move(check); }

private:
    HXMainController& m_controller;
    HXDesktopShell& m_shell;
    std::function<void()> m_autoTasks;
    std::function<void(const QStringList&)> m_openSnapshots;
    std::function<bool()> m_terminationCheck;
    std::function<QWidget*(const std::optional<QRect>&)> m_openPreferences;
    std::unique_ptr<HXLiveReportPicture> m_picture;
    std::unique_ptr<HXTrackerWindows> m_windows;
    std::unique_ptr<HXApplicationModeController> m_mode;
    HXHibernationHotKey* m_hibernationHotKey = nullptr;
};
