#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Rows of cells printed in aligned columns; the last column is not padded.
class TextTable
{
public:
    void addRow(const QStringList& cells) { m_rows.append(cells); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    QString render(const QString& indent = QString()) const;

private:
    QList<QStringList> m_rows;
};
