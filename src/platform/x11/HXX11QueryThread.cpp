#include "platform/x11/HXX11QueryThread.h"

HXX11QueryThread::HXX11QueryThread() : m_thread([this] { loop(); }) {}

HXX11QueryThread::~HXX11QueryThread() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

bool HXX11QueryThread::run(std::function<void()> work, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    if (m_pending || m_running)
        return false;
    m_work = std::move(work);
    m_pending = true;
    m_changed.notify_all();
    return m_changed.wait_for(lock, timeout, [this] { return !m_pending && !m_running; });
}

bool HXX11QueryThread::isBusy() {
    std::lock_guard lock(m_mutex);
    return m_pending || m_running;
}

void HXX11QueryThread::loop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || m_pending; });
        if (m_stopping && !m_pending)
            return;
        std::function<void()> work = std::move(m_work);
        m_pending = false;
        m_running = true;
        lock.unlock();
        work();
        work = nullptr;
        lock.lock();
        m_running = false;
        m_changed.notify_all();
    }
}
