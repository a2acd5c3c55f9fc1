#pragma once

#include "ui/ListTableSource.h"

#include <QImage>
#include <QString>

class QPainter;
class QRect;

// A row of the channel selector: a 30 x 30 picture 10 points from the left, the text 10
// points right of it (shrunk down to 10 points to fit, then cut at the tail). Header rows
// (a category) have a light background and a bold label with an arrow telling whether the
// section is open; channel rows may carry an accessory picture on the right.
class ExTableViewCellHeader
{
public:
    static constexpr int ImageSize = 30;
    static constexpr int AccessorySize = 25;

    QImage imageViewPhoto;
    QString labelText;
    bool isHeader = false;
    bool isExpanded = false;
    QString accessoryImageName;

    void paint(QPainter* painter, const QRect& rect, ListTableSource::RowState state) const;
};
