#pragma once

#include "platform/HXWindowServer.h"

struct HXToplevelList;
class HXToplevelOwners;

// The window list of a toplevel source: desktop windows left out, minimized ones and those of other
// desktops only in the list of all windows. Front to back is the source's order.
class HXToplevelWindowServer final : public HXWindowServer {
public:
    HXToplevelWindowServer(const HXToplevelList& list, HXToplevelOwners& owners)
        : m_list(list), m_owners(owners) {}

    std::optional<std::vector<HXWindowDescription>> onScreenWindows() override;
    std::optional<std::vector<HXWindowDescription>> allWindows() override;
    bool isOrderedIn(std::uint64_t windowNumber) override;

private:
    std::optional<std::vector<HXWindowDescription>> windows(bool onScreenOnly);

    const HXToplevelList& m_list;
    HXToplevelOwners& m_owners;
};
