#include "ShowInfo.h"

#include "platform/JsonValue.h"

std::optional<ShowInfo> ShowInfo::fromAnswer(const QVariant& answer, double serverTimeDifference)
{
    if (!JsonValue::isMap(answer))
        return std::nullopt;
    const QVariantMap map = answer.toMap();
    if (map.contains(QStringLiteral("nodata")))
        return std::nullopt;
    const QVariantMap showMap = JsonValue::map(map.value(QStringLiteral("0")));
    ShowInfo info;
    info.channel = Channel::initWithDictionary(map);
    info.show = showMap.isEmpty() ? nullptr : Show::initWithDictionary(showMap);
    if (!info.channel || !info.show)
        return std::nullopt;
    info.channel->setIsSelectedManually(true);
    const qint64 shift = qint64(serverTimeDifference);
    info.show->startTime = info.show->startTime.addSecs(shift);
    info.show->endTime = info.show->endTime.addSecs(shift);
    info.channel->setCurrentShow(info.show);
    info.channelId = JsonValue::text(map.value(QStringLiteral("id")));
    info.hasLiveScreens = JsonValue::integer(map.value(QStringLiteral("oim"))) > 0;
    for (const QVariant& address : JsonValue::list(showMap.value(QStringLiteral("image_g")))) {
        const QString text = JsonValue::text(address);
        if (!text.isEmpty())
            info.gallery << text;
    }
    return info;
}
