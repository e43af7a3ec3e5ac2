#pragma once

#include "platform/HXApplicationControl.h"

#include <memory>

class HXX11Display;

// Applications on an EWMH desktop: bringing one forward activates its front-most window
// (_NET_ACTIVE_WINDOW, as a pager asks), quitting asks each of its windows to close (_NET_CLOSE_WINDOW)
// and does nothing more drastic, launching runs its desktop entry's command with the field codes removed.
// Requests go over a connection of its own, made on first use (the window list comes with it).
class HXX11ApplicationControl final : public HXApplicationControl {
public:
    HXX11ApplicationControl();
    ~HXX11ApplicationControl() override;

    bool activate(const HXRunningApplication& application) override;
    bool close(const HXRunningApplication& application) override;
    bool launch(const QString& path) override;
    QString iconName(const QString& path) override;

private:
    struct Connection;
    bool connect();

    std::shared_ptr<HXX11Display> m_display;
    std::unique_ptr<Connection> m_connection;
};
