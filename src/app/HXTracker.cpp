#include "app/HXTracker.h"

#include "adhoc/HXAdHocTimer.h"
#include "adhoc/widgets/HXAdHocTimerWindow.h"
#include "announce/DQXAnnouncements.h"
#include "announce/DQXAnnouncer.h"
#include "app/HXApplication.h"
#include "app/HXDesktopSession.h"
#include "app/HXProgramEnd.h"
#include "app/HXReportsBridge.h"
#include "app/HXSingleInstance.h"
#include "app/HXTerminationSignals.h"
#include "app/HXTrackerDesktopPresence.h"
#include "app/HXTrackerInterface.h"
#include "app/HXTrackerPreferences.h"
#include "engine/HXFolderPaths.h"
#include "engine/HXLifecycle.h"
#include "engine/HXMainController.h"
#include "foundation/HXClock.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXLog.h"
#include "foundation/HXQtScheduler.h"
#include "foundation/HXUserDefaults.h"
#include "hotkeys/HXHibernationHotKey.h"
#include "hotkeys/HXHotKey.h"
#include "hotkeys/HXHotKeyDispatcher.h"
#include "hotkeys/HXHotKeyReferencePool.h"
#include "hotkeys/widgets/HXQtKeyEvents.h"
#include "platform/HXUserPresenceMonitorGroup.h"
#include "platform/dbus/HXDBusDisplaySleepInhibitor.h"
#include "platform/dbus/HXDBusDistributedNotificationCenter.h"
#include "platform/dbus/HXDBusUserPresenceMonitor.h"
#include "platform/x11/HXQtDisplayConnection.h"
#include "platform/x11/HXQtScreenCapture.h"
#include "platform/x11/HXX11ApplicationControl.h"
#include "platform/x11/HXX11DisplayPowerMonitor.h"
#include "platform/x11/HXX11HotKeyRegistrar.h"
#include "platform/x11/HXX11KeyRepeat.h"
#include "platform/x11/HXX11ScreenSaverSuspender.h"
#include "platform/x11/HXXkbKeyboardLayout.h"
#include "reports/HXScheduledTasks.h"
#include "reports/widgets/HXLiveReportWindow.h"
#include "reports/widgets/HXReportSnapshotManager.h"
#include "reports/widgets/HXReportWindow.h"
#include "ui/HXApplicationModeController.h"
#include "ui/HXWidgetUserInterface.h"
#include "ui/organizer/HXItemIcons.h"
#include "ui/preferences/HXPreferencesWindow.h"
#include "ui/shell/HXDesktopShell.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QThread>

namespace {

// Stepping a report with the button held repeats as keys do: the X server's delay and interval where the
// program's windows are on X11, the usual values elsewhere.
HXKeyRepeatTiming serverKeyRepeat() {
    HXKeyRepeatTiming timing;
    if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (const std::optional<HXX11KeyRepeat> repeat = HXX11KeyRepeatOf(x11->connection()))
            timing = HXKeyRepeatTiming{repeat->delay, repeat->interval};
    }
    return timing;
}

} // namespace

struct HXTracker::Parts {
    HXQtScheduler scheduler;
    HXSystemClock clock;
    std::unique_ptr<HXUserDefaults> defaults;
    std::unique_ptr<HXDBusDistributedNotificationCenter> notificationCenter;
    // The program's icon for other programs of the user (the announcer of the icon announcements).
    std::unique_ptr<DQXAnnouncer> announcer;
    std::unique_ptr<HXSingleInstance> singleInstance;
    std::unique_ptr<HXDesktopSession> session;
    HXQtScreenCapture screenCapture;
    std::unique_ptr<HXX11ScreenSaverSuspender> screenSaverSuspender;
    std::unique_ptr<HXDBusDisplaySleepInhibitor> inhibitor;
    std::unique_ptr<HXDBusUserPresenceMonitor> presenceMonitor;
    std::unique_ptr<HXX11DisplayPowerMonitor> displayPowerMonitor;
    std::unique_ptr<HXUserPresenceMonitorGroup> presenceMonitors;
    HXWidgetUserInterface ui;
    std::unique_ptr<HXX11HotKeyRegistrar> hotKeyRegistrar;
    std::optional<HXHotKeyContext> hotKeyContext;
    std::unique_ptr<HXAdHocTimer> adHocTimer;
    std::unique_ptr<HXAdHocTimerWindow> adHocTimerWindow;
    std::unique_ptr<HXMainController> controller;
    std::unique_ptr<HXHibernationHotKey> hibernationHotKey;
    std::unique_ptr<HXHotKeyDispatcher> hotKeyDispatcher;
    std::unique_ptr<HXReportsBridge> reportsBridge;
    std::unique_ptr<HXScheduledTasks> scheduledTasks;
    std::unique_ptr<HXLiveReportWindow> liveReport;
    std::unique_ptr<HXReportSnapshotManager> snapshots;
    std::unique_ptr<HXTrackerDesktopPresence> desktopPresence;
    HXX11ApplicationControl applications;
    std::unique_ptr<HXDesktopShell> shell;
    std::unique_ptr<HXTrackerInterface> tray;
    std::unique_ptr<HXLifecycle> lifecycle;
    std::unique_ptr<HXTrackerPreferences> preferences;
    std::unique_ptr<HXTerminationSignals> terminationSignals;
};

