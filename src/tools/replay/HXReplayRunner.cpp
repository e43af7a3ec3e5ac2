#include "tools/replay/HXReplayRunner.h"

#include "engine/HXMainController.h"
#include "engine/HXRegisteredDefaults.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXUserDefaults.h"
#include "foundation/HXVirtualTime.h"

#include <QTemporaryDir>

namespace {

// Nobody is there to answer: the tick asks nothing, so any question gets the first button.
class UnattendedUserInterface final : public HXUserInterfacePort {
public:
    void bringToFront() override {}
    void beep() override {}
    int runAlert(const HXAlert&) override { return 0; }
    std::optional<QString> runOpenPanel(const HXOpenPanelRequest&) override { return std::nullopt; }
};

} // namespace

HXDictionaryRef HXRunReplay(const HXReplayScript& script, const HXDictionaryRef& start) {
    QTemporaryDir library;
    HXVirtualTime time(script.ticks.empty() ? 0.0 : script.ticks.front().at);
    // Settings live in memory only: nothing is ever written.
    HXUserDefaults defaults(QString(), nullptr);
    HXRegisterDefaults(defaults);
    for (const HXDictionary::Entry& e : script.defaults->entries())
        defaults.setObject(e.key, e.value);
    defaults.setInteger(HXDefaultsKeys::ScreenshotsInterval, 0);

    HXFakeWindowSystem windows;
    UnattendedUserInterface ui;
    HXMainController controller(HXEngineServices{defaults, time, time, windows, windows, ui, nullptr, nullptr,
                                                 nullptr, library.path()});
    controller.restoreSettings();
    controller.configurationStore().setConfiguration(start);

    for (const HXReplayTick& tick : script.ticks) {
        time.setNow(tick.at);
        windows.setApplications(tick.applications);
        windows.setFrontProcess(tick.front);
        if (tick.gap)
            controller.setIgnoreLastUpdateDate();
        controller.updateLists(HXTrigger::Schedule);
    }
    HXDictionaryRef result = controller.configuration();
    return result ? result : HXDictionary::create();
}
