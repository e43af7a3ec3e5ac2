#include "app/HXTrackerInterface.h"

#include "app/HXLiveReportPicture.h"
#include "app/HXTrackerWindows.h"
#include "engine/HXMainController.h"
#include "foundation/HXLocalization.h"
#include "hotkeys/HXHibernationHotKey.h"
#include "ui/HXApplicationModeController.h"
#include "ui/HXLoginItem.h"
#include "ui/HXTimerMenuEntries.h"

#include <QApplication>
#include <QMenu>

HXTrackerInterface::HXTrackerInterface(HXMainController& controller, HXLiveReportWindow& liveReport,
                                       HXDesktopPresence* shell, std::function<void()> quit, QObject* parent)
    : QObject(parent), m_controller(controller), m_quit(std::move(quit)),
      m_picture(std::make_unique<HXLiveReportPicture>(liveReport)),
      m_windows(
          std::make_unique<HXTrackerWindows>(controller.hibernation(), liveReport, [this] { m_quit(); })),
      m_timerEntries(std::make_unique<HXTimerMenuEntries>(controller)) {
    m_windows->addCommandButton(HXLocalized("Run Ad Hoc Timer..."),
                                [this] { m_timerEntries->runAdHocTimer(); });
    const HXEngineServices& services = controller.services();
    m_mode = std::make_unique<HXApplicationModeController>(
        HXApplicationModeController::Services{services.defaults, services.scheduler, services.ui,
                                              controller.hibernation(), shell},
        *m_windows, *m_picture);
    m_mode->setMainMenuPopulator([this](QMenu& menu) { populateMainMenu(menu); });
    connect(&controller, &HXMainController::liveReportNeedsUpdate, m_windows.get(),
            &HXTrackerWindows::liveReportChanged);
}

HXTrackerInterface::~HXTrackerInterface() = default;

void HXTrackerInterface::populateMainMenu(QMenu& menu) {
    m_timerEntries->addTo(menu);
    menu.addSeparator();
    if (m_openPreferences) {
        menu.addAction(HXLocalized("Preferences..."), this, &HXTrackerInterface::showPreferences);
        menu.addSeparator();
    }
    menu.addAction(HXLocalized("Quit Qualdern"), this, [this] { m_quit(); });
}

void HXTrackerInterface::setPreferencesOpener(std::function<QWidget*()> open) {
    m_openPreferences = std::move(open);
    m_windows->addCommandButton(HXLocalized("Preferences..."), [this] { showPreferences(); });
}

void HXTrackerInterface::showPreferences() {
    if (!m_openPreferences)
        return;
    m_mode->hideStatusItemPanel();
    m_windows->setPreferencesWindow(m_openPreferences());
}

void HXTrackerInterface::setHibernationHotKey(HXHibernationHotKey* hotKey) {
    m_hibernationHotKey = hotKey;
    m_timerEntries->setHibernationHotKey(hotKey);
}

bool HXTrackerInterface::registerHibernationHotKey() {
    return !m_hibernationHotKey || m_hibernationHotKey->registerAtLaunch();
}

void HXTrackerInterface::chooseApplicationMode() {
    m_mode->checkStatusItem();
}

bool HXTrackerInterface::isStatusItemMode() const {
    return m_mode->isStatusItemMode();
}

void HXTrackerInterface::addLoginItem() {
    HXSetLoginItem(true);
}

void HXTrackerInterface::removeLoginItem() {
    HXSetLoginItem(false);
}

void HXTrackerInterface::completeUserInterface() {
    m_mode->checkStatusItemInterface();
}

void HXTrackerInterface::doAutoTasksIfNecessary() {
    if (m_autoTasks)
        m_autoTasks();
}

void HXTrackerInterface::openDockModeWindows() {
    // Starting the tracker (often with the session) must not take the focus from what the user is doing.
    m_windows->showWindows(false);
}

void HXTrackerInterface::showReportSnapshots(const QStringList& files) {
    if (m_openSnapshots)
        m_openSnapshots(files);
}

void HXTrackerInterface::terminate() {
    if (!m_terminationCheck || m_terminationCheck())
        QApplication::quit();
}

void HXTrackerInterface::reopen() {
    m_mode->reopen();
}
