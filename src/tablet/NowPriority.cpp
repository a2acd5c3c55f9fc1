#include "NowPriority.h"

#include "model/PreferenceKeys.h"
#include "platform/JsonValue.h"

#include <QSet>

#include <algorithm>

namespace {

enum class Source
{
    Favourites,
    Watched,
    Rated
};

struct Rated
{
    int id;
    double rating;
};

} // namespace

QList<int> NowPriority::compose(const QVariantMap& ratings, const QList<int>& favourites,
                                const QList<int>& watched, const QVariantMap& priorities)
{
    // The sources by rank; equal ranks keep the order favourites, watched, rated.
    QList<std::pair<double, Source>> ranked;
    const std::pair<QString, Source> names[] = {{PreferenceKeys::NowFavorPriority, Source::Favourites},
                                                {PreferenceKeys::NowWatchedPriority, Source::Watched},
                                                {PreferenceKeys::NowRatingPriority, Source::Rated}};
    for (const auto& [name, source] : names) {
        const QVariant rank = priorities.value(name);
        if (JsonValue::isNumber(rank) || JsonValue::isText(rank))
            ranked.append({JsonValue::number(rank), source});
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    QList<Rated> rated;
    QSet<int> ratedIds;
    for (auto it = ratings.begin(); it != ratings.end(); ++it) {
        bool ok = false;
        const int id = it.key().toInt(&ok);
        if (!ok)
            continue;
        ratedIds.insert(id);
        const QVariantList value = JsonValue::list(it.value());
        if (value.size() >= 2 && JsonValue::integer(value.at(1)) == 1)
            rated.append({id, JsonValue::number(value.at(0))});
    }
    std::stable_sort(rated.begin(), rated.end(), [](const Rated& a, const Rated& b) {
        return a.rating != b.rating ? a.rating > b.rating : a.id < b.id;
    });

    // A channel is taken by the first source in rank order that has it.
    QSet<int> taken;
    QList<int> result;
    for (const auto& [rank, source] : std::as_const(ranked)) {
        Q_UNUSED(rank)
        if (source == Source::Rated) {
            int added = result.size() == RatedLimit ? RatedLimit : 0;
            for (const Rated& channel : std::as_const(rated)) {
                if (added == RatedLimit)
                    break;
                if (taken.contains(channel.id))
                    continue;
                result.append(channel.id);
                ++added;
            }
            // Every rated channel counts as taken, listed or not.
            taken.unite(ratedIds);
            continue;
        }
        for (int id : source == Source::Favourites ? favourites : watched) {
            if (!taken.contains(id)) {
                result.append(id);
                taken.insert(id);
            }
        }
    }
    return result;
}
