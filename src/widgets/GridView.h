#pragma once

#include <QListView>
#include <QSize>

class QPainter;
class QTimer;

// A grid of cells over Qt's list view in icon mode: the data source gives the count, the cell
// size and paints each cell when it is on screen, so thousands of cells build no widget each.
// A click is a tap; holding a cell for LongPressMs (or the context-menu click) is a long press.
class GridView : public QListView
{
    Q_OBJECT

public:
    class DataSource
    {
    public:
        virtual ~DataSource() = default;
        virtual int numberOfItemsInGridView(const GridView* grid) const = 0;
        virtual QSize cellSize() const = 0;
        virtual void paintCell(QPainter* painter, const QRect& rect, int index, bool pressed) = 0;
    };

    static constexpr int LongPressMs = 700;
    static constexpr int Spacing = 20;

    explicit GridView(DataSource* source, QWidget* parent = nullptr);

    // Asks the data source again for the count and repaints.
    void reloadData();
    int numberOfItems() const;
    // The cell under a point of the viewport; -1 over empty space.
    int itemAtPoint(const QPoint& point) const;
    QRect rectForItem(int index) const;

Q_SIGNALS:
    void didTapOnItemAtIndex(int index);
    void didLongPressAtIndex(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    DataSource* m_source;
    class GridModel* m_model;
    QTimer* m_longPress;
    int m_pressed = -1;
    QPoint m_pressAt;
    bool m_longPressed = false;
};
