#pragma once

#include "IndexPath.h"
#include "ListTableSource.h"

#include <QListView>

class ListTableModel;
class QTimer;
class QVariantAnimation;

// A sectioned list over Qt's model/view list: rows are painted by the data source when
// they are on screen, so a list of thousands of rows builds no widget per row. Taps,
// long presses (or the context-menu click) and the first touch go to the delegate.
class ListTable : public QListView
{
    Q_OBJECT

public:
    class Delegate
    {
    public:
        virtual ~Delegate() = default;
        virtual void didSelectRowAtIndexPath(const IndexPath& path) = 0;
        virtual void didLongPressRowAtIndexPath(const IndexPath& path, const QPoint& globalPosition) {}
        // A touch began on the list (before any tap or scroll).
        virtual void tableTouchTap() {}
    };

    static constexpr int LongPressMs = 500;

    explicit ListTable(ListTableSource* source = nullptr, Delegate* delegate = nullptr,
                       QWidget* parent = nullptr);
    ~ListTable() override;

    void setDataSource(ListTableSource* source);
    ListTableSource* dataSource() const { return m_source; }
    void setTableDelegate(Delegate* delegate) { m_delegate = delegate; }

    // Asks the data source again for everything.
    void reloadData();
    // Batch changes: the data source has already changed.
    void insertRows(int section, int first, int count);
    void deleteRows(int section, int first, int count);
    void reloadRow(const IndexPath& path);

    int numberOfSections() const;
    int numberOfRowsInSection(int section) const;
    // The row under a point of the viewport; invalid over a header or empty space.
    IndexPath indexPathForRowAtPoint(const QPoint& point) const;
    // Where a row is in the viewport; empty when it is not in the list.
    QRect rectForRow(const IndexPath& path) const;
    QList<IndexPath> indexPathsForVisibleRows() const;
    // Places the row at the top of the list (as far as the list can scroll).
    void scrollToRowAtTop(const IndexPath& path, bool animated);

    IndexPath indexPathForSelectedRow() const;
    void selectRow(const IndexPath& path);
    void deselectRow(const IndexPath& path);

    // Acts as a user would: a tap or a long press on a row.
    void tapRow(const IndexPath& path);
    void longPressRow(const IndexPath& path);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ListTableModel* m_model;
    ListTableSource* m_source = nullptr;
    Delegate* m_delegate = nullptr;
    QTimer* m_longPress;
    QPoint m_pressPosition;
    bool m_longPressFired = false;
    QVariantAnimation* m_scroll = nullptr;
};
