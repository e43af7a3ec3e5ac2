#pragma once

#include "engine/HXMainController.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXUserDefaults.h"
#include "foundation/HXVirtualTime.h"
#include "platform/fake/HXFakeScreenCapture.h"
#include "platform/fake/HXFakeWindowSystem.h"
#include "support/TestSupport.h"

#include <deque>
#include <memory>
#include <vector>

// Answers alerts from a queue (the first button when empty) and records what was asked.
class FakeUserInterface final : public HXUserInterfacePort {
public:
    void bringToFront() override { ++fronts; }
    void beep() override { ++beeps; }
    int runAlert(const HXAlert& alert) override;
    std::optional<QString> runOpenPanel(const HXOpenPanelRequest& request) override;

    std::deque<int> answers;
    std::vector<HXAlert> alerts;
    std::optional<QString> openPanelAnswer;
    std::vector<HXOpenPanelRequest> openPanels;
    int beeps = 0;
    int fronts = 0;
};

HXFakeWindow fakeWindow(std::uint64_t number, const QString& title);
HXFakeApplication fakeApplication(std::int64_t pid, const QString& identifier, const QString& name,
                                  std::vector<HXFakeWindow> windows = {},
                                  HXActivationPolicy policy = HXActivationPolicy::Regular);
QString desktopPath(const QString& identifier);

// A controller on the fake window system and virtual time, with the registered defaults and a private
// library folder.
class EngineHarness {
public:
    explicit EngineHarness(double start = 1700000000.0);
    ~EngineHarness();

    // The scheduled tick at the given time.
    void tickAt(double t);
    void tickAfter(double seconds) { tickAt(time.now() + seconds); }

    // Created empty when missing, as the first tick would.
    HXDictionary& configuration();
    HXDictionaryRef application(const QString& key);
    HXDictionaryRef window(const QString& applicationKey, const QString& title);
    HXArrayRef pools();
    HXDictionaryRef addPool(const QString& name, std::vector<HXDictionaryRef> items);
    static HXDictionaryRef poolItem(const QString& name, const QString& applicationID,
                                    std::vector<HXDictionaryRef> windowItems = {});
    static HXDictionaryRef windowPoolItem(const QString& title, const QString& applicationID);

    ScratchFolder scratch;
    HXVirtualTime time;
    std::unique_ptr<HXUserDefaults> defaults;
    HXFakeWindowSystem windows;
    FakeUserInterface ui;
    HXFakeScreenCapture capture;
    std::unique_ptr<HXMainController> controller;
};
