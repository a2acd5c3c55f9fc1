#include "ExTableViewCellHeader.h"

#include "ui/Images.h"

#include <QFontMetrics>
#include <QPainter>

void ExTableViewCellHeader::paint(QPainter* painter, const QRect& rect, ListTableSource::RowState state) const
{
    painter->setRenderHint(QPainter::Antialiasing);
    QColor background = isHeader ? QColor(0xee, 0xf0, 0xf8) : QColor(Qt::white);
    if (state.highlighted)
        background = QColor(0xdd, 0xe3, 0xf7);
    painter->fillRect(rect, background);
    painter->setPen(QColor(0xe2, 0xe4, 0xec));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());

    const QRect image(rect.left() + 10, rect.center().y() - ImageSize / 2 + 1, ImageSize, ImageSize);
    if (!imageViewPhoto.isNull()) {
        const qreal ratio = painter->device()->devicePixelRatio();
        const QImage scaled =
            imageViewPhoto.scaled(image.size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QRect target(QPoint(0, 0), scaled.size() / ratio);
        target.moveCenter(image.center());
        painter->drawImage(target, scaled);
    }

    int right = rect.right() - 10;
    if (isHeader) {
        painter->setPen(QColor(0x5b, 0x66, 0xab));
        QFont arrow;
        arrow.setPixelSize(14);
        painter->setFont(arrow);
        painter->drawText(QRect(right - 16, rect.top(), 16, rect.height()), Qt::AlignCenter,
                          isExpanded ? QStringLiteral("▾") : QStringLiteral("▸"));
        right -= 24;
    } else if (!accessoryImageName.isEmpty() && Images::exists(accessoryImageName)) {
        const QRect accessory(right - AccessorySize, rect.center().y() - AccessorySize / 2 + 1, AccessorySize,
                              AccessorySize);
        painter->drawPixmap(accessory, Images::named(accessoryImageName));
        right = accessory.left() - 8;
    }

    // The label shrinks from 16 down to 10 points before it is cut.
    const QRect label(image.right() + 11, rect.top(), std::max(10, right - image.right() - 11),
                      rect.height());
    QFont font;
    font.setBold(isHeader);
    int size = 16;
    for (; size > 10; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(labelText) <= label.width())
            break;
    }
    font.setPixelSize(size);
    painter->setFont(font);
    painter->setPen(QColor(0x20, 0x22, 0x2e));
    painter->drawText(label, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(font).elidedText(labelText, Qt::ElideRight, label.width()));
}
