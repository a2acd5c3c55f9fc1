#pragma once

#include <QListView>
#include <QPointer>

class Photos;
class QStandardItemModel;

// A horizontal strip of a data source's thumbnails. Only the thumbnails of the cells that are
// painted are asked for, so a long gallery loads what is on screen; a click emits the index.
class ThumbnailStrip : public QListView
{
    Q_OBJECT

public:
    static constexpr int CellWidth = 112;
    static constexpr int CellHeight = 84;

    explicit ThumbnailStrip(QWidget* parent = nullptr);
    void setDataSource(Photos* photos);
    Photos* dataSource() const { return m_photos; }

Q_SIGNALS:
    void photoSelected(int index);

private:
    QPointer<Photos> m_photos;
};
