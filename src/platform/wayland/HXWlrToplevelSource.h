#pragma once

#include "platform/wayland/HXToplevelWindowSource.h"

#include <QObject>

#include <memory>
#include <vector>

class HXWaylandConnection;
struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

// The toplevels of a wlroots compositor (sway, Hyprland, river, labwc, Wayfire) through
// zwlr_foreign_toplevel_manager_v1: title, app_id and state (activated, minimized) of every toplevel,
// X11 programs under Xwayland included. The protocol gives no process, so windows are grouped by app_id.
// The order front to back is the order of activation, the most recent first; toplevels never activated
// come in the order they appeared, newest first, as a new window opens on top.
class HXWlrToplevelSource final : public QObject, public HXToplevelWindowSource {
    Q_OBJECT

public:
    HXWlrToplevelSource(std::shared_ptr<HXWaylandConnection> connection, HXDesktopEntryMatcher matcher,
                        QObject* parent = nullptr);
    ~HXWlrToplevelSource() override;

    QString name() const override { return QStringLiteral("wlroots foreign-toplevel"); }
    void start() override;
    State state() override { return m_state; }
    void stop() override;

private:
    struct Handle;
    struct Listener;

    void publish();
    void remove(Handle* handle);
    void fail();

    std::shared_ptr<HXWaylandConnection> m_connection;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    // Front to back; those not yet done are left out of the list.
    std::vector<std::unique_ptr<Handle>> m_handles;
    std::uint64_t m_nextNumber = 1;
    State m_state = State::Failed;
};
