#pragma once

#include "ui/HXAdHocTimerCommands.h"

#include <functional>

class HXMainController;

// The menus' and the organizer's view of the controller's ad hoc timer. Without a timer (headless
// programs and tests) it never runs, and asking it to start is answered with a beep.
class HXControllerAdHocTimer final : public HXAdHocTimerCommands {
public:
    HXControllerAdHocTimer(HXMainController& controller, std::function<void()> beep)
        : m_controller(controller), m_beep(std::move(beep)) {}

    bool isRunning() const override;
    HXDictionaryRef timedPool() const override;
    QString timedName() const override;
    // A running timer only comes forward.
    void startAdHocTimerForItem(const HXDictionaryRef& item) override;

private:
    HXMainController& m_controller;
    std::function<void()> m_beep;
};
