#pragma once

#include "platform/HXWindowSource.h"
#include "platform/x11/HXDesktopEntryMatcher.h"
#include "platform/x11/HXX11WindowServer.h"
#include "platform/x11/HXX11Workspace.h"

#include <QByteArray>

#include <chrono>
#include <memory>
#include <optional>

class HXX11Display;

// The EWMH client list as a window source: in an X11 session, or for the X11 programs of a Wayland
// session through Xwayland. It answers while the display has a window manager and the connection holds.
// A window manager that starts after the tracker (both started with the session) or restarts is waited
// for up to kWindowManagerWait, and a server that stops answering for a while (frozen, stopped) keeps
// the source starting rather than failed: a new connection to such a server would wait for ever.
class HXX11WindowSource final : public HXWindowSource {
public:
    // $DISPLAY when displayName is empty.
    explicit HXX11WindowSource(HXDesktopEntryMatcher matcher, QByteArray displayName = {});
    ~HXX11WindowSource() override;

    QString name() const override { return QStringLiteral("X11"); }
    void start() override;
    State state() override;
    void stop() override;
    QString failureReason() const override { return m_reason; }

    HXWindowServer& windowServer() override { return *m_windowServer; }
    HXWorkspace& workspace() override { return *m_workspace; }

    static constexpr std::chrono::seconds kWindowManagerWait{60};

private:
    HXDesktopEntryMatcher m_matcher;
    QByteArray m_displayName;
    std::shared_ptr<HXX11Display> m_display;
    std::unique_ptr<HXX11WindowServer> m_windowServer;
    std::unique_ptr<HXX11Workspace> m_workspace;
    QString m_reason;
    std::optional<std::chrono::steady_clock::time_point> m_waitingSince;
};
