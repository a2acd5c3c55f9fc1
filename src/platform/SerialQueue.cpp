#include "SerialQueue.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

SerialQueue::SerialQueue(const QString& label) : m_label(label), m_thread(new QThread), m_context(new QObject)
{
    m_thread->setObjectName(label);
    m_context->moveToThread(m_thread);
    m_thread->start();
}

SerialQueue::~SerialQueue()
{
    stop();
    delete m_context;
    delete m_thread;
}

void SerialQueue::stop()
{
    Q_ASSERT(!isCurrent());
    if (m_stopped.exchange(true))
        return;
    // The quit request is queued behind every task already submitted, so they all run.
    QThread* thread = m_thread;
    QMetaObject::invokeMethod(
        m_context, [thread] { thread->quit(); }, Qt::QueuedConnection);
    m_thread->wait();
}

void SerialQueue::async(std::function<void()> task)
{
    if (m_stopped.load()) {
        task();
        return;
    }
    QMetaObject::invokeMethod(m_context, std::move(task), Qt::QueuedConnection);
}

void SerialQueue::sync(const std::function<void()>& task)
{
    if (isCurrent() || m_stopped.load()) {
        task();
        return;
    }
    QMetaObject::invokeMethod(
        m_context, [&task] { task(); }, Qt::BlockingQueuedConnection);
}

bool SerialQueue::isCurrent() const
{
    return QThread::currentThread() == m_thread;
}
