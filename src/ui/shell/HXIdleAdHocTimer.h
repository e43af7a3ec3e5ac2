#pragma once

#include "ui/HXAdHocTimerCommands.h"

#include <functional>

// The ad hoc timer until its window exists: it never runs, and asking it to start is answered with a
// beep.
class HXIdleAdHocTimer final : public HXAdHocTimerCommands {
public:
    explicit HXIdleAdHocTimer(std::function<void()> beep) : m_beep(std::move(beep)) {}

    bool isRunning() const override { return false; }
    HXDictionaryRef timedPool() const override { return nullptr; }
    QString timedName() const override { return {}; }
    void startAdHocTimerForItem(const HXDictionaryRef&) override { m_beep(); }

private:
    std::function<void()> m_beep;
};
