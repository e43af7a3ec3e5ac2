#pragma once

#include <QObject>
#include <QThread>

#include <functional>

// A private serial queue: work given to it runs in order on a thread of its own. The queue finishes
// what it was given before its owner goes away.
class DQXSerialQueueOwner {
public:
    DQXSerialQueueOwner();
    virtual ~DQXSerialQueueOwner();
    DQXSerialQueueOwner(const DQXSerialQueueOwner&) = delete;
    DQXSerialQueueOwner& operator=(const DQXSerialQueueOwner&) = delete;

    // Queues the work and returns.
    void async(std::function<void()> work);
    // Runs the work on the queue after everything queued before it, and waits for it; on the queue
    // itself it runs at once.
    void sync(const std::function<void()>& work);
    bool isOnQueue() const { return QThread::currentThread() == &m_thread; }

protected:
    // Owners stop the queue in their destructors, before the state the work uses goes.
    void finishQueue();

private:
    QThread m_thread;
    QObject* m_context;
};
