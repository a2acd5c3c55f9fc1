#include "GridView.h"

#include <QAbstractListModel>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

// The cells are rows of a model that holds nothing: the data source has the data.
class GridModel : public QAbstractListModel
{
public:
    explicit GridModel(GridView* grid, GridView::DataSource* source)
        : QAbstractListModel(grid), m_grid(grid), m_source(source)
    {}
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_count; }
    QVariant data(const QModelIndex&, int) const override { return {}; }
    void reload()
    {
        beginResetModel();
        m_count = m_source ? std::max(0, m_source->numberOfItemsInGridView(m_grid)) : 0;
        endResetModel();
    }

private:
    GridView* m_grid;
    GridView::DataSource* m_source;
    int m_count = 0;
};

namespace {

class CellPainter : public QStyledItemDelegate
{
public:
    CellPainter(GridView* grid, GridView::DataSource* source) : QStyledItemDelegate(grid), m_source(source) {}
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return m_source->cellSize();
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        m_source->paintCell(painter, option.rect, index.row(), option.state & QStyle::State_Selected);
        painter->restore();
    }

private:
    GridView::DataSource* m_source;
};

} // namespace

GridView::GridView(DataSource* source, QWidget* parent)
    : QListView(parent), m_source(source), m_model(new GridModel(this, source)), m_longPress(new QTimer(this))
{
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setSpacing(Spacing / 2);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape(QFrame::NoFrame);
    setModel(m_model);
    setItemDelegate(new CellPainter(this, source));
    m_longPress->setSingleShot(true);
    m_longPress->setInterval(LongPressMs);
    connect(m_longPress, &QTimer::timeout, this, [this] {
        if (m_pressed < 0)
            return;
        m_longPressed = true;
        Q_EMIT didLongPressAtIndex(m_pressed);
    });
}

void GridView::reloadData()
{
    m_model->reload();
}

int GridView::numberOfItems() const
{
    return m_model->rowCount({});
}

int GridView::itemAtPoint(const QPoint& point) const
{
    const QModelIndex index = QListView::indexAt(point);
    return index.isValid() ? index.row() : -1;
}

QRect GridView::rectForItem(int index) const
{
    return index >= 0 && index < numberOfItems() ? visualRect(m_model->index(index)) : QRect();
}

void GridView::mousePressEvent(QMouseEvent* event)
{
    QListView::mousePressEvent(event);
    m_pressAt = event->position().toPoint();
    m_pressed = itemAtPoint(m_pressAt);
    m_longPressed = false;
    if (m_pressed >= 0 && event->button() == Qt::LeftButton)
        m_longPress->start();
}

void GridView::mouseMoveEvent(QMouseEvent* event)
{
    QListView::mouseMoveEvent(event);
    // A press that travels is a scroll, not a tap or a long press.
    if ((event->position().toPoint() - m_pressAt).manhattanLength() > 10) {
        m_longPress->stop();
        m_pressed = -1;
    }
}

void GridView::mouseReleaseEvent(QMouseEvent* event)
{
    QListView::mouseReleaseEvent(event);
    m_longPress->stop();
    const int index = m_pressed;
    m_pressed = -1;
    if (index >= 0 && !m_longPressed && itemAtPoint(event->position().toPoint()) == index)
        Q_EMIT didTapOnItemAtIndex(index);
    clearSelection();
}

void GridView::contextMenuEvent(QContextMenuEvent* event)
{
    const int index = itemAtPoint(event->pos()); // viewport coordinates, as for the mouse
    if (index >= 0)
        Q_EMIT didLongPressAtIndex(index);
}
