#pragma once

#include "platform/x11/HXX11Availability.h"
#include "platform/x11/HXX11WindowSnapshot.h"

#include <QByteArray>

#include <chrono>
#include <memory>

class HXX11QueryThread;
class HXX11WindowQuery;
struct xcb_connection_t;

// A connection of its own to the X server (so that it works without a QGuiApplication) and the window
// list read through it. One sampling tick asks several questions in a row; they are answered from one
// snapshot, which is read again once it is older than the snapshot lifetime. Changes of availability
// (a window manager gone or found, a server that stopped answering) are logged once each.
class HXX11Display {
public:
    // Connects to displayName, or to $DISPLAY when it is empty.
    explicit HXX11Display(const QByteArray& displayName = {});
    ~HXX11Display();
    HXX11Display(const HXX11Display&) = delete;
    HXX11Display& operator=(const HXX11Display&) = delete;

    // As of the last reading; reads anew when that is older than the lifetime.
    HXX11Availability availability();
    QString availabilityReason() { return HXX11AvailabilityReason(availability()); }

    // Nothing when the list cannot be had.
    std::shared_ptr<const HXX11WindowSnapshot> snapshot();
    void setSnapshotLifetime(std::chrono::milliseconds lifetime) { m_lifetime = lifetime; }
    // How long a reading may wait for the server; then it reads as NotResponding (and the list as
    // none) until the server answers again.
    void setQueryTimeout(std::chrono::milliseconds timeout) { m_queryTimeout = timeout; }
    void invalidateSnapshot() { m_snapshotTime.reset(); }

    // The connection, for requests of the display's users; null without a display.
    xcb_connection_t* connection() const { return m_connection; }
    std::uint32_t rootWindow() const { return m_root; }

    static constexpr std::chrono::milliseconds kDefaultSnapshotLifetime{100};
    static constexpr std::chrono::milliseconds kDefaultQueryTimeout{1000};

private:
    struct Atoms;

    // Changes after the first reading are logged, one line each.
    void setAvailability(HXX11Availability availability);

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::unique_ptr<Atoms> m_atoms;
    std::unique_ptr<HXX11WindowQuery> m_query;
    std::unique_ptr<HXX11QueryThread> m_queryThread;
    HXX11Availability m_availability = HXX11Availability::NoDisplay;
    std::shared_ptr<const HXX11WindowSnapshot> m_snapshot;
    std::optional<std::chrono::steady_clock::time_point> m_snapshotTime;
    std::chrono::milliseconds m_lifetime = kDefaultSnapshotLifetime;
    std::chrono::milliseconds m_queryTimeout = kDefaultQueryTimeout;
    bool m_read = false;
};
