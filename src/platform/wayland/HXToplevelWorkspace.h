#pragma once

#include "platform/HXWorkspace.h"
#include "platform/x11/HXDesktopEntryMatcher.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

struct HXToplevel;
struct HXToplevelList;
class HXToplevelOwners;

// The running applications of a toplevel source: one per owner (a process, or an identifier where the
// source gives no process), named by its desktop entry, matched from the identifier exactly as a WM_CLASS
// class is; the one in front owns the activated window. Rebuilt only when the list changed.
class HXToplevelWorkspace final : public HXWorkspace {
public:
    HXToplevelWorkspace(const HXToplevelList& list, HXToplevelOwners& owners, HXDesktopEntryMatcher matcher);

    // Front to back by each application's front-most window.
    std::vector<HXRunningApplication> runningApplications() override;
    // Focus changes hands in two steps, the old window first; the last activated window stands in for
    // the moment in between.
    std::optional<HXRunningApplication> menuBarOwner() override;

    static constexpr std::chrono::milliseconds kActiveWindowGrace{1000};

private:
    void update();
    HXRunningApplication describe(std::int64_t owner, const std::vector<const HXToplevel*>& toplevels);

    const HXToplevelList& m_list;
    HXToplevelOwners& m_owners;
    HXDesktopEntryMatcher m_matcher;
    std::optional<std::uint64_t> m_generation;
    std::vector<HXRunningApplication> m_applications;
    std::optional<std::int64_t> m_activeOwner;
    std::optional<std::int64_t> m_lastActiveOwner;
    std::chrono::steady_clock::time_point m_lastActiveSeen;
};
