#pragma once

#include "platform/HXWindowServer.h"
#include "platform/HXWindowSource.h"
#include "platform/HXWorkspace.h"

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

// The window list and applications of whichever source answers: the candidates are tried in order and
// the first that answers is used; when it stops answering the next one takes over, and when none is
// left they are tried again from the first after a while. The choice is logged once, as is each
// source's failure; a failure that comes with advice for the user hands it to the advice handler, once
// per run.
// Everything happens on the caller's thread as the tick asks, so a tick reads what the source keeps.
class HXWindowSourceChooser final : public HXWindowServer, public HXWorkspace {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit HXWindowSourceChooser(std::vector<HXWindowSource*> candidates,
                                   std::chrono::milliseconds retryInterval = std::chrono::seconds(30),
                                   Clock clock = &std::chrono::steady_clock::now);
    ~HXWindowSourceChooser() override;

    // Starts the first candidate; false when there are none.
    bool start();
    // Stops the current source.
    void stop();
    // Looks at the current source: moves on when it failed. Every query does this first.
    void advance();
    // The source that answers; null while none does.
    HXWindowSource* current();
    // Whether every candidate failed and they wait to be tried again.
    bool isWaitingToRetry() const { return m_retryAt.has_value(); }

    void setAdviceHandler(std::function<void(const QString& advice)> handler) {
        m_adviceHandler = std::move(handler);
    }

    std::vector<HXRunningApplication> runningApplications() override;
    std::optional<HXRunningApplication> menuBarOwner() override;
    std::optional<std::vector<HXWindowDescription>> onScreenWindows() override;
    std::optional<std::vector<HXWindowDescription>> allWindows() override;
    bool isOrderedIn(std::uint64_t windowNumber) override;

private:
    void startCandidate(std::size_t index);
    void candidateFailed(HXWindowSource& source);

    std::vector<HXWindowSource*> m_candidates;
    std::chrono::milliseconds m_retryInterval;
    Clock m_clock;
    std::size_t m_index = 0;
    bool m_running = false;
    // Whether the current source answered since it was started.
    bool m_answered = false;
    // Set while every candidate failed: when to try them again.
    std::optional<std::chrono::steady_clock::time_point> m_retryAt;
    // From the moment every candidate failed until one answers again.
    bool m_inOutage = false;
    HXWindowSource* m_loggedChoice = nullptr;
    std::vector<HXWindowSource*> m_loggedFailures;
    std::vector<QString> m_givenAdvice;
    std::function<void(const QString&)> m_adviceHandler;
};
