#pragma once

#include "ListTableSource.h"

#include <QStyledItemDelegate>

class ListTableModel;

// Sizes a list table's items from the model's heights and hands the painting of rows to
// the data source; headers are clear.
class ListTableItemDelegate : public QStyledItemDelegate
{
public:
    ListTableItemDelegate(const ListTableModel* model, QObject* parent);
    void setSource(ListTableSource* source) { m_source = source; }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    const ListTableModel* m_model;
    ListTableSource* m_source = nullptr;
};
