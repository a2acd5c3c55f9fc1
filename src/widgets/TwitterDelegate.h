#pragma once

#include "platform/Error.h"

#include <QVariant>
#include <QVariantList>

// What the Twitter sharer reports to its delegate; every answer arrives on the main thread.
class TwitterDelegate
{
public:
    virtual ~TwitterDelegate() = default;
    virtual void loadTweetsDidFinish(const QVariantList& statuses) { Q_UNUSED(statuses) }
    virtual void loadTweetsDidFailWithError(const Error& error) { Q_UNUSED(error) }
    virtual void removeTweetDidFinish(const QVariant& status) { Q_UNUSED(status) }
    virtual void removeTweetDidFailWithError(const Error& error) { Q_UNUSED(error) }
    virtual void verifyCredentialsDidFinish(const QVariant& user) { Q_UNUSED(user) }
    virtual void verifyCredentialsDidFailWithError(const Error& error) { Q_UNUSED(error) }
    virtual void sendDidFinish(const QVariant& status) { Q_UNUSED(status) }
    virtual void sendDidFailWithError(const Error& error) { Q_UNUSED(error) }
};
