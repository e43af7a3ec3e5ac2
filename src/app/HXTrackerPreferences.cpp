#include "app/HXTrackerPreferences.h"

#include "animation/HXFullscreenReportWindow.h"
#include "engine/HXLifecycle.h"
#include "engine/HXMainController.h"
#include "reports/HXScheduledTasks.h"
#include "ui/HXApplicationModeController.h"
#include "ui/preferences/HXPreferencesModel.h"
#include "ui/preferences/HXPreferencesWindow.h"

HXTrackerPreferences::HXTrackerPreferences(const Services& services) : m_services(services) {}

HXTrackerPreferences::~HXTrackerPreferences() = default;

void HXTrackerPreferences::showPreferencesWindow(const std::optional<QRect>& frame) {
    if (!m_window) {
        HXMainController& controller = m_services.controller;
        const HXEngineServices& engine = controller.services();
        m_model = std::make_unique<HXPreferencesModel>(engine.defaults, controller, *this);
        m_window = std::make_unique<HXPreferencesWindow>(
            *m_model, HXPreferencesWindow::Services{engine.defaults, engine.scheduler, m_services.clock,
                                                    m_services.hibernationHotKey});
        // The title and the mode's controls follow a switch made elsewhere too.
        QObject::connect(&m_services.mode, &HXApplicationModeController::applicationModeChanged,
                         m_model.get(), &HXPreferencesModel::changed);
        QObject::connect(&controller, &HXMainController::blacklistsReplaced, m_window.get(),
                         &HXPreferencesWindow::updateBlacklists);
        QObject::connect(&controller, &HXMainController::blacklistAppended, m_window.get(),
                         &HXPreferencesWindow::updateBlacklists);
    }
    m_window->showPreferences(frame);
}

bool HXTrackerPreferences::isStatusItemMode() const {
    return m_services.mode.isStatusItemMode();
}

bool HXTrackerPreferences::isAutomaticallyEnabledLoginItem() const {
    return m_services.lifecycle.automaticallyEnabledLoginItem();
}

void HXTrackerPreferences::updateIcon() {
    m_services.mode.updateIcon(true);
}

void HXTrackerPreferences::updateLiveReport() {
    Q_EMIT m_services.controller.liveReportNeedsUpdate();
}

void HXTrackerPreferences::setDesktopReportAlpha(double alpha) {
    if (HXFullscreenReportWindow* window = m_services.mode.desktopReportWindow();
        window && window->isVisible())
        window->setWindowOpacity(alpha);
}

void HXTrackerPreferences::doAutoTasksIfNecessary() {
    m_services.scheduledTasks.doAutoTasksIfNecessary(true);
}

QString HXTrackerPreferences::exportFolderPath() const {
    return m_services.scheduledTasks.exportFolderPath();
}

bool HXTrackerPreferences::setExportFolderPath(const QString& path) {
    return m_services.scheduledTasks.setExportFolderPath(path);
}

unsigned HXTrackerPreferences::autoTasksHour() const {
    return m_services.scheduledTasks.autoTasksHour();
}