HXTracker::HXTracker(HXApplication& application, QObject* parent)
    : QObject(parent), m_application(application), m_parts(std::make_unique<Parts>()) {}

HXTracker::~HXTracker() {
    m_application.setKeyPressHandler(nullptr);
    HXProgramEnd::setActionAtExit(nullptr);
    if (m_parts->lifecycle)
        m_parts->lifecycle->shutdown();
    // Listeners show the normal icon again once the program is gone.
    if (m_parts->announcer)
        DQXAnnounceImage(QImage());
}

int HXTracker::exec() {
    m_inMainLoop = true;
    const int status = QApplication::exec();
    m_inMainLoop = false;
    return status;
}

void HXTracker::terminate(int signalNumber) {
    HXSystemLog(QStringLiteral("signal %1: saving and quitting").arg(signalNumber));
    if (m_parts->lifecycle)
        m_parts->lifecycle->shutdown([] { HXProgramEnd::endWithin(kEndGrace); });
    // Only the main loop itself can simply stop: an alert open (at start-up or later) runs a loop of
    // its own, and what would follow its answer must not run any more.
    // Not quit(): that asks every window to close first, and the ad hoc timer's window stays while its
    // timer runs.
    if (m_inMainLoop && QThread::currentThread()->loopLevel() == 1)
        QCoreApplication::exit(0);
    else
        HXProgramEnd::endNow();
}

