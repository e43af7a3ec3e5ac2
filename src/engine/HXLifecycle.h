#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class HXInputMonitor;
class HXLifecyclePort;
class HXMainController;
class HXUserPresenceMonitor;

// Start-up in its three steps and the way out: the registered defaults, input and presence monitoring,
// the configuration loaded (and a deep hibernation resumed) before the first tick, the automatic saves
// started last; the quit command with its confirmation, and a shutdown that always saves.
class HXLifecycle : public QObject {
    Q_OBJECT

public:
    HXLifecycle(HXMainController& controller, HXLifecyclePort& port, HXInputMonitor* inputMonitor,
                HXUserPresenceMonitor* presenceMonitor, QObject* parent = nullptr);
    ~HXLifecycle() override;

    void applicationWillFinishLaunching();
    void applicationDidFinishLaunching();
    void completeUISetup();
    bool automaticallyEnabledLoginItem() const { return m_automaticallyEnabledLoginItem; }

    // Files the desktop asks to open: CSV files become report snapshots, others are ignored.
    void openFiles(const QStringList& paths);

    // The Quit command; a menu item with tag 1 never asks.
    void quitDeliberately(bool fromMenuItemWithTagOne);
    // Asked before the application ends: refused while an ad hoc timer runs; otherwise shuts down.
    bool applicationShouldTerminate();
    // Saves everything and lets go of the system: used on every way out, also on signals and logout.
    // afterSaving runs once the configuration and the settings are written, before the rest.
    void shutdown(const std::function<void()>& afterSaving = {});
    bool hasShutDown() const { return m_hasShutDown; }

private:
    void tellAboutUnreadableSettings();

    HXMainController& m_controller;
    HXLifecyclePort& m_port;
    HXInputMonitor* m_inputMonitor;
    HXUserPresenceMonitor* m_presenceMonitor;
    bool m_automaticallyEnabledLoginItem = false;
    bool m_inputMonitorInstalled = false;
    bool m_hasShutDown = false;
};
