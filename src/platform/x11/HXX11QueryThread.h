#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Runs window-list queries on a thread of their own while the caller waits. The X library allocates and
// frees a buffer per request and reply, hundreds per query; on a thread of its own those come from a
// small heap of their own instead of the main heap, which holds years of tracking data and makes every
// such allocation slow. The caller waits only so long: an X server that stopped answering (frozen, or
// stopped with SIGSTOP) must not keep the main thread from saving and quitting.
class HXX11QueryThread {
public:
    HXX11QueryThread();
    // Waits for work still running; wake it first (see HXX11Display) when the server may not answer.
    ~HXX11QueryThread();
    HXX11QueryThread(const HXX11QueryThread&) = delete;
    HXX11QueryThread& operator=(const HXX11QueryThread&) = delete;

    // Runs the work on the query thread; true when it is done within the time-out. Otherwise the work
    // goes on by itself (it owns what it touches) and, until it ends, further work is refused at once.
    bool run(std::function<void()> work, std::chrono::milliseconds timeout);
    // Whether work that outlasted its time-out is still running.
    bool isBusy();

private:
    void loop();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_work;
    bool m_pending = false;
    bool m_running = false;
    bool m_stopping = false;
    std::thread m_thread;
};
