#pragma once

#include "platform/HXDesktopPresence.h"

#include <memory>

class HXX11DesktopPresence;

// The desktop as the tracker finds it: a StatusNotifierItem tray on the session bus, else, where the
// program's windows are X11 windows, an XEmbed tray on the X server; taskbar and desktop states through
// the X server there (a Wayland compositor decides those itself).
class HXTrackerDesktopPresence final : public HXDesktopPresence {
public:
    HXTrackerDesktopPresence();
    ~HXTrackerDesktopPresence() override;

    QString trayKind() const override;
    void setSkipsTaskbar(quintptr windowId, bool skip) override;
    void setOnAllDesktops(quintptr windowId) override;

private:
    std::unique_ptr<HXX11DesktopPresence> m_x11;
};
