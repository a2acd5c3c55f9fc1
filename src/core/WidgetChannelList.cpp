#include "WidgetChannelList.h"

#include "platform/JsonValue.h"

void WidgetChannelList::load(const QVariantList& stored)
{
    m_exists = true;
    m_channels.clear();
    for (const QVariant& value : stored)
        m_channels.append(JsonValue::integer(value));
    clearPending();
}

void WidgetChannelList::append(const QList<int>& ids)
{
    if (m_exists)
        m_channels.append(ids);
}

void WidgetChannelList::add(int id)
{
    if (!m_exists)
        return;
    if (m_removed.erase(id) == 0)
        m_added.insert(id);
}

void WidgetChannelList::remove(int id)
{
    if (!m_exists)
        return;
    if (m_added.erase(id) == 0)
        m_removed.insert(id);
}

bool WidgetChannelList::applyPending()
{
    if (!m_exists)
        return false;
    std::set<int> members(m_channels.begin(), m_channels.end());
    for (int id : m_removed)
        members.erase(id);
    members.insert(m_added.begin(), m_added.end());
    m_channels = QList<int>(members.begin(), members.end());
    clearPending();
    return true;
}

void WidgetChannelList::clearPending()
{
    m_added.clear();
    m_removed.clear();
}

QVariantList WidgetChannelList::toVariantList() const
{
    QVariantList list;
    for (int id : m_channels)
        list.append(id);
    return list;
}
