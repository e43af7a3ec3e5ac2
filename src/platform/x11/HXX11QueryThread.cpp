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

void HXX11QueryThread::run(const std::function<void()>& work) {
    std::unique_lock lock(m_mutex);
    m_work = &work;
    m_done = false;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_done; });
    m_work = nullptr;
}

void HXX11QueryThread::loop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || (m_work && !m_done); });
        if (m_stopping)
            return;
        const std::function<void()>& work = *m_work;
        lock.unlock();
        work();
        lock.lock();
        m_done = true;
        m_changed.notify_all();
    }
}
