#pragma once

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (the session ends, the user logs out, Control-C) arrive as a Qt signal on
// the main thread, so that the orderly shutdown with its save runs instead of an abrupt end.
class HXTerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit HXTerminationSignals(QObject* parent = nullptr);
    ~HXTerminationSignals() override;

    // When the main thread has not taken a termination signal within the patience, the action runs on a
    // thread of its own: for a main thread stuck in a call that waits on a server that stopped answering.
    void setUnansweredAction(std::chrono::milliseconds patience, std::function<void()> action);
    // Whether a termination signal arrived; from any thread, also while the process exits.
    static bool requested();

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignal();
    void watch();

    QSocketNotifier* m_notifier = nullptr;
    std::chrono::milliseconds m_patience{0};
    std::function<void()> m_unansweredAction;
    std::thread m_watcher;
    std::mutex m_mutex;
    std::condition_variable m_answer;
    bool m_answered = false;
};
