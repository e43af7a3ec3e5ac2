#pragma once

#include "platform/HXInputMonitor.h"

// Input a test makes happen.
class HXFakeInputMonitor final : public HXInputMonitor {
public:
    void setInstallable(bool installable) { m_installable = installable; }
    bool isInstalled() const { return static_cast<bool>(m_onActivity); }
    // A key press or pointer motion.
    void simulateInput() {
        if (m_onActivity)
            m_onActivity();
    }

    bool install(std::function<void()> onActivity) override {
        if (!m_installable)
            return false;
        m_onActivity = std::move(onActivity);
        return true;
    }
    void remove() override { m_onActivity = nullptr; }

private:
    bool m_installable = true;
    std::function<void()> m_onActivity;
};
