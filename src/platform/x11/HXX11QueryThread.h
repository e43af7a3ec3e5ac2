#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Runs window-list queries on a thread of their own while the caller waits. The X library allocates and
// frees a buffer per request and reply, hundreds per query; on a thread of its own those come from a
// small heap of their own instead of the main heap, which holds years of tracking data and makes every
// such allocation slow.
class HXX11QueryThread {
public:
    HXX11QueryThread();
    ~HXX11QueryThread();
    HXX11QueryThread(const HXX11QueryThread&) = delete;
    HXX11QueryThread& operator=(const HXX11QueryThread&) = delete;

    // Runs the work on the query thread and returns when it is done.
    void run(const std::function<void()>& work);

private:
    void loop();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    const std::function<void()>* m_work = nullptr;
    bool m_done = false;
    bool m_stopping = false;
    std::thread m_thread;
};
