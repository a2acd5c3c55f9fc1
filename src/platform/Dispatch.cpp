#include "Dispatch.h"

#include "SerialQueue.h"
#include "Services.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

void Dispatch::mainAsync(std::function<void()> task)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

void Dispatch::mainAsync(QObject* context, std::function<void()> task)
{
    // A queued call whose context object lives on the main thread runs there, and is
    // discarded by Qt when the context is destroyed before it runs.
    Q_ASSERT(context->thread() == QCoreApplication::instance()->thread());
    QMetaObject::invokeMethod(context, std::move(task), Qt::QueuedConnection);
}

void Dispatch::mainAfter(int delayMs, QObject* context, std::function<void()> task)
{
    if (isMainThread()) {
        QTimer::singleShot(delayMs, context, std::move(task));
        return;
    }
    mainAsync(context, [delayMs, context, task = std::move(task)]() mutable {
        QTimer::singleShot(delayMs, context, std::move(task));
    });
}

bool Dispatch::isMainThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

SerialQueue& Dispatch::cacheQueue()
{
    return Services::current().cacheQueue();
}

void Dispatch::globalAsync(std::function<void()> task)
{
    QThreadPool::globalInstance()->start(std::move(task));
}
