#include "TwitterRefusal.h"

#include "platform/JsonValue.h"

QVariantMap TwitterRefusal::first(const QVariant& answer)
{
    return JsonValue::map(JsonValue::list(JsonValue::map(answer).value(QStringLiteral("errors"))).value(0));
}

bool TwitterRefusal::isRefusal(const QVariant& answer)
{
    return !JsonValue::list(JsonValue::map(answer).value(QStringLiteral("errors"))).isEmpty();
}

int TwitterRefusal::code(const QVariant& answer)
{
    return JsonValue::integer(first(answer).value(QStringLiteral("code")));
}

QString TwitterRefusal::message(const QVariant& answer)
{
    return JsonValue::text(first(answer).value(QStringLiteral("message")));
}

Error TwitterRefusal::error(const QVariant& answer, const QString& fallback)
{
    const QString text = message(answer);
    return Error::withDescription(QStringLiteral("TwitterError"), code(answer),
                                  text.isEmpty() ? fallback : text);
}
