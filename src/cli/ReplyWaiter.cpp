#include "ReplyWaiter.h"

#include <QEventLoop>
#include <QObject>

ReplyWaiter::Result ReplyWaiter::wait(const std::function<void(const Reply&)>& send)
{
    Result result;
    QObject delegate;
    QEventLoop loop;
    send(Reply(
        &delegate,
        [&](const QVariant& value) {
            result.finished = true;
            result.value = value;
            loop.quit();
        },
        [&](const Error& error) {
            result.error = error;
            loop.quit();
        }));
    loop.exec();
    return result;
}
