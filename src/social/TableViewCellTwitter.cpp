#include "TableViewCellTwitter.h"

#include "Tweet.h"

#include "platform/StringTable.h"
#include "ui/Images.h"

#include <QPainter>
#include <QTextLayout>

namespace {

void background(QPainter* painter, const QRect& rect, bool highlighted)
{
    painter->fillRect(rect, highlighted ? QColor(0xdd, 0xe3, 0xf7) : QColor(Qt::white));
    painter->setPen(QColor(0xe2, 0xe4, 0xec));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
}

} // namespace

void TableViewCellTwitter::paint(QPainter* painter, const QRect& rect, const Tweet& tweet, bool highlighted)
{
    background(painter, rect, highlighted);
    QImage photo = tweet.thumbnail();
    if (photo.isNull())
        photo = Images::named(QStringLiteral("no_photo.png")).toImage();
    const QRect image(rect.left() + 10, rect.top() + 10, 48, 48);
    painter->drawImage(image, photo.scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    const int left = image.right() + 10;
    const int width = rect.right() - 28 - left;
    QFont font;
    font.setPixelSize(14);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(QColor(0x20, 0x22, 0x2e));
    const QString time = tweet.tweetTimeDisplay();
    QFont small;
    small.setPixelSize(12);
    const int timeWidth = QFontMetrics(small).horizontalAdvance(time) + 6;
    painter->drawText(
        QRect(left, rect.top() + 6, width - timeWidth, 20), Qt::AlignLeft | Qt::AlignVCenter,
        painter->fontMetrics().elidedText(tweet.senderUsername(), Qt::ElideRight, width - timeWidth));
    painter->setFont(small);
    painter->setPen(QColor(0x6b, 0x70, 0x85));
    painter->drawText(QRect(left, rect.top() + 6, width, 20), Qt::AlignRight | Qt::AlignVCenter, time);

    // The text on the lines the row has room for (three in a phone row), the last elided.
    QFont body;
    body.setPixelSize(13);
    painter->setFont(body);
    painter->setPen(QColor(0x30, 0x33, 0x40));
    const QFontMetrics metrics(body);
    QTextLayout layout(tweet.text().left(1000).simplified(), body);
    layout.beginLayout();
    int y = rect.top() + 28;
    const int lines = std::clamp((rect.bottom() - 4 - y) / metrics.lineSpacing(), 1, 3);
    for (int lineNumber = 0; lineNumber < lines; ++lineNumber) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        const bool last = lineNumber == lines - 1;
        const QString text = layout.text().mid(line.textStart(), last ? -1 : line.textLength());
        painter->drawText(QPoint(left, y + metrics.ascent()),
                          last ? metrics.elidedText(text, Qt::ElideRight, width) : text);
        y += metrics.lineSpacing();
    }
    layout.endLayout();
    painter->setPen(QColor(0xa0, 0xa4, 0xb4));
    painter->drawText(QRect(rect.right() - 24, rect.top(), 16, rect.height()), Qt::AlignCenter,
                      QStringLiteral("›"));
}

void TableViewCellTwitter::paintShowMore(QPainter* painter, const QRect& rect, bool highlighted)
{
    background(painter, rect, highlighted);
    QFont font;
    font.setPixelSize(15);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(QColor(0x2b, 0x5d, 0xb8));
    painter->drawText(rect, Qt::AlignCenter, StringTable::localized("Show more"));
}
