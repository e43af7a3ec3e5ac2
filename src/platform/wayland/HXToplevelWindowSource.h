#pragma once

#include "platform/HXWindowSource.h"
#include "platform/wayland/HXToplevel.h"
#include "platform/wayland/HXToplevelOwners.h"
#include "platform/wayland/HXToplevelWindowServer.h"
#include "platform/wayland/HXToplevelWorkspace.h"

// A window source that keeps a list of toplevels, kept up to date by the events of its compositor or
// shell: a tick only reads that list, through the window server and workspace made from it.
class HXToplevelWindowSource : public HXWindowSource {
public:
    explicit HXToplevelWindowSource(HXDesktopEntryMatcher matcher);

    HXWindowServer& windowServer() override { return m_windowServer; }
    HXWorkspace& workspace() override { return m_workspace; }

    const HXToplevelList& toplevels() const { return m_list; }

protected:
    // Replaces the whole list.
    void setToplevels(std::vector<HXToplevel> toplevels);
    // For changes made in place: call changed() after.
    std::vector<HXToplevel>& mutableToplevels() { return m_list.toplevels; }
    void changed() { ++m_list.generation; }
    void setAnswering(bool answering);

private:
    HXToplevelList m_list;
    HXToplevelOwners m_owners;
    HXToplevelWindowServer m_windowServer;
    HXToplevelWorkspace m_workspace;
};
