#pragma once

#include <QString>

#include <atomic>
#include <functional>

class QObject;
class QThread;

// A serial queue: one worker thread with its own event loop that runs submitted tasks one
// after another, in submission order. The queue owns its thread; stop() (and destroying the
// queue) runs every task already submitted, then ends the thread. A task submitted after
// stop() runs at once on the submitting thread, so that nothing queued at exit is lost.
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
    // Runs what was submitted, then ends the thread. Idempotent; not from the queue itself.
    void stop();
    // Queues a task and waits for it. Runs it inline when called from the queue itself.
    void sync(const std::function<void()>& task);

    bool isCurrent() const;
    // The object living on the queue's thread (a context for timers and queued calls).
    QObject* context() const { return m_context; }

private:
    QString m_label;
    std::atomic<bool> m_stopped{false};
    QThread* m_thread;
    QObject* m_context;
};
