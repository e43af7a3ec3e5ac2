#pragma once

#include "platform/HXUserPresenceMonitor.h"

#include <QByteArray>

#include <memory>
#include <optional>

class HXScheduler;
class HXX11DisplayPower;

// The user leaves when the X server puts the displays to sleep and returns when they wake. X announces
// no change of the power state, so it is polled, without ever waiting for the server. Without the DPMS
// extension (Xvfb, many remote servers) this is logged once and nothing is reported; the session and
// screen saver still are, by their own monitor.
class HXX11DisplayPowerMonitor final : public HXUserPresenceMonitor {
public:
    // Whether the displays sleep; nothing while it is not known.
    using Reader = std::function<std::optional<bool>()>;

    // Polls the X server named by displayName ($DISPLAY when empty).
    explicit HXX11DisplayPowerMonitor(HXScheduler& scheduler, QByteArray displayName = {});
    // Polls reader instead of a server.
    HXX11DisplayPowerMonitor(HXScheduler& scheduler, Reader reader);
    ~HXX11DisplayPowerMonitor() override;

    static constexpr double kPollInterval = 2.0;

    // The screen saver setting does not apply: a sleeping display is not a screen saver.
    void start(Handlers handlers, bool observeScreenSaver) override;
    void stop() override;

private:
    void poll();
    void setAsleep(bool asleep);

    HXScheduler& m_scheduler;
    QByteArray m_displayName;
    std::unique_ptr<HXX11DisplayPower> m_server;
    Reader m_reader;
    Handlers m_handlers;
    bool m_running = false;
    bool m_asleep = false;
    bool m_unavailableLogged = false;
};
