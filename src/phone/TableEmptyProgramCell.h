#pragma once

#include <QString>

class QPainter;
class QRect;

// The one cell of a list that has no shows: a centred message.
class TableEmptyProgramCell
{
public:
    QString messageLabel;

    void paint(QPainter* painter, const QRect& rect) const;
};