std::optional<int> HXTracker::start(const QStringList& files) {
    Parts& p = *m_parts;
    const QString library = HXLibraryFolder();
    p.singleInstance = std::make_unique<HXSingleInstance>(library);
    switch (p.singleInstance->acquire()) {
    case HXSingleInstance::Acquisition::Acquired:
        break;
    case HXSingleInstance::Acquisition::AnotherRuns:
        // Another tracker runs in this session: it takes the files, or without any comes to the front.
        if (!files.isEmpty() && !HXSingleInstance::handOver(files))
            HXSystemLog(QStringLiteral("cannot hand files over to the running tracker"));
        if (files.isEmpty() && !HXSingleInstance::reopenRunning())
            HXSystemLog(QStringLiteral("cannot reach the running tracker"));
        return 0;
    case HXSingleInstance::Acquisition::Failed:
        HXSystemLog(QStringLiteral("cannot create the lock <%1>, so no tracker can run: %2")
                        .arg(p.singleInstance->lockPath(), p.singleInstance->errorString()));
        return 1;
    }
    // From here on every termination signal ends the program, saving what there is, whatever runs
    // (an alert of the start-up included).
    p.terminationSignals = std::make_unique<HXTerminationSignals>();
    connect(p.terminationSignals.get(), &HXTerminationSignals::terminationRequested, this,
            &HXTracker::terminate);
    // A main thread stuck on a frozen X server (Qt paints and waits for it without a time-out) cannot
    // take the signal: its X connection is cut, Qt's exit for a broken connection follows, and the
    // action at exit below saves.
    if (std::function<void()> cut = HXQtDisplayConnectionCutter())
        p.terminationSignals->setUnansweredAction(kSignalPatience, std::move(cut));

    p.session = std::make_unique<HXDesktopSession>();
    QString reason;
    if (!p.session->open(&reason)) {
        HXSystemLog(QStringLiteral("cannot track windows: %1").arg(reason));
        QMessageBox::critical(nullptr, QStringLiteral("Qualdern"),
                              HXLocalized("Qualdern cannot see your windows, so it cannot track anything.") +
                                  QStringLiteral("\n\n") + reason);
        return 1;
    }

    p.defaults = std::make_unique<HXUserDefaults>(HXUserDefaults::standardPath(), &p.scheduler);
    HXLogging::setDebugEnabled(p.defaults->boolForKey(u"HXDebugLog"));
    connect(p.defaults.get(), &HXUserDefaults::changed, this, [&p](const QString& key) {
        if (key == QStringLiteral("HXDebugLog"))
            HXLogging::setDebugEnabled(p.defaults->boolForKey(u"HXDebugLog"));
    });
    p.session->setAdviceHandler([](const QString& advice) {
        auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Qualdern"), advice);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
    p.notificationCenter = std::make_unique<HXDBusDistributedNotificationCenter>();
    p.announcer = std::make_unique<DQXAnnouncer>(*p.notificationCenter, *p.defaults);
    p.screenSaverSuspender = std::make_unique<HXX11ScreenSaverSuspender>();
    p.inhibitor = std::make_unique<HXDBusDisplaySleepInhibitor>(p.screenSaverSuspender.get());
    p.presenceMonitor = std::make_unique<HXDBusUserPresenceMonitor>();
    p.displayPowerMonitor = std::make_unique<HXX11DisplayPowerMonitor>(p.scheduler);
    p.presenceMonitors = std::make_unique<HXUserPresenceMonitorGroup>(
        std::vector<HXUserPresenceMonitor*>{p.presenceMonitor.get(), p.displayPowerMonitor.get()});

    p.adHocTimer =
        std::make_unique<HXAdHocTimer>(HXAdHocTimer::Services{p.clock, p.scheduler, *p.defaults, p.ui});
    p.adHocTimerWindow = std::make_unique<HXAdHocTimerWindow>(*p.adHocTimer);
    p.controller = std::make_unique<HXMainController>(
        HXEngineServices{*p.defaults, p.scheduler, p.clock, p.session->workspace(), p.session->windowServer(),
                         p.ui, &p.screenCapture, p.adHocTimer.get(), p.inhibitor.get(), library});

    // Hot keys: X11 grabs, the server's layout for key names, and the hibernation hot key handling them.
    // Without an X server (or its keyboard extension) there are none, and the stored one is kept.
    p.hotKeyRegistrar = std::make_unique<HXX11HotKeyRegistrar>();
    const bool hotKeysAvailable = p.hotKeyRegistrar->isConnected() && p.hotKeyRegistrar->keyboardLayout();
    p.hotKeyContext.emplace(HXHotKeyContext{*p.defaults, hotKeysAvailable ? p.hotKeyRegistrar.get() : nullptr,
                                            p.hotKeyRegistrar->keyboardLayout(),
                                            HXHotKeyReferencePool::defaultPool()});
    p.hibernationHotKey = std::make_unique<HXHibernationHotKey>(
        *p.hotKeyContext, [&p] { p.controller->hibernation().toggleHibernation(); });
    p.hibernationHotKey->setControlFontSize(QApplication::font().pointSizeF());
    p.hotKeyDispatcher = std::make_unique<HXHotKeyDispatcher>(
        HXHotKeyDispatcher::Services{*p.defaults, p.scheduler, p.clock, p.hotKeyRegistrar.get()});
    p.hotKeyDispatcher->setHandler(p.hibernationHotKey.get());
    p.hotKeyRegistrar->setEventHandler([&p](const HXKeyboardEvent& event) {
        p.hotKeyDispatcher->sendEvent(std::make_shared<const HXKeyboardEvent>(event));
    });
    m_application.setKeyPressHandler([&p](const QKeyEvent& event) {
        // The sides of the modifier keys are asked of the server only when they matter.
        const std::uint64_t sides =
            HXHotKey::requireExactModifierMatches(*p.defaults) ? p.hotKeyRegistrar->heldModifierSides() : 0;
        return p.hotKeyDispatcher->sendEvent(std::make_shared<const HXKeyboardEvent>(
            HXKeyboardEventFromQKeyEvent(event, p.hotKeyContext->layout, sides)));
    });
    p.reportsBridge = std::make_unique<HXReportsBridge>(*p.controller);
    p.scheduledTasks =
        std::make_unique<HXScheduledTasks>(*p.defaults, p.scheduler, p.clock, *p.reportsBridge);
    p.liveReport = std::make_unique<HXLiveReportWindow>(*p.reportsBridge, *p.defaults, p.scheduler, p.clock);
    const HXKeyRepeatTiming keyRepeat = serverKeyRepeat();
    p.liveReport->setKeyRepeatTiming(keyRepeat);
    p.snapshots = std::make_unique<HXReportSnapshotManager>(*p.defaults, p.scheduler, p.clock);
    connect(p.snapshots.get(), &HXReportSnapshotManager::windowCreated, this,
            [keyRepeat](HXReportWindow* window) { window->view().setKeyRepeatTiming(keyRepeat); });
    p.desktopPresence = std::make_unique<HXTrackerDesktopPresence>();
    p.shell = std::make_unique<HXDesktopShell>(HXDesktopShell::Services{
        *p.controller, *p.reportsBridge, &p.applications, nullptr,
        [&p](bool withoutConfirmation) { p.lifecycle->quitDeliberately(withoutConfirmation); },
        [&p](const QStringList& csv) {
            for (const QString& file : csv)
                p.snapshots->showReportSnapshotFromCSVFile(file);
        }});
    // The timer's pool selector shows the pools as the organizer does.
    p.adHocTimerWindow->setPoolIcons([&p](const HXDictionary& pool) {
        return p.shell->itemIcons().cached16IconForActiveItem(pool, true, false);
    });
    p.tray =
        std::make_unique<HXTrackerInterface>(*p.controller, *p.liveReport, p.desktopPresence.get(), *p.shell);
    p.lifecycle = std::make_unique<HXLifecycle>(*p.controller, *p.tray, &p.session->inputMonitor(),
                                                p.presenceMonitors.get());
    p.tray->applicationMode().setImageAnnouncer(
        [](const QImage* image) { DQXAnnounceImage(image ? *image : QImage()); });
    p.tray->setAutoTasks([&p] { p.scheduledTasks->doAutoTasksIfNecessary(true); });
    p.tray->setSnapshotOpener([&p](const QStringList& csv) {
        for (const QString& file : csv)
            p.snapshots->showReportSnapshotFromCSVFile(file);
    });
    p.tray->setTerminationCheck([&p] { return p.lifecycle->applicationShouldTerminate(); });
    p.tray->setHibernationHotKey(p.hibernationHotKey.get());
    p.preferences = std::make_unique<HXTrackerPreferences>(
        HXTrackerPreferences::Services{*p.controller, p.tray->applicationMode(), *p.scheduledTasks,
                                       *p.lifecycle, p.clock, p.hibernationHotKey.get()});
    p.tray->setPreferencesOpener([&p](const std::optional<QRect>& frame) -> QWidget* {
        p.preferences->showPreferencesWindow(frame);
        return p.preferences->window();
    });
    p.singleInstance->setFileHandler([&p](const QStringList& handed) { p.lifecycle->openFiles(handed); });
    p.singleInstance->setReopenHandler([&p] { p.tray->reopen(); });

    m_application.setActivityHandler([&p] { p.controller->hibernation().deferHibernation(); });
    // Every way out saves: the quit command, the end of the session, termination signals, and an exit
    // forced on the program from within, as Qt's when the X server goes away.
    connect(&m_application, &QGuiApplication::commitDataRequest, this, [&p] { p.lifecycle->shutdown(); });
    connect(&m_application, &QCoreApplication::aboutToQuit, this, [&p] { p.lifecycle->shutdown(); });
    HXProgramEnd::setActionAtExit([&p] {
        const bool terminating = HXTerminationSignals::requested();
        if (!p.lifecycle->hasShutDown()) {
            if (terminating)
                HXSystemLog(
                    QStringLiteral("termination while the X server does not answer: saving and quitting"));
            else if (HXQtDisplayConnectionBroke())
                HXSystemLog(QStringLiteral("the connection to the X server broke: saving before the end"));
            else
                HXSystemLog(QStringLiteral("the program ends without a shutdown: saving first"));
            p.lifecycle->shutdown();
        }
        // Asked to end, the program ends as asked, not with the status of the connection it cut.
        if (terminating)
            HXProgramEnd::endNow();
    });

    p.lifecycle->applicationWillFinishLaunching();
    p.lifecycle->applicationDidFinishLaunching();
    p.lifecycle->openFiles(files);
    return std::nullopt;
}
