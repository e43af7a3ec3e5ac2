#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// One top-level window as the window server describes it.
struct HXWindowDescription {
    std::optional<std::int64_t> ownerProcessIdentifier;
    // The title; absent for untitled windows.
    std::optional<QString> name;
    int layer = 0;
    std::uint64_t number = 0;
};

// The window list: titled top-level windows front to back.
class HXWindowServer {
public:
    virtual ~HXWindowServer() = default;

    // Windows on the current desktop, desktop elements excluded; nothing when no list can be had.
    virtual std::optional<std::vector<HXWindowDescription>> onScreenWindows() = 0;
    // Every window, also those of other desktops and minimized ones, desktop elements excluded.
    virtual std::optional<std::vector<HXWindowDescription>> allWindows() = 0;
    // Whether the window is ordered in (not minimized or withdrawn), asked for other desktops' windows.
    virtual bool isOrderedIn(std::uint64_t windowNumber) = 0;

    // Window levels: floating (above) windows and pop-up menus.
    static constexpr int kNormalLevel = 0;
    static constexpr int kFloatingLevel = 3;
    static constexpr int kDockLevel = 20;
    static constexpr int kPopUpMenuLevel = 101;
};
