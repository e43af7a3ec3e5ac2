#include "app/HXTrackerInterface.h"

#include "app/HXLiveReportPicture.h"
#include "app/HXTrackerWindows.h"
#include "engine/HXMainController.h"
#include "foundation/HXFrameString.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"
#include "hotkeys/HXHibernationHotKey.h"
#include "ui/HXApplicationModeController.h"
#include "ui/HXLoginItem.h"
#include "ui/menus/HXMenuController.h"
#include "ui/shell/HXDesktopShell.h"

#include <QApplication>
#include <QMenu>

namespace {

const QString kPreferencesFrame = QStringLiteral("Preferences Frame");
constexpr std::string_view kShowPreferencesAction = "showPreferencesWithFrame";

} // namespace

HXTrackerInterface::HXTrackerInterface(HXMainController& controller, HXLiveReportWindow& liveReport,
                                       HXDesktopPresence* presence, HXDesktopShell& shell, QObject* parent)
    : QObject(parent), m_controller(controller), m_shell(shell),
      m_picture(std::make_unique<HXLiveReportPicture>(liveReport)),
      m_windows(std::make_unique<HXTrackerWindows>(shell, controller.services().defaults, liveReport)) {
    const HXEngineServices& services = controller.services();
    m_mode = std::make_unique<HXApplicationModeController>(
        HXApplicationModeController::Services{services.defaults, services.scheduler, services.ui,
                                              controller.hibernation(), presence},
        *m_windows, *m_picture);
    m_mode->setMainMenuPopulator([this](QMenu& menu) { m_shell.menus().populateMainMenu(&menu); });
    m_shell.setLiveReportWindow(m_windows.get());
    connect(&controller, &HXMainController::liveReportNeedsUpdate, m_windows.get(),
            &HXTrackerWindows::liveReportChanged);
}

HXTrackerInterface::~HXTrackerInterface() {
    m_controller.services().scheduler.cancelPerforms(this, kShowPreferencesAction);
}

void HXTrackerInterface::setPreferencesOpener(std::function<QWidget*(const std::optional<QRect>&)> open) {
    m_openPreferences = std::move(open);
    m_shell.setPreferencesOpener([this] { showPreferences(); });
}

void HXTrackerInterface::showPreferences(const std::optional<QRect>& frame) {
    if (!m_openPreferences)
        return;
    m_mode->hideStatusItemPanel();
    m_windows->setPreferencesWindow(m_openPreferences(frame));
}

void HXTrackerInterface::savePreferencesFrame() {
    // Quitting closes every window before the last save: the frame is taken while it is still open. It
    // is the content's, which reads back as it was set whatever the window manager's frame adds.
    if (const QWidget* window = m_windows->preferencesWindow(); window && window->isVisible())
        m_controller.services().defaults.setString(kPreferencesFrame, HXStringFromFrame(window->geometry()));
}

void HXTrackerInterface::setHibernationHotKey(HXHibernationHotKey* hotKey) {
    m_hibernationHotKey = hotKey;
    m_shell.menus().setHibernationHotKey(hotKey);
}

bool HXTrackerInterface::registerHibernationHotKey() {
    return !m_hibernationHotKey || m_hibernationHotKey->registerAtLaunch();
}

void HXTrackerInterface::chooseApplicationMode() {
    m_mode->checkStatusItem();
    // The preferences were open when the program last ended: they open again where they were, once.
    HXUserDefaults& defaults = m_controller.services().defaults;
    if (!defaults.objectForKey(kPreferencesFrame).isString())
        return;
    const std::optional<QRect> frame = HXFrameFromString(defaults.stringForKey(kPreferencesFrame));
    defaults.removeObject(kPreferencesFrame);
    m_controller.services().scheduler.performAfterDelay(this, kShowPreferencesAction, 0,
                                                        [this, frame] { showPreferences(frame); });
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

void HXTrackerInterface::saveOrganizerDividerPosition() {
    m_shell.saveOrganizerDividerPosition();
}

void HXTrackerInterface::terminate() {
    if (!m_terminationCheck || m_terminationCheck()) {
        savePreferencesFrame();
        QApplication::quit();
    }
}

void HXTrackerInterface::reopen() {
    m_mode->reopen();
}
