#include "platform/HXWindowSourceChooser.h"

#include "foundation/HXLog.h"

#include <algorithm>

HXWindowSourceChooser::HXWindowSourceChooser(std::vector<HXWindowSource*> candidates,
                                             std::chrono::milliseconds retryInterval, Clock clock)
    : m_candidates(std::move(candidates)), m_retryInterval(retryInterval), m_clock(std::move(clock)) {}

HXWindowSourceChooser::~HXWindowSourceChooser() {
    stop();
}

bool HXWindowSourceChooser::start() {
    if (m_candidates.empty())
        return false;
    m_running = true;
    m_retryAt.reset();
    startCandidate(0);
    advance();
    return true;
}

void HXWindowSourceChooser::stop() {
    if (m_running && !m_retryAt)
        m_candidates[m_index]->stop();
    m_running = false;
}

void HXWindowSourceChooser::startCandidate(std::size_t index) {
    m_index = index;
    m_answered = false;
    m_candidates[index]->start();
}

void HXWindowSourceChooser::candidateFailed(HXWindowSource& source) {
    const bool firstTime =
        std::find(m_loggedFailures.begin(), m_loggedFailures.end(), &source) == m_loggedFailures.end();
    const QString reason = source.failureReason();
    if (m_answered)
        HXSystemLog(QStringLiteral("window source %1 stopped answering").arg(source.name()));
    else if (firstTime)
        HXSystemLog(QStringLiteral("window source %1 does not answer%2")
                        .arg(source.name(), reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
    if (firstTime)
        m_loggedFailures.push_back(&source);
    const QString advice = source.advice();
    if (!advice.isEmpty() && m_adviceHandler &&
        std::find(m_givenAdvice.begin(), m_givenAdvice.end(), advice) == m_givenAdvice.end()) {
        m_givenAdvice.push_back(advice);
        m_adviceHandler(advice);
    }
    if (m_loggedChoice == &source)
        m_loggedChoice = nullptr;
    source.stop();
}

void HXWindowSourceChooser::advance() {
    if (!m_running)
        return;
    if (m_retryAt) {
        if (m_clock() < *m_retryAt)
            return;
        m_retryAt.reset();
        startCandidate(0);
    }
    // Each candidate is looked at once per pass; a source that fails at once makes way for the next.
    for (std::size_t looked = 0; looked < m_candidates.size(); ++looked) {
        HXWindowSource& source = *m_candidates[m_index];
        switch (source.state()) {
        case HXWindowSource::State::Starting:
            return;
        case HXWindowSource::State::Answering:
            m_answered = true;
            m_inOutage = false;
            if (m_loggedChoice != &source) {
                HXSystemLog(QStringLiteral("window source: %1").arg(source.name()));
                m_loggedChoice = &source;
            }
            return;
        case HXWindowSource::State::Failed:
            candidateFailed(source);
            if (m_index + 1 >= m_candidates.size()) {
                if (!m_inOutage)
                    HXSystemLog(QStringLiteral("no window source answers; trying again in %1 s")
                                    .arg(m_retryInterval.count() / 1000.0));
                m_inOutage = true;
                m_retryAt = m_clock() + m_retryInterval;
                return;
            }
            startCandidate(m_index + 1);
            break;
        }
    }
}

HXWindowSource* HXWindowSourceChooser::current() {
    advance();
    if (!m_running || m_retryAt)
        return nullptr;
    HXWindowSource* source = m_candidates[m_index];
    return source->state() == HXWindowSource::State::Answering ? source : nullptr;
}

std::vector<HXRunningApplication> HXWindowSourceChooser::runningApplications() {
    HXWindowSource* source = current();
    return source ? source->workspace().runningApplications() : std::vector<HXRunningApplication>();
}

std::optional<HXRunningApplication> HXWindowSourceChooser::menuBarOwner() {
    HXWindowSource* source = current();
    return source ? source->workspace().menuBarOwner() : std::nullopt;
}

std::optional<std::vector<HXWindowDescription>> HXWindowSourceChooser::onScreenWindows() {
    HXWindowSource* source = current();
    return source ? source->windowServer().onScreenWindows() : std::nullopt;
}

std::optional<std::vector<HXWindowDescription>> HXWindowSourceChooser::allWindows() {
    HXWindowSource* source = current();
    return source ? source->windowServer().allWindows() : std::nullopt;
}

bool HXWindowSourceChooser::isOrderedIn(std::uint64_t windowNumber) {
    HXWindowSource* source = current();
    return source && source->windowServer().isOrderedIn(windowNumber);
}
