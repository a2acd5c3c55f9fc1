#include "ExpandedShowCell.h"

#include <QPainter>

QString ExpandedShowCell::captionFor(const QString& name, const QString& subTitle)
{
    return subTitle.isEmpty() ? name : name + QStringLiteral(" (%1)").arg(subTitle);
}

void ExpandedShowCell::paint(QPainter* painter, const QRect& rect) const
{
    painter->save();
    painter->fillRect(rect, highlighted ? QColor(0xdd, 0xe3, 0xf0) : QColor(0xf4, 0xf5, 0xf8));
    painter->setPen(QColor(0xdc, 0xde, 0xe5));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    const QRect pictureRect(rect.left() + 10, rect.top() + 6, 77, 58);
    if (!picture.isNull())
        painter->drawImage(
            pictureRect,
            picture.scaled(pictureRect.size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)
                .copy(QRect(QPoint(0, 0), pictureRect.size())));
    const QRect right(rect.right() - 110, rect.top() + 8, 100, rect.height() - 16);
    const QRect text(pictureRect.right() + 12, rect.top() + 8, right.left() - pictureRect.right() - 24,
                     rect.height() - 16);
    QFont font = painter->font();
    font.setPixelSize(16);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(enabled ? QColor(0x22, 0x24, 0x2e) : QColor(0x9a, 0x9d, 0xa8));
    painter->drawText(text.adjusted(0, 0, 0, -30), Qt::AlignLeft | Qt::AlignTop,
                      painter->fontMetrics().elidedText(caption, Qt::ElideRight, text.width()));
    font.setBold(false);
    font.setPixelSize(13);
    painter->setFont(font);
    painter->setPen(enabled ? QColor(0x5a, 0x5e, 0x6c) : QColor(0xb0, 0xb3, 0xbc));
    painter->drawText(text.adjusted(0, 22, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                      description);
    font.setPixelSize(18);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(enabled ? QColor(0x2f, 0x5f, 0xb3) : QColor(0x9a, 0x9d, 0xa8));
    painter->drawText(right, Qt::AlignRight | Qt::AlignTop, startTime);
    font.setPixelSize(12);
    font.setBold(false);
    painter->setFont(font);
    painter->drawText(right, Qt::AlignRight | Qt::AlignBottom, duration);
    if (!enabled)
        painter->fillRect(rect, QColor(128, 128, 128, 40));
    painter->restore();
}
