#pragma once

#include <QString>

#include <functional>

class QObject;
class QThread;

// A serial queue: one worker thread with its own event loop that runs submitted tasks one
// after another, in submission order. The queue owns its thread; destroying the queue runs
// every task already submitted, then stops the thread.
class SerialQueue
{
public:
    explicit SerialQueue(const QString& label);
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    const QString& label() const { return m_label; }

    // Queues a task; returns at once.
    void async(std::function<void()> task);
    // Queues a task and waits for it. Runs it inline when called from the queue itself.
    void sync(const std::function<void()>& task);

    bool isCurrent() const;
    // The object living on the queue's thread (a context for timers and queued calls).
    QObject* context() const { return m_context; }

private:
    QString m_label;
    QThread* m_thread;
    QObject* m_context;
};
