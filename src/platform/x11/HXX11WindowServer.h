#pragma once

#include "platform/HXWindowServer.h"

#include <memory>

class HXX11Display;
struct HXX11ClientWindow;

// The window list from the EWMH client list: desktop windows left out, the current desktop's windows
// (and sticky ones) on screen unless minimized, all others only in the list of all windows.
class HXX11WindowServer final : public HXWindowServer {
public:
    explicit HXX11WindowServer(std::shared_ptr<HXX11Display> display);

    std::optional<std::vector<HXWindowDescription>> onScreenWindows() override;
    std::optional<std::vector<HXWindowDescription>> allWindows() override;
    bool isOrderedIn(std::uint64_t windowNumber) override;

private:
    static HXWindowDescription describe(const HXX11ClientWindow& window);
    std::optional<std::vector<HXWindowDescription>> windows(bool currentDesktopOnly);

    std::shared_ptr<HXX11Display> m_display;
};
