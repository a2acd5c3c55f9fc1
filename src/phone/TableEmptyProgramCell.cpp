#include "TableEmptyProgramCell.h"

#include <QPainter>

void TableEmptyProgramCell::paint(QPainter* painter, const QRect& rect) const
{
    QFont font;
    font.setPixelSize(15);
    painter->setFont(font);
    painter->setPen(QColor(0x6b, 0x70, 0x85));
    painter->drawText(rect.adjusted(20, 0, -20, 0), Qt::AlignCenter | Qt::TextWordWrap, messageLabel);
}
