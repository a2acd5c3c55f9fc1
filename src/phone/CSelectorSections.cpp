#include "CSelectorSections.h"

CSelectorSections::CSelectorSections()
    : m_expandFlagsFavorites{{QStringLiteral("TV"), true}, {QStringLiteral("Radio"), true}}
{}

void CSelectorSections::setAdjustedResponse(const ChannelGroups& groups)
{
    m_adjusted = groups;
    for (ChannelGroup& group : m_adjusted)
        group.isExpanded = false;
}

void CSelectorSections::rememberFavoritesExpansion()
{
    if (m_segment != Favorites)
        return;
    for (const Section& section : std::as_const(m_displayed))
        m_expandFlagsFavorites[section.favoritesKey] = section.isExpanded;
}

void CSelectorSections::prepareDisplayedResponse(int segment, const ChannelList& favorites)
{
    rememberFavoritesExpansion();
    m_displayed.clear();
    m_segment = segment;
    if (segment == TV || segment == Radio) {
        const bool tv = segment == TV;
        for (const ChannelGroup& group : std::as_const(m_adjusted)) {
            Section section;
            section.category = group.category;
            section.isExpanded = group.isExpanded;
            for (const std::shared_ptr<Channel>& channel : group.channels) {
                if (channel->isTV() == tv)
                    section.channels.append(channel);
            }
            if (!section.channels.isEmpty())
                m_displayed.append(section);
        }
        return;
    }
    Section tvSection{nullptr, QStringLiteral("TV"), {}, m_expandFlagsFavorites.value(QStringLiteral("TV"))};
    Section radioSection{
        nullptr, QStringLiteral("Radio"), {}, m_expandFlagsFavorites.value(QStringLiteral("Radio"))};
    for (const std::shared_ptr<Channel>& channel : favorites) {
        if (channel)
            (channel->isTV() ? tvSection : radioSection).channels.append(channel);
    }
    for (const Section& section : {tvSection, radioSection}) {
        if (!section.channels.isEmpty())
            m_displayed.append(section);
    }
}

int CSelectorSections::numberOfRowsInSection(int section) const
{
    if (section < 0 || section >= m_displayed.size())
        return 0;
    const Section& entry = m_displayed[section];
    return entry.isExpanded ? 1 + int(entry.channels.size()) : 1;
}

std::shared_ptr<Channel> CSelectorSections::channelAt(int section, int row) const
{
    if (section < 0 || section >= m_displayed.size() || row < 1)
        return nullptr;
    return m_displayed[section].channels.value(row - 1);
}

bool CSelectorSections::toggleSection(int section)
{
    if (section < 0 || section >= m_displayed.size())
        return false;
    Section& entry = m_displayed[section];
    entry.isExpanded = !entry.isExpanded;
    if (m_segment == Favorites) {
        m_expandFlagsFavorites[entry.favoritesKey] = entry.isExpanded;
        return entry.isExpanded;
    }
    // The same category's entry of the full list keeps the state for the next rebuild.
    for (ChannelGroup& group : m_adjusted) {
        if (group.category == entry.category)
            group.isExpanded = entry.isExpanded;
    }
    return entry.isExpanded;
}

bool CSelectorSections::removeChannelRow(int section, int row)
{
    if (section < 0 || section >= m_displayed.size() || row < 1 || row > m_displayed[section].channels.size())
        return false;
    Section& entry = m_displayed[section];
    if (entry.channels.size() == 1)
        return true;
    entry.channels.removeAt(row - 1);
    return false;
}
