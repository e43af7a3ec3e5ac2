#pragma once

#include "engine/HXLifecycle.h"
#include "engine/HXLifecyclePort.h"
#include "engine/HXMainController.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXUserDefaults.h"
#include "foundation/HXVirtualTime.h"
#include "platform/fake/HXFakeDisplaySleepInhibitor.h"
#include "platform/fake/HXFakeInputMonitor.h"
#include "platform/fake/HXFakeScreenCapture.h"
#include "platform/fake/HXFakeUserPresenceMonitor.h"
#include "platform/fake/HXFakeWindowSystem.h"
#include "support/TestSupport.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// Answers alerts from a queue (the first button when empty) and records what was asked.
class FakeUserInterface final : public HXUserInterfacePort {
public:
    void bringToFront() override { ++fronts; }
    void beep() override { ++beeps; }
    int runAlert(const HXAlert& alert) override;
    std::optional<QString> runOpenPanel(const HXOpenPanelRequest& request) override;
    std::optional<QString> runFolderPanel(const HXFolderPanelRequest& request) override;

    std::deque<int> answers;
    std::vector<HXAlert> alerts;
    std::optional<QString> openPanelAnswer;
    std::vector<HXOpenPanelRequest> openPanels;
    std::optional<QString> folderPanelAnswer;
    std::vector<HXFolderPanelRequest> folderPanels;
    int beeps = 0;
    int fronts = 0;
};

// The ad hoc timer's states as the engine sees them: idle, running, paused.
class FakeAdHocTimer final : public HXAdHocTimerPort {
public:
    bool active() const override { return m_active; }
    bool retroactive() const override { return m_retroactive; }
    void setRetroactive(bool retroactive) override { m_retroactive = retroactive; }
    bool resumeAtTimestamp(double timestamp) override;
    bool startAtTimestamp(double timestamp, const std::optional<QString>& name, const HXDictionaryRef& pool,
                          HXAdHocTimerDelegate* delegate) override;
    bool stop() override;
    void showWindow() override { ++windowShown; }
    HXArrayRef eventStream() const override { return nullptr; }
    HXDictionaryRef pool() const override { return nullptr; }
    QString name() const override { return QString(); }

    bool running = false;
    std::vector<double> starts;
    std::vector<double> resumes;
    int stops = 0;
    int windowShown = 0;

private:
    bool m_active = false;
    bool m_retroactive = false;
};

// Records the launch and quit steps that reach the user interface.
class FakeLifecyclePort final : public HXLifecyclePort {
public:
    void chooseApplicationMode() override { steps.append(QStringLiteral("mode")); }
    bool isStatusItemMode() const override { return statusItemMode; }
    void addLoginItem() override { steps.append(QStringLiteral("add login item")); }
    void removeLoginItem() override { steps.append(QStringLiteral("remove login item")); }
    void setUpOrganizer() override { steps.append(QStringLiteral("organizer")); }
    bool registerHibernationHotKey() override {
        steps.append(QStringLiteral("hot key"));
        return true;
    }
    void completeUserInterface() override { steps.append(QStringLiteral("interface")); }
    void doAutoTasksIfNecessary() override { steps.append(QStringLiteral("auto tasks")); }
    void openDockModeWindows() override { steps.append(QStringLiteral("windows")); }
    void showReportSnapshots(const QStringList& files) override { snapshots += files; }
    void terminate() override { steps.append(QStringLiteral("terminate")); }

    bool statusItemMode = false;
    QStringList steps;
    QStringList snapshots;
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
    // With whatever prepareSettings puts at the settings' path before they are read.
    EngineHarness(double start, const std::function<void(const QString& settingsPath)>& prepareSettings);
    ~EngineHarness();

    // A new controller and lifecycle that use this timer instead of the fake one.
    void useAdHocTimer(HXAdHocTimerPort* timer);

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
    HXFakeDisplaySleepInhibitor inhibitor;
    FakeAdHocTimer adHocTimer;
    HXFakeInputMonitor inputMonitor;
    HXFakeUserPresenceMonitor presenceMonitor;
    FakeLifecyclePort lifecyclePort;
    std::unique_ptr<HXMainController> controller;
    std::unique_ptr<HXLifecycle> lifecycle;
};
