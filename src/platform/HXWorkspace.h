#pragma once

#include "platform/HXRunningApplication.h"

#include <optional>
#include <vector>

// The running applications and which of them is in front.
class HXWorkspace {
public:
    virtual ~HXWorkspace() = default;

    // In the workspace's own order.
    virtual std::vector<HXRunningApplication> runningApplications() = 0;
    // The application that owns the active window; nothing when none does.
    virtual std::optional<HXRunningApplication> menuBarOwner() = 0;
};
