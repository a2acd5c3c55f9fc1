#include "ThumbnailStrip.h"

#include "Photos.h"

#include <QAbstractListModel>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Rows are the data source's pictures; no data is held here.
class ThumbModel : public QAbstractListModel
{
public:
    explicit ThumbModel(ThumbnailStrip* strip) : QAbstractListModel(strip), m_strip(strip) {}
    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() || !m_strip->dataSource() ? 0 : m_strip->dataSource()->numberOfPhotos();
    }
    QVariant data(const QModelIndex&, int) const override { return {}; }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    ThumbnailStrip* m_strip;
};

// Paints a cell from the thumbnail, which is asked for only here (that is, when on screen).
class ThumbDelegate : public QStyledItemDelegate
{
public:
    explicit ThumbDelegate(ThumbnailStrip* strip) : QStyledItemDelegate(strip), m_strip(strip) {}
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {ThumbnailStrip::CellWidth, ThumbnailStrip::CellHeight};
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        Photos* photos = m_strip->dataSource();
        if (!photos)
            return;
        const QImage thumb = photos->thumbImageAtIndex(index.row());
        const QRect cell = option.rect.adjusted(3, 3, -3, -3);
        painter->fillRect(cell, QColor(20, 20, 24));
        const QSize fitted = thumb.size().scaled(cell.size(), Qt::KeepAspectRatio);
        painter->drawImage(QRect(cell.center() - QPoint(fitted.width() / 2, fitted.height() / 2), fitted),
                           thumb);
    }

private:
    ThumbnailStrip* m_strip;
};

} // namespace

ThumbnailStrip::ThumbnailStrip(QWidget* parent) : QListView(parent)
{
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setUniformItemSizes(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedHeight(CellHeight + 6);
    setModel(new ThumbModel(this));
    setItemDelegate(new ThumbDelegate(this));
    connect(this, &QListView::clicked, this,
            [this](const QModelIndex& index) { Q_EMIT photoSelected(index.row()); });
}

void ThumbnailStrip::setDataSource(Photos* photos)
{
    if (m_photos)
        m_photos->disconnect(this);
    m_photos = photos;
    static_cast<ThumbModel*>(model())->reset();
    if (photos) {
        connect(photos, &Photos::finishAsyncThumbImg, this,
                [this](const QImage&, int row) { update(model()->index(row, 0)); });
    }
}
