#pragma once

#include <functional>

// System-wide input activity (keys, buttons, pointer motion, scrolling), used to detect idleness.
class HXInputMonitor {
public:
    virtual ~HXInputMonitor() = default;

    // Calls onActivity on the main thread for input events; false when it cannot be installed.
    virtual bool install(std::function<void()> onActivity) = 0;
    virtual void remove() = 0;
};
