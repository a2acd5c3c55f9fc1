#include "ListTable.h"

#include "ListTableItemDelegate.h"
#include "ListTableModel.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QVariantAnimation>

namespace {

// How far a press may move and still count as a tap or a long press, in pixels.
constexpr int TouchSlop = 10;

} // namespace

ListTable::ListTable(ListTableSource* source, Delegate* delegate, QWidget* parent)
    : QListView(parent), m_model(new ListTableModel(this)), m_delegate(delegate),
      m_longPress(new QTimer(this))
{
    setModel(m_model);
    setItemDelegate(new ListTableItemDelegate(m_model, this));
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    setResizeMode(QListView::Adjust);
    setSpacing(0);
    m_longPress->setSingleShot(true);
    m_longPress->setInterval(LongPressMs);
    connect(m_longPress, &QTimer::timeout, this, [this] {
        const IndexPath path = indexPathForRowAtPoint(m_pressPosition);
        if (!path.isValid())
            return;
        m_longPressFired = true;
        longPressRow(path);
    });
    setDataSource(source);
}

ListTable::~ListTable() = default;

void ListTable::setDataSource(ListTableSource* source)
{
    m_source = source;
    m_model->setSource(source);
    static_cast<ListTableItemDelegate*>(itemDelegate())->setSource(source);
}

void ListTable::reloadData()
{
    m_model->reload();
}

void ListTable::insertRows(int section, int first, int count)
{
    m_model->insertRows(section, first, count);
}

void ListTable::deleteRows(int section, int first, int count)
{
    m_model->deleteRows(section, first, count);
}

void ListTable::reloadRow(const IndexPath& path)
{
    m_model->reloadRow(path);
}

int ListTable::numberOfSections() const
{
    return m_model->numberOfSections();
}

int ListTable::numberOfRowsInSection(int section) const
{
    return m_model->numberOfRowsInSection(section);
}

IndexPath ListTable::indexPathForRowAtPoint(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() ? m_model->indexPathForItem(index.row()) : IndexPath{};
}

QRect ListTable::rectForRow(const IndexPath& path) const
{
    const int item = m_model->itemForIndexPath(path);
    return item < 0 ? QRect() : visualRect(m_model->index(item));
}

QList<IndexPath> ListTable::indexPathsForVisibleRows() const
{
    QList<IndexPath> paths;
    const QRect area = viewport()->rect();
    QModelIndex index = indexAt(QPoint(1, 1));
    if (!index.isValid())
        index = indexAt(QPoint(1, area.height() / 2));
    for (int item = index.isValid() ? index.row() : 0; item < m_model->rowCount(); ++item) {
        const QRect rect = visualRect(m_model->index(item));
        if (rect.top() >= area.bottom())
            break;
        if (rect.bottom() < area.top())
            continue;
        const IndexPath path = m_model->indexPathForItem(item);
        if (path.isValid())
            paths.append(path);
    }
    return paths;
}

void ListTable::scrollToRowAtTop(const IndexPath& path, bool animated)
{
    const int item = m_model->itemForIndexPath(path);
    if (item < 0)
        return;
    QScrollBar* bar = verticalScrollBar();
    const int from = bar->value();
    scrollTo(m_model->index(item), QAbstractItemView::PositionAtTop);
    const int to = bar->value();
    if (!animated || !isVisible() || from == to)
        return;
    if (!m_scroll) {
        m_scroll = new QVariantAnimation(this);
        m_scroll->setDuration(250);
        m_scroll->setEasingCurve(QEasingCurve::OutCubic);
        connect(m_scroll, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& value) { verticalScrollBar()->setValue(value.toInt()); });
    }
    m_scroll->stop();
    bar->setValue(from);
    m_scroll->setStartValue(from);
    m_scroll->setEndValue(to);
    m_scroll->start();
}

IndexPath ListTable::indexPathForSelectedRow() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? IndexPath{} : m_model->indexPathForItem(selected.first().row());
}

void ListTable::selectRow(const IndexPath& path)
{
    const int item = m_model->itemForIndexPath(path);
    if (item >= 0)
        selectionModel()->select(m_model->index(item), QItemSelectionModel::ClearAndSelect);
}

void ListTable::deselectRow(const IndexPath& path)
{
    const int item = m_model->itemForIndexPath(path);
    if (item >= 0)
        selectionModel()->select(m_model->index(item), QItemSelectionModel::Deselect);
}

void ListTable::tapRow(const IndexPath& path)
{
    if (m_model->itemForIndexPath(path) < 0)
        return;
    selectRow(path);
    if (m_delegate)
        m_delegate->didSelectRowAtIndexPath(path);
}

void ListTable::longPressRow(const IndexPath& path)
{
    const QRect rect = rectForRow(path);
    if (rect.isEmpty())
        return;
    if (m_delegate)
        m_delegate->didLongPressRowAtIndexPath(path, viewport()->mapToGlobal(rect.center()));
}

void ListTable::mousePressEvent(QMouseEvent* event)
{
    if (m_delegate)
        m_delegate->tableTouchTap();
    m_longPressFired = false;
    if (event->button() == Qt::LeftButton) {
        m_pressPosition = event->position().toPoint();
        m_longPress->start();
    }
    QListView::mousePressEvent(event);
}

void ListTable::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->position().toPoint() - m_pressPosition).manhattanLength() > TouchSlop)
        m_longPress->stop();
    QListView::mouseMoveEvent(event);
}

void ListTable::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressing = m_longPress->isActive();
    m_longPress->stop();
    QListView::mouseReleaseEvent(event);
    if (m_longPressFired || !wasPressing || event->button() != Qt::LeftButton)
        return; // a long press, a drag that left the row, or another button: no tap
    const IndexPath path = indexPathForRowAtPoint(event->position().toPoint());
    if (path.isValid() && path == indexPathForRowAtPoint(m_pressPosition) && m_delegate)
        m_delegate->didSelectRowAtIndexPath(path);
}

void ListTable::contextMenuEvent(QContextMenuEvent* event)
{
    const IndexPath path = indexPathForRowAtPoint(event->pos());
    if (!path.isValid())
        return;
    selectRow(path);
    longPressRow(path);
}
