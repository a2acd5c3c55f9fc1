#include "TableViewCellNow_iPad.h"

#include <QPainter>

#include <algorithm>

void TableViewCellNow_iPad::paint(QPainter* painter, const QRect& rect) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillRect(rect, highlighted ? QColor(0xe4, 0xe9, 0xf4) : Qt::white);
    painter->setPen(QColor(0xdc, 0xde, 0xe5));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());

    // Channel: logo and name on the left.
    const QRect logo(rect.left() + 20, rect.top() + 20, 64, 64);
    if (!channelLogo.isNull())
        painter->drawImage(logo,
                           channelLogo.scaled(logo.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    QFont font = painter->font();
    font.setPixelSize(12);
    painter->setFont(font);
    painter->setPen(QColor(0x5a, 0x5e, 0x6c));
    const QRect name(rect.left() + 6, logo.bottom() + 6, 92, 40);
    painter->drawText(name, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, channelName);

    // The show's picture.
    const QRect picture(rect.left() + 108, rect.top() + 15, 160, 120);
    if (!showPicture.isNull())
        painter->drawImage(
            picture,
            showPicture.scaled(picture.size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)
                .copy(QRect(QPoint(0, 0), picture.size())));

    // Times and progress on the right.
    const QRect ring(rect.right() - 86, rect.top() + 20, 60, 60);
    painter->setPen(QPen(QColor(0xe1, 0xe4, 0xec), 6));
    painter->drawEllipse(ring);
    painter->setPen(QPen(QColor(0x2f, 0x7d, 0xe1), 6, Qt::SolidLine, Qt::FlatCap));
    painter->drawArc(ring, 90 * 16, -int(std::clamp(progress, 0.0, 1.0) * 360 * 16));
    font.setPixelSize(13);
    painter->setFont(font);
    painter->setPen(QColor(0x22, 0x24, 0x2e));
    painter->drawText(ring, Qt::AlignCenter, startTime);
    painter->setPen(QColor(0x5a, 0x5e, 0x6c));
    const QRect below(rect.right() - 130, ring.bottom() + 8, 120, 40);
    painter->drawText(below, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, remaining);

    // The show: name, description, what comes next.
    const QRect text(picture.right() + 16, rect.top() + 14, below.left() - picture.right() - 28,
                     rect.height() - 28);
    font.setPixelSize(13);
    painter->setFont(font);
    painter->setPen(QColor(0x8a, 0x8e, 0x9c));
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop, startTime + QStringLiteral(" – ") + endTime);
    font.setPixelSize(20);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(QColor(0x22, 0x24, 0x2e));
    painter->drawText(text.adjusted(0, 18, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                      painter->fontMetrics().elidedText(showName, Qt::ElideRight, text.width()));
    font.setPixelSize(13);
    font.setBold(false);
    painter->setFont(font);
    painter->setPen(QColor(0x5a, 0x5e, 0x6c));
    painter->drawText(text.adjusted(0, 46, 0, -22), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                      description);
    painter->setPen(QColor(0x2f, 0x5f, 0xb3));
    painter->drawText(text, Qt::AlignLeft | Qt::AlignBottom,
                      painter->fontMetrics().elidedText(nextShow, Qt::ElideRight, text.width()));
    painter->restore();
}
