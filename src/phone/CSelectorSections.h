#pragma once

#include "model/ChannelGroup.h"

#include <QList>
#include <QMap>
#include <QString>

// The lists behind the channel selector, without painting: the full list of categories
// with their channels, the TV or radio view made of it, and the favourites view in its two
// sections "TV" and "Radio". Sections open or closed stay so across rebuilds: in the TV and
// radio views through the full list's entries, in the favourites through their own flags.
class CSelectorSections
{
public:
    enum Segment
    {
        Favorites = 0,
        TV = 1,
        Radio = 2
    };

    struct Section
    {
        std::shared_ptr<ChannelCategory> category; // none in the favourites view
        QString favoritesKey;                      // "TV" or "Radio" in the favourites view
        ChannelList channels;
        bool isExpanded = false;
    };

    CSelectorSections();

    // The full list: categories in their order, all closed.
    void setAdjustedResponse(const ChannelGroups& groups);
    const ChannelGroups& adjustedResponse() const { return m_adjusted; }

    // Rebuilds the view of the segment; favourites are the stored ones, in stored order.
    void prepareDisplayedResponse(int segment, const ChannelList& favorites);
    int segment() const { return m_segment; }
    const QList<Section>& displayed() const { return m_displayed; }
    const QMap<QString, bool>& expandFlagsFavorites() const { return m_expandFlagsFavorites; }

    // Rows of a section: its header, and its channels when open.
    int numberOfRowsInSection(int section) const;
    // The channel of a row (row 1 is the first channel); none for a header or out of range.
    std::shared_ptr<Channel> channelAt(int section, int row) const;
    // Opens a closed section or closes an open one and gives the new state.
    bool toggleSection(int section);
    // Removes a channel row from a favourites section; true when that emptied the section
    // (the caller rebuilds the view then).
    bool removeChannelRow(int section, int row);

private:
    void rememberFavoritesExpansion();

    ChannelGroups m_adjusted;
    QList<Section> m_displayed;
    QMap<QString, bool> m_expandFlagsFavorites;
    int m_segment = Favorites;
};
