#include "TableView.h"

#include <QVBoxLayout>

TableView::TableView(QWidget* parent)
    : QScrollArea(parent), m_content(new QWidget), m_layout(new QVBoxLayout(m_content))
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_layout->setContentsMargins(0, 0, 0, 12);
    m_layout->setSpacing(0);
    setWidget(m_content);
}

void TableView::reloadData()
{
    while (QLayoutItem* item = m_layout->takeAt(0)) {
        if (QWidget* widget = item->widget())
            widget->deleteLater();
        delete item;
    }
    m_cells.clear();
    m_headers.clear();
    if (!m_dataSource)
        return;
    for (int section = 0; section < m_dataSource->numberOfSections(); ++section) {
        QWidget* header = m_dataSource->heightForHeaderInSection(section) > 0
                              ? m_dataSource->viewForHeaderInSection(section)
                              : nullptr;
        if (header) {
            header->setFixedHeight(m_dataSource->heightForHeaderInSection(section));
            m_layout->addWidget(header);
        }
        m_headers.append(header);
        QList<QPointer<QWidget>> rows;
        for (int row = 0; row < m_dataSource->numberOfRowsInSection(section); ++row) {
            QWidget* cell = m_dataSource->cellForRow(section, row);
            if (!cell)
                cell = new QWidget;
            const int height = m_dataSource->heightForRow(section, row);
            if (height > 0)
                cell->setFixedHeight(height);
            m_layout->addWidget(cell);
            rows.append(cell);
        }
        if (QWidget* footer = m_dataSource->viewForFooterInSection(section))
            m_layout->addWidget(footer);
        m_cells.append(rows);
    }
    m_layout->addStretch(1);
}

QWidget* TableView::cellForRowAt(int section, int row) const
{
    return m_cells.value(section).value(row);
}

QWidget* TableView::headerOfSection(int section) const
{
    return m_headers.value(section);
}
