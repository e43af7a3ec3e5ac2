#pragma once

#include <QString>

class HXAdHocTimerPort;
class HXClock;
class HXDisplaySleepInhibitor;
class HXScheduler;
class HXScreenCapture;
class HXUserDefaults;
class HXUserInterfacePort;
class HXWindowServer;
class HXWorkspace;

// Everything the engine needs from outside: settings, time, the window system and the user interface.
// The program passes the real backends; tests pass fakes and virtual time.
struct HXEngineServices {
    HXUserDefaults& defaults;
    HXScheduler& scheduler;
    HXClock& clock;
    HXWorkspace& workspace;
    HXWindowServer& windowServer;
    HXUserInterfacePort& ui;
    HXScreenCapture* screenCapture = nullptr;
    HXAdHocTimerPort* adHocTimer = nullptr;
    HXDisplaySleepInhibitor* displaySleepInhibitor = nullptr;
    // $XDG_DATA_HOME/Qualdern for the program.
    QString libraryFolder;
};
