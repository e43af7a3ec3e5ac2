#pragma once

#include "platform/HXWindowServer.h"
#include "platform/HXWorkspace.h"

#include <vector>

struct HXFakeWindow {
    std::uint64_t number = 0;
    std::optional<QString> title;
    int layer = HXWindowServer::kNormalLevel;
    // False: the window is on another desktop.
    bool onScreen = true;
    // False: the window server reports it as not ordered in (minimized).
    bool orderedIn = true;
};

struct HXFakeApplication {
    HXRunningApplication application;
    // Front to back.
    std::vector<HXFakeWindow> windows;
};

// A scripted window system: a test says, tick by tick, which applications run, which windows they show
// and which application is in front.
class HXFakeWindowSystem final : public HXWorkspace, public HXWindowServer {
public:
    void setApplications(std::vector<HXFakeApplication> applications) {
        m_applications = std::move(applications);
    }
    std::vector<HXFakeApplication>& applications() { return m_applications; }
    void setFrontProcess(std::optional<std::int64_t> pid) { m_front = pid; }
    // Without a list the window server answers nothing, as when it cannot be asked.
    void setWindowListAvailable(bool available) { m_windowListAvailable = available; }

    std::vector<HXRunningApplication> runningApplications() override;
    std::optional<HXRunningApplication> menuBarOwner() override;
    std::optional<std::vector<HXWindowDescription>> onScreenWindows() override;
    std::optional<std::vector<HXWindowDescription>> allWindows() override;
    bool isOrderedIn(std::uint64_t windowNumber) override;

    int allWindowsQueries() const { return m_allWindowsQueries; }

private:
    std::vector<HXWindowDescription> windows(bool onScreenOnly) const;

    std::vector<HXFakeApplication> m_applications;
    std::optional<std::int64_t> m_front;
    bool m_windowListAvailable = true;
    int m_allWindowsQueries = 0;
};
