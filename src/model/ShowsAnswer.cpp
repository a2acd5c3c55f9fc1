#include "ShowsAnswer.h"

#include "platform/JsonValue.h"

#include <algorithm>
#include <limits>

bool ShowsAnswer::isNumericKey(const QString& key)
{
    if (key.trimmed() != key || key.isEmpty())
        return false;
    bool numeric = false;
    key.toDouble(&numeric);
    return numeric;
}

QList<std::shared_ptr<Show>> ShowsAnswer::showsFromAnswer(const QVariantMap& answer,
                                                          double serverTimeDifference, Picture picture)
{
    const qint64 shift = qint64(serverTimeDifference);
    QList<std::shared_ptr<Show>> shows;
    for (auto it = answer.begin(); it != answer.end(); ++it) {
        if (!isNumericKey(it.key()) || !JsonValue::isMap(it.value()))
            continue;
        const QVariantMap dictionary = it.value().toMap();
        std::shared_ptr<Show> show = Show::initWithDictionary(dictionary);
        if (picture == Picture::ChannelIcon)
            show->pictureName = JsonValue::text(dictionary.value(QStringLiteral("icon")));
        if (show->startTime.isValid())
            show->startTime = show->startTime.addSecs(shift);
        if (show->endTime.isValid())
            show->endTime = show->endTime.addSecs(shift);
        shows.append(show);
    }
    sortByStartTime(shows);
    return shows;
}

void ShowsAnswer::sortByStartTime(QList<std::shared_ptr<Show>>& shows)
{
    const auto key = [](const std::shared_ptr<Show>& show) {
        return show->startTime.isValid() ? show->startTime.toMSecsSinceEpoch()
                                         : std::numeric_limits<qint64>::min();
    };
    std::stable_sort(shows.begin(), shows.end(),
                     [&key](const auto& a, const auto& b) { return key(a) < key(b); });
}
