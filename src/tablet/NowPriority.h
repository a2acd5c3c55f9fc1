#pragma once

#include <QList>
#include <QVariantMap>

// Which channels the now board lists, in which order: the user's favourites, the channels
// the user watched (by the local viewing ratings) and the city's rated channels, taken in
// the order of priority the user set. A channel belongs to the highest-ranked source only;
// the city's ratings add at most RatedLimit channels, those marked as listable, best first.
class NowPriority
{
public:
    static constexpr int RatedLimit = 70;

    // ratings: channel id → [rating, flag]; favourites and watched in their own order (ties of
    // the ratings go by id); priorities: "now_favor_priority", "now_watched_priority",
    // "now_rating_priority" → rank (ascending; sources not named are not used, unknown names
    // are ignored).
    static QList<int> compose(const QVariantMap& ratings, const QList<int>& favourites,
                              const QList<int>& watched, const QVariantMap& priorities);
};
