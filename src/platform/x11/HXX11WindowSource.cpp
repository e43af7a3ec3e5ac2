#include "platform/x11/HXX11WindowSource.h"

#include "platform/x11/HXX11Display.h"

#include "foundation/HXLog.h"

HXX11WindowSource::HXX11WindowSource(HXDesktopEntryMatcher matcher, QByteArray displayName)
    : m_matcher(std::move(matcher)), m_displayName(std::move(displayName)) {}

HXX11WindowSource::~HXX11WindowSource() = default;

void HXX11WindowSource::start() {
    m_display = std::make_shared<HXX11Display>(m_displayName);
    m_windowServer = std::make_unique<HXX11WindowServer>(m_display);
    m_workspace = std::make_unique<HXX11Workspace>(m_display, m_matcher);
    m_reason.clear();
    m_waitingSince.reset();
}

HXWindowSource::State HXX11WindowSource::state() {
    if (!m_display)
        return State::Failed;
    const HXX11Availability availability = m_display->availability();
    if (availability == HXX11Availability::Available) {
        m_waitingSince.reset();
        return State::Answering;
    }
    m_reason = HXX11AvailabilityReason(availability);
    if (availability == HXX11Availability::NotResponding)
        return State::Starting;
    if (availability == HXX11Availability::NoWindowManager) {
        const auto now = std::chrono::steady_clock::now();
        if (!m_waitingSince) {
            m_waitingSince = now;
            HXSystemLog(QStringLiteral("no window manager with EWMH support: waiting up to %1 s for one")
                            .arg(kWindowManagerWait.count()));
        }
        if (now - *m_waitingSince < kWindowManagerWait)
            return State::Starting;
    }
    return State::Failed;
}

void HXX11WindowSource::stop() {
    m_workspace.reset();
    m_windowServer.reset();
    m_display.reset();
}
