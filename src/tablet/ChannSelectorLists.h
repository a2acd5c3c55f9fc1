#pragma once

#include "model/ChannelGroup.h"

#include <QStringList>

// The lists behind the tablet's channel grid, without painting: all categories with their
// channels, the ones the TV/radio filter leaves, the favourites view (its first carousel item
// "Все" holds every favourite), the channels of the chosen carousel item, and the search hits.
class ChannSelectorLists
{
public:
    enum Segment
    {
        All = 0,
        TV = 1,
        Radio = 2
    };
    static inline const QString AllItem = QStringLiteral("Все");

    void setAdjustedResponse(const ChannelGroups& groups) { m_adjusted = groups; }
    const ChannelGroups& adjustedResponse() const { return m_adjusted; }

    // Rebuilds the displayed lists for a segment, the favourites filter and a search text
    // (empty: no search). The favourites filter turns itself off when there is no favourite;
    // filterFavorOnly() tells whether it stayed on.
    void update(int segment, bool favouritesOnly, const QString& searchText);
    const ChannelGroups& displayedResponse() const { return m_displayed; }
    const ChannelList& displayedFavorites() const { return m_displayedFavorites; }
    bool filterFavorOnly() const { return m_favouritesOnly; }
    bool isSearchMode() const { return m_searchMode; }
    const ChannelList& searchedResponse() const { return m_searched; }

    // The carousel's items: "Все" first while the favourites filter is on, then the categories.
    QStringList carouselItems() const;
    // The channels the grid shows for a carousel item (the search hits in search mode).
    ChannelList gridChannels(int carouselIndex) const;
    // Channels whose lower-case name contains the lower-case text (nameless ones always match).
    static ChannelList searchChannelsAtName(const ChannelList& channels, const QString& text);

private:
    ChannelGroups m_adjusted;
    ChannelGroups m_displayed;
    ChannelList m_displayedFavorites;
    ChannelList m_searched;
    bool m_favouritesOnly = false;
    bool m_searchMode = false;
};
