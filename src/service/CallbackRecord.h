#pragma once

#include "Reply.h"

#include <QDateTime>
#include <QString>

#include <optional>

// What travels with one content request from its start to its completion: the caller's
// reply and, for the requests whose answers are cached, the cache code with the channel id
// and day of a programme answer. Absent entries are simply not set.
struct CallbackRecord
{
    Reply reply;
    std::optional<int> cacheCode;
    std::optional<QString> channid;
    std::optional<QDateTime> reqDate;
};
