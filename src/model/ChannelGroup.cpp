#include "ChannelGroup.h"

#include "platform/JsonValue.h"

#include <algorithm>

namespace {

ChannelList favouritesOf(const ChannelGroup& group)
{
    ChannelList favourites;
    for (const auto& channel : group.channels) {
        if (channel && channel->isFavorite())
            favourites.append(channel);
    }
    return favourites;
}

// Channel ids in ascending numeric order, texts after numbers.
QStringList channelKeys(const QVariantMap& answer)
{
    QStringList keys = answer.keys();
    keys.removeAll(QStringLiteral("cc"));
    std::stable_sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
        bool aNumber = false;
        bool bNumber = false;
        const qlonglong left = a.toLongLong(&aNumber);
        const qlonglong right = b.toLongLong(&bNumber);
        if (aNumber != bNumber)
            return aNumber;
        return aNumber ? left < right : a < b;
    });
    return keys;
}

} // namespace

ChannelGroups ORVChannelsArray::groupsFromChannelList(const QVariantMap& answer)
{
    const QVariantList categories = JsonValue::list(answer.value(QStringLiteral("cc")));
    ChannelGroups groups;
    if (categories.size() <= 1)
        return groups;
    const QStringList keys = channelKeys(answer);
    for (int i = 1; i < categories.size(); ++i) {
        ChannelList channels;
        for (const QString& key : keys) {
            const QVariantList array = JsonValue::list(answer.value(key));
            if (array.size() < 4 || JsonValue::integer(array.at(3)) != i)
                continue;
            auto channel = Channel::initWithArray(array);
            channel->setChannelId(key);
            channel->setIsSelectedManually(true);
            channels.append(channel);
        }
        if (channels.isEmpty())
            continue;
        auto category = ChannelCategory::initWithArray(JsonValue::list(categories.at(i)));
        category->setCategoryId(i);
        groups.append({category, channels, false});
    }
    std::stable_sort(groups.begin(), groups.end(), [](const ChannelGroup& a, const ChannelGroup& b) {
        return a.category->order() < b.category->order();
    });
    return groups;
}

ChannelGroups ORVChannelsArray::maskFavoritesChanns(const ChannelGroups& groups)
{
    ChannelGroups masked;
    for (const ChannelGroup& group : groups) {
        const ChannelList favourites = favouritesOf(group);
        if (favourites.isEmpty())
            continue;
        ChannelGroup copy = group;
        copy.channels = favourites;
        masked.append(copy);
    }
    return masked;
}

std::optional<ChannelList> ORVChannelsArray::favoritesChannsAtIndex(const ChannelGroups& groups, int index)
{
    if (index < 0 || index >= groups.size())
        return std::nullopt;
    return favouritesOf(groups.at(index));
}

std::optional<ChannelList> ORVChannelsArray::favoritesChannsAll(const ChannelGroups& groups)
{
    if (groups.isEmpty())
        return std::nullopt;
    ChannelList all;
    for (const ChannelGroup& group : groups)
        all.append(favouritesOf(group));
    return all;
}

int ORVChannelsArray::countFavoritesAtIndex(const ChannelGroups& groups, int index)
{
    const std::optional<ChannelList> favourites = favoritesChannsAtIndex(groups, index);
    return favourites ? int(favourites->size()) : 0;
}
