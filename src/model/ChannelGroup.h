#pragma once

#include "Channel.h"
#include "ChannelCategory.h"

#include <QList>
#include <QVariantMap>

#include <memory>
#include <optional>

using ChannelList = QList<std::shared_ptr<Channel>>;

// A category with its channels, as the channel selectors list them.
struct ChannelGroup
{
    std::shared_ptr<ChannelCategory> category;
    ChannelList channels;
    bool isExpanded = false;
};

using ChannelGroups = QList<ChannelGroup>;

// Channel groups from the channel list, and the favourites among them.
class ORVChannelsArray
{
public:
    // The groups of a channel-list answer ("cc" with the categories, every other key a
    // channel id with its six-element array), sorted by the categories' order. Index 0 of
    // "cc" is never a category; a "cc" with one element or none gives no groups. Channels
    // are taken in ascending order of their ids, chosen by hand.
    static ChannelGroups groupsFromChannelList(const QVariantMap& answer);

    // The groups that have favourites, each with only its favourite channels.
    static ChannelGroups maskFavoritesChanns(const ChannelGroups& groups);
    // The favourite channels of group index; none when the index is out of range.
    static std::optional<ChannelList> favoritesChannsAtIndex(const ChannelGroups& groups, int index);
    // All favourite channels, group by group; none for no groups.
    static std::optional<ChannelList> favoritesChannsAll(const ChannelGroups& groups);
    static int countFavoritesAtIndex(const ChannelGroups& groups, int index);
};
