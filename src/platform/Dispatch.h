#pragma once

#include <functional>

class QObject;
class SerialQueue;

// The process's queues: the main queue (the GUI thread's event loop), the serial cache
// queue, and the global background pool.
class Dispatch
{
public:
    // Runs task on the main thread after the current event has been handled.
    static void mainAsync(std::function<void()> task);
    // As mainAsync, but dropped when context has been destroyed by then.
    static void mainAsync(QObject* context, std::function<void()> task);
    // Runs task on the main thread after delayMs milliseconds.
    static void mainAfter(int delayMs, QObject* context, std::function<void()> task);
    static bool isMainThread();

    // The serial queue "com.orvane.cachequeue": cache writes and cache look-ups. Owned by
    // Services, which drains it at exit.
    static SerialQueue& cacheQueue();

    // Runs task on the global thread pool.
    static void globalAsync(std::function<void()> task);
};
