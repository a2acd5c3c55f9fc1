#include "Utilities.h"

#include "AppContext.h"

#include "platform/JsonValue.h"

#include <QLocale>
#include <QTimeZone>

QDateTime Utilities::distantPast()
{
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
}

QString Utilities::stringFromDate(const QDateTime& date)
{
    const QDateTime moment = date.isValid() ? date : distantPast();
    return QLocale::c().toString(moment.toLocalTime(), u"yyyyMMdd");
}

int Utilities::intLocalIdFromMap(int channelId)
{
    const QVariantMap map = AppContext::current()->mapListDict();
    const QString key = QString::number(channelId);
    if (map.isEmpty() || !map.contains(key))
        return channelId;
    return JsonValue::integer(map.value(key));
}

QString Utilities::stringLocalIdFromMap(const QString& channelId)
{
    const QVariantMap map = AppContext::current()->mapListDict();
    if (map.isEmpty())
        return channelId.isNull() ? QStringLiteral("0") : channelId;
    if (!map.contains(channelId))
        return channelId;
    return JsonValue::text(map.value(channelId));
}
