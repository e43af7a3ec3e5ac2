#pragma once

#include <QByteArray>

#include <cstdint>

struct xcb_connection_t;

// The X11 side of the program's desktop presence: the XEmbed tray manager (the owner of the selection
// "_NET_SYSTEM_TRAY_S<screen>") and the EWMH taskbar state of windows. A connection of its own.
class HXX11DesktopPresence {
public:
    explicit HXX11DesktopPresence(const QByteArray& displayName = {});
    ~HXX11DesktopPresence();
    HXX11DesktopPresence(const HXX11DesktopPresence&) = delete;
    HXX11DesktopPresence& operator=(const HXX11DesktopPresence&) = delete;

    bool hasXEmbedTrayManager() const;
    // Sets _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER on the window and asks the window
    // manager to do the same for a mapped one.
    void setSkipsTaskbar(std::uint32_t window, bool skip);
    // _NET_WM_DESKTOP 0xFFFFFFFF and _NET_WM_STATE_STICKY, set and asked for.
    void setOnAllDesktops(std::uint32_t window);

private:
    std::uint32_t atom(const char* name) const;
    void sendToRoot(std::uint32_t window, std::uint32_t type, const std::uint32_t (&data)[4]);

    xcb_connection_t* m_connection = nullptr;
    int m_screen = 0;
    std::uint32_t m_root = 0;
};
