#pragma once

#include "platform/Error.h"

#include <QMultiMap>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

// One call of the Twitter account service as it waits for access to the accounts: who to answer
// (a destroyed delegate hears nothing), the two answers, the path under the API base, the
// parameters and the method. An absent path and parameters with method GET is the accounts
// query. errkey is set when access was refused.
struct TwitterRequestRecord
{
    enum Method
    {
        Get = 0,
        Post = 1
    };
    using Finished = std::function<void(const QVariant& answer)>;
    // Called with the error, or with a null Error ("none").
    using Failed = std::function<void(const Error& error)>;

    QPointer<QObject> delegate;
    Finished finishedSelector;
    Failed failedSelector;
    std::optional<QString> twurl;
    std::optional<QMultiMap<QString, QString>> twparams;
    int twmethod = Get;
    Error errkey;

    bool isAccountsQuery() const { return !twurl && !twparams && twmethod == Get; }
};
