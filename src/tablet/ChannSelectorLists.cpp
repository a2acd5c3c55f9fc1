#include "ChannSelectorLists.h"

void ChannSelectorLists::update(int segment, bool favouritesOnly, const QString& searchText)
{
    m_displayed.clear();
    for (const ChannelGroup& group : std::as_const(m_adjusted)) {
        if (segment == All) {
            m_displayed.append(group);
            continue;
        }
        ChannelGroup kept{group.category, {}, group.isExpanded};
        for (const auto& channel : group.channels) {
            if (channel->isTV() == (segment == TV))
                kept.channels.append(channel);
        }
        if (!kept.channels.isEmpty())
            m_displayed.append(kept);
    }
    m_favouritesOnly = favouritesOnly;
    m_displayedFavorites.clear();
    if (m_favouritesOnly) {
        m_displayedFavorites = ORVChannelsArray::favoritesChannsAll(m_displayed).value_or(ChannelList{});
        if (m_displayedFavorites.isEmpty())
            m_favouritesOnly = false; // nothing to show: the filter switches itself off
        else
            m_displayed = ORVChannelsArray::maskFavoritesChanns(m_displayed);
    }
    m_searchMode = !searchText.trimmed().isEmpty();
    m_searched.clear();
    if (!m_searchMode)
        return;
    ChannelList pool = m_displayedFavorites;
    if (!m_favouritesOnly) {
        for (const ChannelGroup& group : std::as_const(m_displayed))
            pool += group.channels;
    }
    m_searched = searchChannelsAtName(pool, searchText.trimmed());
}

QStringList ChannSelectorLists::carouselItems() const
{
    QStringList items;
    if (m_favouritesOnly)
        items << AllItem;
    for (const ChannelGroup& group : m_displayed)
        items << (group.category ? group.category->name() : QString());
    return items;
}

ChannelList ChannSelectorLists::gridChannels(int carouselIndex) const
{
    if (m_searchMode)
        return m_searched;
    if (m_favouritesOnly) {
        if (carouselIndex == 0)
            return m_displayedFavorites;
        --carouselIndex;
    }
    return carouselIndex >= 0 && carouselIndex < m_displayed.size() ? m_displayed[carouselIndex].channels
                                                                    : ChannelList{};
}

ChannelList ChannSelectorLists::searchChannelsAtName(const ChannelList& channels, const QString& text)
{
    const QString needle = text.toLower();
    ChannelList hits;
    for (const auto& channel : channels) {
        const QString name = channel->name();
        if (name.isEmpty() || name.toLower().contains(needle))
            hits.append(channel);
    }
    return hits;
}
