#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;
struct wl_display;
struct wl_interface;
struct wl_registry;

// A connection of the tracker's own to the Wayland compositor (apart from the one Qt's windows may use),
// read on the main thread as events arrive. It knows the globals the compositor offers; whoever binds one
// gets its events dispatched here. Once the compositor is gone, lost() is emitted once.
class HXWaylandConnection : public QObject {
    Q_OBJECT

public:
    struct Global {
        std::uint32_t name = 0;
        QString interface;
        std::uint32_t version = 0;
    };

    // Connects to displayName, else to $WAYLAND_DISPLAY (wayland-0 when unset), and reads the globals.
    explicit HXWaylandConnection(const QByteArray& displayName = {}, QObject* parent = nullptr);
    ~HXWaylandConnection() override;

    // Whether a compositor answers at displayName ($WAYLAND_DISPLAY, else wayland-0, when empty).
    static bool canConnect(const QByteArray& displayName);

    bool isConnected() const { return m_display && !m_lost; }
    const std::vector<Global>& globals() const { return m_globals; }
    std::optional<Global> global(const QString& interface) const;
    bool offers(const QString& interface) const { return global(interface).has_value(); }

    // Binds the global at no more than maxVersion; null when it is not offered.
    void* bind(const wl_interface& interface, std::uint32_t maxVersion,
               std::uint32_t* boundVersion = nullptr);
    // Waits for the compositor to answer everything asked so far; false once the connection broke.
    bool roundtrip();
    // Sends what was asked; call after requests made outside event handling.
    void flush();

    wl_display* display() const { return m_display; }

Q_SIGNALS:
    void lost();

private:
    struct Listener;
    void readEvents();
    // Whether the library has met a fatal error; marks the connection lost when it has.
    bool checkError();
    void markLost();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<Global> m_globals;
    bool m_lost = false;
};
