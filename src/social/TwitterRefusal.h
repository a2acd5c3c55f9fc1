#pragma once

#include "platform/Error.h"

#include <QString>
#include <QVariant>

// Twitter's way of saying no inside an answer: {"errors": [{"code": N, "message": "…"}, …]}.
class TwitterRefusal
{
public:
    // Whether the answer holds at least one error.
    static bool isRefusal(const QVariant& answer);
    static int code(const QVariant& answer);
    static QString message(const QVariant& answer);
    // The first error as an Error of the "TwitterError" domain; fallback when the answer holds
    // none or its message is empty.
    static Error error(const QVariant& answer, const QString& fallback);

private:
    static QVariantMap first(const QVariant& answer);
};
