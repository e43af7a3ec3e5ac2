#include "engine/HXLifecycle.h"

#include "engine/HXLifecyclePort.h"
#include "engine/HXMainController.h"
#include "engine/HXRegisteredDefaults.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXLog.h"
#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"
#include "platform/HXInputMonitor.h"
#include "platform/HXUserPresenceMonitor.h"

namespace {

constexpr std::string_view kCompleteUISetupAction = "completeUISetup";

} // namespace

HXLifecycle::HXLifecycle(HXMainController& controller, HXLifecyclePort& port, HXInputMonitor* inputMonitor,
                         HXUserPresenceMonitor* presenceMonitor, QObject* parent)
    : QObject(parent), m_controller(controller), m_port(port), m_inputMonitor(inputMonitor),
      m_presenceMonitor(presenceMonitor) {}

HXLifecycle::~HXLifecycle() {
    m_controller.services().scheduler.cancelPerforms(this, kCompleteUISetupAction);
}

void HXLifecycle::applicationWillFinishLaunching() {
    HXUserDefaults& defaults = m_controller.services().defaults;
    HXRegisterDefaults(defaults);
    m_port.chooseApplicationMode();
    m_automaticallyEnabledLoginItem =
        m_port.isStatusItemMode() &&
        defaults.boolForKey(HXDefaultsKeys::StatusItemTogglesLoginItemAutomatically);
    if (m_automaticallyEnabledLoginItem)
        m_port.addLoginItem();
}

void HXLifecycle::applicationDidFinishLaunching() {
    const HXEngineServices& services = m_controller.services();
    HXHibernation& hibernation = m_controller.hibernation();
    m_controller.restoreSettings();
    hibernation.setHibernationInterval(
        static_cast<int>(services.defaults.integerForKey(HXDefaultsKeys::HibernationInterval)));

    m_inputMonitorInstalled =
        m_inputMonitor && m_inputMonitor->install([&hibernation] { hibernation.deferHibernation(); });
    if (m_inputMonitorInstalled)
        hibernation.deferHibernation();
    else
        HXSystemLog(QStringLiteral("cannot install event monitor"));

    if (m_presenceMonitor) {
        m_presenceMonitor->start(
            HXUserPresenceMonitor::Handlers{[&hibernation](const QString& reason) {
                                                HXDebugLog(QStringLiteral("user leaves: %1").arg(reason));
                                                hibernation.userLeaves();
                                            },
                                            [&hibernation](const QString& reason) {
                                                HXDebugLog(QStringLiteral("user returns: %1").arg(reason));
                                                hibernation.userReturns();
                                            }},
            !services.defaults.boolForKey(u"Ignore Screensaver"));
    }

    tellAboutUnreadableSettings();
    m_controller.configurationStore().load();
    hibernation.restoreAtLaunch();
    m_controller.setOverallTimes(0, 0);
    m_port.setUpOrganizer();
    m_controller.setSortColumn(static_cast<int>(services.defaults.integerForKey(HXDefaultsKeys::Sort)));
    if (!m_port.registerHibernationHotKey())
        HXDebugLog(QStringLiteral("cannot register the hibernation hot key"));
    services.scheduler.performAfterDelay(this, kCompleteUISetupAction, 0, [this] { completeUISetup(); });
}

void HXLifecycle::tellAboutUnreadableSettings() {
    const HXEngineServices& services = m_controller.services();
    const std::optional<HXUserDefaults::Unreadable>& unreadable = services.defaults.unreadableFile();
    if (!unreadable)
        return;
    const QString where = unreadable->keptAs.isEmpty()
                              ? HXLocalized("The unreadable file could not be moved aside:") +
                                    QStringLiteral("\n\n") + services.defaults.path()
                              : HXLocalized("The unreadable file was kept unchanged as:") +
                                    QStringLiteral("\n\n") + unreadable->keptAs;
    services.ui.bringToFront();
    services.ui.runAlert(HXAlert{QString(),
                                 HXLocalized("Your Settings Could Not Be Read"),
                                 HXLocalized("Qualdern starts with its default settings.") + u' ' + where +
                                     QStringLiteral("\n\n(") + unreadable->reason + u')',
                                 {HXLocalized("OK")}});
}

void HXLifecycle::completeUISetup() {
    m_port.completeUserInterface();
    m_port.doAutoTasksIfNecessary();
    if (!m_port.isStatusItemMode())
        m_port.openDockModeWindows();
    m_controller.configurationStore().saveConfiguration({.write = false, .scheduleNextSave = true});
    m_port.warnAboutHiddenLoginItem();
}

void HXLifecycle::openFiles(const QStringList& paths) {
    QStringList csv;
    for (const QString& path : paths) {
        if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
            csv.append(path);
    }
    if (!csv.isEmpty())
        m_port.showReportSnapshots(csv);
}

void HXLifecycle::quitDeliberately(bool fromMenuItemWithTagOne) {
    HXUserDefaults& defaults = m_controller.services().defaults;
    HXUserInterfacePort& ui = m_controller.services().ui;
    if (!defaults.boolForKey(u"Quit Without Confirmation") && !fromMenuItemWithTagOne) {
        ui.bringToFront();
        const int answer = ui.runAlert(HXAlert{
            HXLocalized("Quit Qualdern"),
            HXLocalized("Are you sure you want Qualdern to stop tracking your activities and quit now?"),
            QString(),
            {HXLocalized("Quit"), HXLocalized("Quit and don't ask again"), HXLocalized("Cancel")}});
        if (answer != 0 && answer != 1)
            return;
        if (answer == 1)
            defaults.setBool(u"Quit Without Confirmation", true);
    }
    if (m_automaticallyEnabledLoginItem)
        m_port.removeLoginItem();
    m_port.terminate();
}

bool HXLifecycle::applicationShouldTerminate() {
    const HXEngineServices& services = m_controller.services();
    if (services.adHocTimer && services.adHocTimer->active()) {
        services.ui.bringToFront();
        services.adHocTimer->showWindow();
        services.ui.beep();
        return false;
    }
    shutdown();
    return true;
}

void HXLifecycle::shutdown(const std::function<void()>& afterSaving) {
    if (m_hasShutDown)
        return;
    m_hasShutDown = true;
    // The data first: letting go of the display and the buses may wait on a server that stopped
    // answering, and the program may not get the chance to finish that.
    m_port.saveOrganizerDividerPosition();
    m_port.savePreferencesFrame();
    m_controller.configurationStore().saveConfiguration({.write = true, .userDefaultsFallback = true});
    m_controller.services().defaults.synchronize();
    if (afterSaving)
        afterSaving();
    m_controller.hibernation().disableDisplaySleep(false);
    if (m_presenceMonitor)
        m_presenceMonitor->stop();
    if (m_inputMonitor && m_inputMonitorInstalled)
        m_inputMonitor->remove();
}
