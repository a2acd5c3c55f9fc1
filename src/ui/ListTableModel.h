#pragma once

#include "IndexPath.h"

#include <QAbstractListModel>
#include <QList>

class ListTableSource;

// The sections and rows of a list table flattened into one column of items: each section
// is a clear header item (when its header has a height) followed by its rows. Counts are
// the data source's as of the last reload or batch change; nothing is built per row.
class ListTableModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // Item data: the item's height in pixels, and whether it is a header.
    static constexpr int HeightRole = Qt::UserRole + 1;
    static constexpr int HeaderRole = Qt::UserRole + 2;

    explicit ListTableModel(QObject* parent = nullptr);

    void setSource(const ListTableSource* source) { m_source = source; }
    // Asks the data source again for every count.
    void reload();
    // The data source has gained (lost) count rows at first in section.
    void insertRows(int section, int first, int count);
    void deleteRows(int section, int first, int count);
    // The data source has changed a row's content.
    void reloadRow(const IndexPath& path);

    int numberOfSections() const { return int(m_rows.size()); }
    int numberOfRowsInSection(int section) const;
    // The row of an item; invalid for a header or an index outside the list.
    IndexPath indexPathForItem(int item) const;
    // The item of a row; -1 when the row is not in the list.
    int itemForIndexPath(const IndexPath& path) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // The first item of each section and whether it begins with a header.
    void recomputeStarts();
    int sectionOfItem(int item) const;

    const ListTableSource* m_source = nullptr;
    QList<int> m_rows;
    QList<bool> m_hasHeader;
    QList<int> m_starts;
    int m_itemCount = 0;
};
