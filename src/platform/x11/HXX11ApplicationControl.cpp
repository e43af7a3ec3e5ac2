#include "platform/x11/HXX11ApplicationControl.h"

#include "platform/x11/HXDesktopEntry.h"
#include "platform/x11/HXX11Display.h"

#include <QFileInfo>
#include <QProcess>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <vector>

struct HXX11ApplicationControl::Connection {
    xcb_connection_t* connection = nullptr;
    xcb_ewmh_connection_t ewmh{};
    int screen = 0;
    bool ewmhReady = false;

    ~Connection() {
        if (ewmhReady)
            xcb_ewmh_connection_wipe(&ewmh);
        xcb_disconnect(connection);
    }
};

namespace {

// The application's managed windows, front to back; taskbar windows first.
std::vector<xcb_window_t> windowsOf(HXX11Display& display, std::int64_t pid) {
    std::vector<xcb_window_t> main;
    std::vector<xcb_window_t> others;
    const std::shared_ptr<const HXX11WindowSnapshot> snapshot = display.snapshot();
    if (!snapshot || pid < 0)
        return main;
    for (const HXX11ClientWindow& w : snapshot->windows) {
        if (w.processIdentifier != pid)
            continue;
        const bool taskbar =
            (w.kind == HXX11WindowKind::Normal || w.kind == HXX11WindowKind::Dialog) && !w.skipTaskbar;
        (taskbar ? main : others).push_back(w.id);
    }
    main.insert(main.end(), others.begin(), others.end());
    return main;
}

} // namespace

HXX11ApplicationControl::HXX11ApplicationControl() = default;

HXX11ApplicationControl::~HXX11ApplicationControl() = default;

bool HXX11ApplicationControl::connect() {
    if (m_connection)
        return true;
    if (!m_display)
        m_display = std::make_shared<HXX11Display>();
    if (m_display->availability() != HXX11Availability::Available)
        return false;
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    auto connection = std::make_unique<Connection>();
    connection->connection = c;
    connection->screen = screen;
    // A failed set-up has cleaned up after itself.
    connection->ewmhReady = xcb_ewmh_init_atoms_replies(
                                &connection->ewmh, xcb_ewmh_init_atoms(c, &connection->ewmh), nullptr) != 0;
    if (!connection->ewmhReady)
        return false;
    m_connection = std::move(connection);
    return true;
}

bool HXX11ApplicationControl::activate(const HXRunningApplication& application) {
    if (!connect())
        return false;
    const std::vector<xcb_window_t> windows = windowsOf(*m_display, application.processIdentifier);
    if (windows.empty())
        return false;
    xcb_ewmh_request_change_active_window(&m_connection->ewmh, m_connection->screen, windows.front(),
                                          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_CURRENT_TIME,
                                          XCB_WINDOW_NONE);
    xcb_flush(m_connection->connection);
    m_display->invalidateSnapshot();
    return true;
}

bool HXX11ApplicationControl::close(const HXRunningApplication& application) {
    if (!connect())
        return false;
    const std::vector<xcb_window_t> windows = windowsOf(*m_display, application.processIdentifier);
    for (const xcb_window_t window : windows)
        xcb_ewmh_request_close_window(&m_connection->ewmh, m_connection->screen, window, XCB_CURRENT_TIME,
                                      XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    xcb_flush(m_connection->connection);
    m_display->invalidateSnapshot();
    return !windows.empty();
}

bool HXX11ApplicationControl::launch(const QString& path) {
    if (path.endsWith(QStringLiteral(".desktop"))) {
        const std::optional<HXDesktopEntry> entry = HXDesktopEntry::read(path, HXDesktopLocale::current());
        if (!entry || entry->exec.isEmpty())
            return false;
        return QProcess::startDetached(entry->exec.front(), entry->exec.mid(1));
    }
    const QFileInfo file(path);
    return file.isFile() && file.isExecutable() && QProcess::startDetached(path, {});
}

QString HXX11ApplicationControl::iconName(const QString& path) {
    if (!path.endsWith(QStringLiteral(".desktop")))
        return {};
    const std::optional<HXDesktopEntry> entry = HXDesktopEntry::read(path, HXDesktopLocale::current());
    return entry ? entry->icon : QString();
}
