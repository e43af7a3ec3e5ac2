#pragma once

#include <QObject>

#include <cstdint>

class HXAdHocTimerDelegate;
class HXAdHocTimerPort;
class HXClock;
class HXDisplaySleepInhibitor;
class HXMainController;
class HXScheduler;
class HXUserDefaults;
class HXUserInterfacePort;

// Stops the counting while nobody is at the computer: after an idle stretch, while the user is away
// (displays or system asleep, session switched, screen saver) and when the user suspends by hand, either
// until the next input or, deeply, until woken explicitly (which survives a restart). Insomnia does the
// opposite: no idle hibernation, and the display is kept awake.
class HXHibernation : public QObject {
    Q_OBJECT

public:
    struct Services {
        HXMainController& controller;
        HXUserDefaults& defaults;
        HXScheduler& scheduler;
        HXClock& clock;
        HXUserInterfacePort& ui;
        HXDisplaySleepInhibitor* inhibitor = nullptr;
        HXAdHocTimerPort* adHocTimer = nullptr;
        HXAdHocTimerDelegate* adHocTimerDelegate = nullptr;
    };

    explicit HXHibernation(const Services& services, QObject* parent = nullptr);
    ~HXHibernation() override;

    bool isHibernating() const { return m_hibernating; }
    double hibernationTimestamp() const { return m_hibernationTimestamp; }
    int userAwayLevel() const { return m_userAwayLevel; }
    bool isInsomniac() const { return m_insomniac; }
    std::uint32_t displaySleepAssertion() const { return m_assertion; }
    int hibernationInterval() const { return m_hibernationInterval; }
    void setHibernationInterval(int seconds) { m_hibernationInterval = seconds; }
    bool isDeeplyHibernating() const;

    // Every input event: wakes up when possible and restarts the idle countdown.
    void deferHibernation();
    void hibernate() { hibernateUntilRevoked(false); }
    void hibernateUntilRevoked(bool deep);
    // The "Suspend Timers" command.
    void toggleHibernation();
    void userLeaves();
    void userReturns();
    void disableDisplaySleep(bool disable);
    // False switches insomnia on, true switches it off.
    void disableInsomnia(bool flag);
    // The status item's toggle; false when insomnia may not be switched on.
    bool toggleInsomnia();

    // Launch: reads the interval, and resumes a deep hibernation stored by an earlier run.
    void restoreAtLaunch();

Q_SIGNALS:
    // The status item view and the organizer outlines take or leave the hibernating look.
    void hibernatingChanged(bool hibernating, bool animate);
    void insomniacChanged(bool insomniac);
    void iconNeedsUpdate();
    void statusItemPanelShouldHide();
    // The preferences' hibernation interval selector: enabled or not, and the tag to select.
    void hibernationIntervalSelectorChanged(bool enabled, int tag);

private:
    void wakeUp();

    Services m_services;
    bool m_hibernating = false;
    double m_hibernationTimestamp = 0;
    int m_userAwayLevel = 0;
    int m_hibernationInterval = 600;
    bool m_insomniac = false;
    std::uint32_t m_assertion = 0;
};
