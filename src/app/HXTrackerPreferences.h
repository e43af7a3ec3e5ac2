#pragma once

#include "ui/preferences/HXPreferencesDelegate.h"

#include <QRect>

#include <memory>
#include <optional>

class HXApplicationModeController;
class HXClock;
class HXHibernationHotKey;
class HXLifecycle;
class HXMainController;
class HXPreferencesModel;
class HXPreferencesWindow;
class HXScheduledTasks;

// The running program's preferences: the window, made on first use and kept, over the mode controller,
// the daily tasks and the start-up's login item.
class HXTrackerPreferences final : public HXPreferencesDelegate {
public:
    struct Services {
        HXMainController& controller;
        HXApplicationModeController& mode;
        HXScheduledTasks& scheduledTasks;
        const HXLifecycle& lifecycle;
        const HXClock& clock;
        HXHibernationHotKey* hibernationHotKey = nullptr;
    };

    explicit HXTrackerPreferences(const Services& services);
    ~HXTrackerPreferences() override;

    // "Preferences...", and at launch where the window was when the program last ended.
    void showPreferencesWindow(const std::optional<QRect>& frame = std::nullopt);
    // Null until first shown.
    HXPreferencesWindow* window() const { return m_window.get(); }

    bool isStatusItemMode() const override;
    bool isAutomaticallyEnabledLoginItem() const override;
    void updateIcon() override;
    void updateLiveReport() override;
    void setDesktopReportAlpha(double alpha) override;
    void doAutoTasksIfNecessary() override;
    QString exportFolderPath() const override;
    bool setExportFolderPath(const QString& path) override;
    unsigned autoTasksHour() const override;

private:
    Services m_services;
    std::unique_ptr<HXPreferencesModel> m_model;
    std::unique_ptr<HXPreferencesWindow> m_window;
};
