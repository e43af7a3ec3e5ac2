#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// How an application takes part in the desktop: a regular one has taskbar windows; an accessory one only
// utility or skip-taskbar windows; a background one none.
enum class HXActivationPolicy : int { Regular = 0, Accessory = 1, Prohibited = 2 };

// One running application as the workspace reports it.
struct HXRunningApplication {
    // The desktop-entry ID; empty when none matched.
    QString bundleIdentifier;
    // The desktop entry's file, else the executable; absent when unknown.
    std::optional<QString> bundlePath;
    QString localizedName;
    // Negative when there is no process to ask for windows.
    std::int64_t processIdentifier = -1;
    HXActivationPolicy activationPolicy = HXActivationPolicy::Regular;
};
