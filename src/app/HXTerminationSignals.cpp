#include "app/HXTerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The write ends of the pipes a handler may use: writing is async-signal-safe, Qt is not. One is read by
// the main thread, the other by the thread that watches whether the main thread answers.
int g_signalSocket[2] = {-1, -1};
int g_watchSocket[2] = {-1, -1};
std::atomic<bool> g_requested{false};

void onSignal(int signalNumber) {
    g_requested.store(true);
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t toMain = ::write(g_signalSocket[0], &number, 1);
    [[maybe_unused]] const ssize_t toWatcher = ::write(g_watchSocket[0], &number, 1);
}

// The byte that ends the watcher instead of a signal's number.
constexpr unsigned char kStopWatching = 0;

} // namespace

HXTerminationSignals::HXTerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSocket) != 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_watchSocket) != 0)
        return;
    ::fcntl(g_signalSocket[0], F_SETFL, O_NONBLOCK);
    ::fcntl(g_watchSocket[0], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &HXTerminationSignals::readSignal);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
}

HXTerminationSignals::~HXTerminationSignals() {
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        std::signal(number, SIG_DFL);
    if (m_watcher.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_answered = true;
        }
        m_answer.notify_all();
        [[maybe_unused]] const ssize_t written = ::write(g_watchSocket[0], &kStopWatching, 1);
        m_watcher.join();
    }
}

void HXTerminationSignals::setUnansweredAction(std::chrono::milliseconds patience,
                                               std::function<void()> action) {
    if (m_watcher.joinable() || g_watchSocket[1] < 0)
        return;
    m_patience = patience;
    m_unansweredAction = std::move(action);
    m_watcher = std::thread([this] { watch(); });
}

bool HXTerminationSignals::requested() {
    return g_requested.load();
}

void HXTerminationSignals::watch() {
    unsigned char number = kStopWatching;
    if (::read(g_watchSocket[1], &number, 1) != 1 || number == kStopWatching)
        return;
    std::unique_lock lock(m_mutex);
    if (!m_answer.wait_for(lock, m_patience, [this] { return m_answered; }))
        m_unansweredAction();
}

void HXTerminationSignals::readSignal() {
    unsigned char number = 0;
    if (::read(g_signalSocket[1], &number, 1) != 1)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_answered = true;
    }
    m_answer.notify_all();
    Q_EMIT terminationRequested(number);
}
