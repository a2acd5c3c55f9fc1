#pragma once

#include "platform/Error.h"
#include "service/Reply.h"

#include <QVariant>

#include <functional>

// Sends one request and runs an event loop until its reply has been delivered.
class ReplyWaiter
{
public:
    struct Result
    {
        bool finished = false;
        QVariant value;
        Error error;
    };

    static Result wait(const std::function<void(const Reply&)>& send);
};
