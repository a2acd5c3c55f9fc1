#pragma once

#include "ui/ListTableSource.h"

#include <QImage>
#include <QString>

class QPainter;
class QRect;

// The cell of a show in the programme and search lists: a rounded panel with the start
// time, the duration and the day on the left, name and description in the middle and a
// picture on the right. Painted into a row's rectangle; a cell that is not enabled (the
// show has ended) draws its texts in the disabled style.
class TableViewCellProgram
{
public:
    static constexpr int CornerRadius = 8;

    QString labelTime;
    QString labelDuration;
    QString labelShowName;
    QString labelShowDescription;
    QString labelDay;
    QImage imageViewRight;
    int imageSize = 24; // points, square
    // A small category icon beside the day (search results); none when empty.
    QString categoryIconName;
    bool enabled = true;

    void paint(QPainter* painter, const QRect& rect, ListTableSource::RowState state) const;
};
