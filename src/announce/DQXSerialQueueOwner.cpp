#include "announce/DQXSerialQueueOwner.h"

#include <QMetaObject>

DQXSerialQueueOwner::DQXSerialQueueOwner() : m_context(new QObject) {
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
}

DQXSerialQueueOwner::~DQXSerialQueueOwner() {
    finishQueue();
}

void DQXSerialQueueOwner::async(std::function<void()> work) {
    if (m_thread.isRunning())
        QMetaObject::invokeMethod(m_context, std::move(work), Qt::QueuedConnection);
}

void DQXSerialQueueOwner::sync(const std::function<void()>& work) {
    if (isOnQueue() || !m_thread.isRunning()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(m_context, work, Qt::BlockingQueuedConnection);
}

void DQXSerialQueueOwner::finishQueue() {
    if (!m_thread.isRunning())
        return;
    // Everything queued so far runs before the loop ends.
    sync([] {});
    m_thread.quit();
    m_thread.wait();
}
