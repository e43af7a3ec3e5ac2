#pragma once

#include "platform/HXWorkspace.h"
#include "platform/x11/HXDesktopEntryMatcher.h"
#include "platform/x11/HXX11WindowSnapshot.h"

#include <chrono>
#include <memory>
#include <unordered_map>

class HXX11Display;

// The running applications are the processes owning managed windows, each named by its desktop entry;
// the one in front owns the active window.
class HXX11Workspace final : public HXWorkspace {
public:
    HXX11Workspace(std::shared_ptr<HXX11Display> display, HXDesktopEntryMatcher matcher);

    // Front to back by each application's front-most window.
    std::vector<HXRunningApplication> runningApplications() override;
    // _NET_ACTIVE_WINDOW reads None for a moment while focus changes hands; the last active window
    // stands in for that long.
    std::optional<HXRunningApplication> menuBarOwner() override;

    static constexpr std::chrono::milliseconds kActiveWindowGrace{1000};

    // How often a process was described anew: its desktop entry matched and its program read.
    std::uint64_t descriptionCount() const { return m_descriptionCount; }

private:
    // A process's description with the main window's class it was made from.
    struct Described {
        QString instanceName;
        QString className;
        HXRunningApplication application;
    };
    using DescribedByPid = std::unordered_map<std::int64_t, Described>;

    void update();
    Described describe(std::int64_t pid, const std::vector<const HXX11ClientWindow*>& windows);

    std::shared_ptr<HXX11Display> m_display;
    HXDesktopEntryMatcher m_matcher;
    // The snapshot the applications were made from.
    std::shared_ptr<const HXX11WindowSnapshot> m_snapshot;
    std::vector<HXRunningApplication> m_applications;
    // The processes of m_applications: every snapshot (twice a second) describes the same ones again,
    // unless their main window or the desktop entries changed.
    DescribedByPid m_described;
    std::uint64_t m_entriesGeneration = 0;
    std::uint64_t m_descriptionCount = 0;
    xcb_window_t m_lastActive = XCB_WINDOW_NONE;
    std::chrono::steady_clock::time_point m_lastActiveSeen;
};
