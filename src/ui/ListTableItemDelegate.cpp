#include "ListTableItemDelegate.h"

#include "ListTableModel.h"

#include <QPainter>

ListTableItemDelegate::ListTableItemDelegate(const ListTableModel* model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model)
{}

QSize ListTableItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {option.rect.width() > 0 ? option.rect.width() : 1,
            index.data(ListTableModel::HeightRole).toInt()};
}

void ListTableItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    const IndexPath path = m_model->indexPathForItem(index.row());
    if (!m_source || !path.isValid())
        return;
    ListTableSource::RowState state;
    state.highlighted = option.state.testFlag(QStyle::State_Selected);
    painter->save();
    painter->setClipRect(option.rect);
    m_source->paintRow(painter, option.rect, path, state);
    painter->restore();
}
