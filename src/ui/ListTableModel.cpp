#include "ListTableModel.h"

#include "ListTableSource.h"

#include <algorithm>

ListTableModel::ListTableModel(QObject* parent) : QAbstractListModel(parent) {}

void ListTableModel::reload()
{
    beginResetModel();
    m_rows.clear();
    m_hasHeader.clear();
    if (m_source) {
        const int sections = std::max(0, m_source->numberOfSections());
        m_rows.reserve(sections);
        m_hasHeader.reserve(sections);
        for (int section = 0; section < sections; ++section) {
            m_rows.append(std::max(0, m_source->numberOfRowsInSection(section)));
            m_hasHeader.append(m_source->heightForHeaderInSection(section) > 0);
        }
    }
    recomputeStarts();
    endResetModel();
}

void ListTableModel::recomputeStarts()
{
    m_starts.resize(m_rows.size());
    int item = 0;
    for (int section = 0; section < m_rows.size(); ++section) {
        m_starts[section] = item;
        item += (m_hasHeader[section] ? 1 : 0) + m_rows[section];
    }
    m_itemCount = item;
}

int ListTableModel::numberOfRowsInSection(int section) const
{
    return section >= 0 && section < m_rows.size() ? m_rows[section] : 0;
}

void ListTableModel::insertRows(int section, int first, int count)
{
    if (section < 0 || section >= m_rows.size() || count <= 0)
        return;
    first = std::clamp(first, 0, m_rows[section]);
    const int item = m_starts[section] + (m_hasHeader[section] ? 1 : 0) + first;
    beginInsertRows({}, item, item + count - 1);
    m_rows[section] += count;
    recomputeStarts();
    endInsertRows();
}

void ListTableModel::deleteRows(int section, int first, int count)
{
    if (section < 0 || section >= m_rows.size() || first < 0 || first >= m_rows[section])
        return;
    count = std::min(count, m_rows[section] - first);
    if (count <= 0)
        return;
    const int item = m_starts[section] + (m_hasHeader[section] ? 1 : 0) + first;
    beginRemoveRows({}, item, item + count - 1);
    m_rows[section] -= count;
    recomputeStarts();
    endRemoveRows();
}

void ListTableModel::reloadRow(const IndexPath& path)
{
    const int item = itemForIndexPath(path);
    if (item < 0)
        return;
    const QModelIndex changed = index(item);
    Q_EMIT dataChanged(changed, changed);
}

int ListTableModel::sectionOfItem(int item) const
{
    // The last section starting at or before the item.
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), item);
    return int(it - m_starts.begin()) - 1;
}

IndexPath ListTableModel::indexPathForItem(int item) const
{
    if (item < 0 || item >= m_itemCount)
        return {};
    // Empty sections without a header share their start with the next one; the search
    // finds the last section starting at the item, which is the one that holds it.
    const int section = sectionOfItem(item);
    if (section < 0)
        return {};
    int offset = item - m_starts[section];
    if (m_hasHeader[section]) {
        if (offset == 0)
            return {};
        --offset;
    }
    if (offset >= m_rows[section])
        return {};
    return {section, offset};
}

int ListTableModel::itemForIndexPath(const IndexPath& path) const
{
    if (path.section < 0 || path.section >= m_rows.size() || path.row < 0 || path.row >= m_rows[path.section])
        return -1;
    return m_starts[path.section] + (m_hasHeader[path.section] ? 1 : 0) + path.row;
}

int ListTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_itemCount;
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const
{
    if (!m_source || !index.isValid())
        return {};
    const IndexPath path = indexPathForItem(index.row());
    if (role == HeaderRole)
        return !path.isValid();
    if (role != HeightRole)
        return {};
    if (path.isValid())
        return std::max(1, m_source->heightForRow(path));
    const int section = sectionOfItem(index.row());
    return section >= 0 ? std::max(1, m_source->heightForHeaderInSection(section)) : 1;
}

Qt::ItemFlags ListTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || !indexPathForItem(index.row()).isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
