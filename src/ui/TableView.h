#pragma once

#include <QList>
#include <QPointer>
#include <QScrollArea>

class QVBoxLayout;

// A list of sections of rows in a scroll view, asked of a data source: how many sections
// and rows, each row's cell and height, each section's header view and height. reloadData
// asks again and rebuilds; cells and headers belong to the table from then on.
class TableView : public QScrollArea
{
    Q_OBJECT

public:
    class DataSource
    {
    public:
        virtual ~DataSource() = default;
        virtual int numberOfSections() const { return 1; }
        virtual int numberOfRowsInSection(int section) const = 0;
        virtual QWidget* cellForRow(int section, int row) = 0;
        // 0 or less: the cell's own height.
        virtual int heightForRow(int section, int row) const { return 44; }
        virtual QWidget* viewForHeaderInSection(int section) { return nullptr; }
        virtual int heightForHeaderInSection(int section) const { return 0; }
        // Below a section; 0 or less: its own height.
        virtual QWidget* viewForFooterInSection(int section) { return nullptr; }
    };

    explicit TableView(QWidget* parent = nullptr);

    void setDataSource(DataSource* dataSource) { m_dataSource = dataSource; }
    void reloadData();
    int numberOfSections() const { return int(m_cells.size()); }
    int numberOfRowsInSection(int section) const { return int(m_cells.value(section).size()); }
    QWidget* cellForRowAt(int section, int row) const;
    QWidget* headerOfSection(int section) const;

private:
    DataSource* m_dataSource = nullptr;
    QWidget* m_content;
    QVBoxLayout* m_layout;
    QList<QList<QPointer<QWidget>>> m_cells;
    QList<QPointer<QWidget>> m_headers;
};
