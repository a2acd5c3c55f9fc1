#include "TextTable.h"

QString TextTable::render(const QString& indent) const
{
    QList<int> widths;
    for (const QStringList& row : m_rows) {
        for (int i = 0; i < row.size(); ++i) {
            if (widths.size() <= i)
                widths.append(0);
            widths[i] = std::max(widths[i], int(row[i].size()));
        }
    }
    QStringList lines;
    for (const QStringList& row : m_rows) {
        QString line = indent;
        for (int i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        lines << line;
    }
    return lines.join(u'\n');
}
