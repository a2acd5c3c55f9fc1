#include "ShowsAnswer.h"

#include "platform/JsonValue.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace {

// A server moment moved onto the device clock, kept as UTC: screens show it through the
// local-time rules, and sorting and comparing it needs no time-zone look-up (the C library
// reads the zone file again for each local-time conversion). Invalid stays invalid.
QDateTime onDeviceClock(const QVariant& serverSeconds, const QDateTime& parsed, qint64 shiftSeconds)
{
    if (!parsed.isValid())
        return parsed;
    const double seconds = JsonValue::number(serverSeconds);
    return QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000.0) + shiftSeconds * 1000, Qt::UTC);
}

} // namespace

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
        show->startTime = onDeviceClock(dictionary.value(QStringLiteral("start_ts")), show->startTime, shift);
        show->endTime = onDeviceClock(dictionary.value(QStringLiteral("finish_ts")), show->endTime, shift);
        shows.append(show);
    }
    sortByStartTime(shows);
    return shows;
}

void ShowsAnswer::sortByStartTime(QList<std::shared_ptr<Show>>& shows)
{
    // Each start is turned into a number once: a local-time conversion is costly (the C
    // library looks at the zone file each time), and a sort would repeat it n log n times.
    std::vector<std::pair<qint64, std::shared_ptr<Show>>> keyed;
    keyed.reserve(size_t(shows.size()));
    for (std::shared_ptr<Show>& show : shows)
        keyed.emplace_back(show->startTime.isValid() ? show->startTime.toMSecsSinceEpoch()
                                                     : std::numeric_limits<qint64>::min(),
                           std::move(show));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype i = 0; i < shows.size(); ++i)
        shows[i] = std::move(keyed[size_t(i)].second);
}
