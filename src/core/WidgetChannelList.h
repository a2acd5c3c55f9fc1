#pragma once

#include <QList>
#include <QVariantList>

#include <set>

// The channel ids of the tablet now board, with additions and removals that wait to be
// saved. The list does not exist until it is loaded; changes to a missing list are ignored.
class WidgetChannelList
{
public:
    bool exists() const { return m_exists; }
    const QList<int>& channels() const { return m_channels; }
    const std::set<int>& pendingAdditions() const { return m_added; }
    const std::set<int>& pendingRemovals() const { return m_removed; }

    // Replaces the list by the stored array (numbers or numeric texts) and drops pending changes.
    void load(const QVariantList& stored);
    void append(const QList<int>& ids);

    // An addition cancels a pending removal of the id, and the other way round.
    void add(int id);
    void remove(int id);
    // Applies the pending changes: the list becomes the set (list - removed + added), in
    // ascending order; the pending sets are emptied. Returns false for a missing list.
    bool applyPending();
    void clearPending();

    QVariantList toVariantList() const;

private:
    bool m_exists = false;
    QList<int> m_channels;
    std::set<int> m_added;
    std::set<int> m_removed;
};
