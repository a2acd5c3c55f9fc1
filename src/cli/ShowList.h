#pragma once

#include "model/Show.h"

#include <QList>
#include <QVariantMap>

#include <memory>

class CliSession;

// The shows of a programme or search answer (every key that is a number), on the device
// clock, in start-time order.
class ShowList
{
public:
    static QList<std::shared_ptr<Show>> fromAnswer(const QVariantMap& answer, CliSession& session);
};
