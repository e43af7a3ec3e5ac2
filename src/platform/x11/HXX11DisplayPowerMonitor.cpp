#include "platform/x11/HXX11DisplayPowerMonitor.h"

#include "platform/x11/HXX11DisplayPower.h"

#include "foundation/HXLog.h"
#include "foundation/HXScheduler.h"

namespace {

constexpr std::string_view kPoll = "poll";
const QString kReason = QStringLiteral("displays asleep");

} // namespace

HXX11DisplayPowerMonitor::HXX11DisplayPowerMonitor(HXScheduler& scheduler, QByteArray displayName)
    : m_scheduler(scheduler), m_displayName(std::move(displayName)) {}

HXX11DisplayPowerMonitor::HXX11DisplayPowerMonitor(HXScheduler& scheduler, Reader reader)
    : m_scheduler(scheduler), m_reader(std::move(reader)) {}

HXX11DisplayPowerMonitor::~HXX11DisplayPowerMonitor() {
    // Whoever the handlers call may already be gone.
    m_handlers = {};
    stop();
}

void HXX11DisplayPowerMonitor::start(Handlers handlers, bool) {
    stop();
    if (!m_reader) {
        auto server = std::make_unique<HXX11DisplayPower>(m_displayName);
        QString why;
        if (!server->open(&why)) {
            if (!m_unavailableLogged)
                HXSystemLog(QStringLiteral("display sleep is not watched: ") + why);
            m_unavailableLogged = true;
            return;
        }
        m_server = std::move(server);
    }
    m_handlers = std::move(handlers);
    m_running = true;
    poll();
}

void HXX11DisplayPowerMonitor::stop() {
    m_scheduler.cancelPerforms(this, kPoll);
    // Every leave gets its return, also when watching ends.
    setAsleep(false);
    m_running = false;
    m_handlers = {};
    m_server.reset();
}

void HXX11DisplayPowerMonitor::poll() {
    const std::optional<bool> asleep = m_server ? m_server->displaysAsleep() : m_reader();
    if (asleep)
        setAsleep(*asleep);
    if (m_running)
        m_scheduler.performAfterDelay(this, kPoll, kPollInterval, [this] { poll(); });
}

void HXX11DisplayPowerMonitor::setAsleep(bool asleep) {
    if (!m_running || m_asleep == asleep)
        return;
    m_asleep = asleep;
    // A copy: the handler may stop the monitor.
    const auto handler = asleep ? m_handlers.userLeaves : m_handlers.userReturns;
    if (handler)
        handler(kReason);
}
