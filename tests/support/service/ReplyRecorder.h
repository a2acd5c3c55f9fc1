#pragma once

#include "platform/Error.h"
#include "service/Reply.h"

#include <QObject>
#include <QThread>
#include <QVariant>

// One caller of the request frame: what reached its handlers, and on which thread.
struct ReplyRecorder : QObject
{
    int finished = 0;
    int failed = 0;
    QVariant value;
    Error error;
    QThread* thread = nullptr;

    Reply reply()
    {
        return Reply(
            this,
            [this](const QVariant& v) {
                ++finished;
                value = v;
                thread = QThread::currentThread();
            },
            [this](const Error& e) {
                ++failed;
                error = e;
                thread = QThread::currentThread();
            });
    }
    int reports() const { return finished + failed; }
};
