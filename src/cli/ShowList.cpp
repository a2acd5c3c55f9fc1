#include "ShowList.h"

#include "CliSession.h"

#include "platform/JsonValue.h"

#include <algorithm>

QList<std::shared_ptr<Show>> ShowList::fromAnswer(const QVariantMap& answer, CliSession& session)
{
    QList<std::shared_ptr<Show>> shows;
    for (auto it = answer.begin(); it != answer.end(); ++it) {
        bool numeric = false;
        it.key().toLongLong(&numeric);
        if (!numeric || !JsonValue::isMap(it.value()))
            continue;
        const QVariantMap dictionary = it.value().toMap();
        auto show = Show::initWithDictionary(dictionary);
        show->startTime = session.deviceTime(dictionary.value(QStringLiteral("start_ts")));
        show->endTime = session.deviceTime(dictionary.value(QStringLiteral("finish_ts")));
        shows.append(show);
    }
    std::stable_sort(shows.begin(), shows.end(),
                     [](const auto& a, const auto& b) { return a->startTime < b->startTime; });
    return shows;
}
