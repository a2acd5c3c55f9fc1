#include "ORVTwitterCell.h"

#include "platform/Printf.h"
#include "social/Tweet.h"
#include "ui/Images.h"

#include <QFontMetrics>
#include <QPainter>

QFont ORVTwitterCell::textFont()
{
    QFont font(QStringLiteral("Helvetica"));
    font.setPixelSize(18);
    return font;
}

int ORVTwitterCell::heightForTweet(const Tweet& tweet)
{
    if (tweet.text().isEmpty())
        return 67;
    const QRect bounds =
        QFontMetrics(textFont()).boundingRect(QRect(0, 0, TextWidth, 999), Qt::TextWordWrap, tweet.text());
    return std::min(bounds.height(), 999) - 10 + 77;
}

void ORVTwitterCell::paint(QPainter* painter, const QRect& rect, const Tweet& tweet, const QImage& photo,
                           int row, bool highlighted)
{
    painter->save();
    const QColor shade = highlighted ? QColor(0xd6, 0xe6, 0xf5)
                                     : (row % 2 == 0 ? QColor(0xf7, 0xf7, 0xf7) : QColor(0xec, 0xee, 0xf0));
    painter->fillRect(rect, shade);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect photoRect(rect.left() + 12, rect.top() + 12, 48, 48);
    if (!photo.isNull())
        painter->drawImage(photoRect, photo);
    else
        painter->drawPixmap(photoRect, Images::named(QStringLiteral("no_photo.png")));

    const int left = photoRect.right() + 14;
    QFont font(QStringLiteral("Helvetica"));
    font.setPixelSize(16);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(QColor(0x1d, 0x1d, 0x1f));
    const QRect head(left, rect.top() + 8, rect.right() - left - 12, 22);
    const QString name = QFontMetrics(font).elidedText(tweet.senderName(), Qt::ElideRight, head.width() / 2);
    painter->drawText(head, Qt::AlignLeft | Qt::AlignVCenter, name);
    const int nameWidth = QFontMetrics(font).horizontalAdvance(name) + 8;
    font.setBold(false);
    font.setPixelSize(14);
    painter->setFont(font);
    painter->setPen(QColor(0x80, 0x80, 0x88));
    painter->drawText(head.adjusted(nameWidth, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                      Printf::format(QStringLiteral("@%@"), {tweet.senderUsername()}));
    painter->drawText(head, Qt::AlignRight | Qt::AlignVCenter, tweet.tweetTimeDisplay());

    painter->setFont(textFont());
    painter->setPen(QColor(0x22, 0x22, 0x22));
    painter->drawText(
        QRect(left, rect.top() + 34, std::min(TextWidth, rect.right() - left - 12), rect.height() - 40),
        Qt::TextWordWrap, tweet.text());

    if (tweet.isOrvane()) {
        const QString mark = tweet.mediaImgUrl().isEmpty() ? QStringLiteral("Orvane") : QStringLiteral("IMG");
        font.setPixelSize(11);
        font.setBold(true);
        painter->setFont(font);
        const int width = QFontMetrics(font).horizontalAdvance(mark) + 12;
        const QRect badge(rect.right() - width - 10, rect.bottom() - 22, width, 16);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0x2f, 0x7c, 0xf6));
        painter->setRenderHint(QPainter::Antialiasing);
        painter->drawRoundedRect(badge, 4, 4);
        painter->setPen(Qt::white);
        painter->drawText(badge, Qt::AlignCenter, mark);
    }
    painter->setPen(QColor(0xd0, 0xd0, 0xd4));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}

void ORVTwitterCell::paintMessage(QPainter* painter, const QRect& rect, const QString& message)
{
    painter->save();
    painter->fillRect(rect, QColor(0xf7, 0xf7, 0xf7));
    QFont font(QStringLiteral("Helvetica"));
    font.setPixelSize(17);
    painter->setFont(font);
    painter->setPen(QColor(0x70, 0x70, 0x78));
    painter->drawText(rect, Qt::AlignCenter, message);
    painter->restore();
}

void ORVTwitterCell::paintLoading(QPainter* painter, const QRect& rect)
{
    painter->save();
    painter->fillRect(rect, QColor(0xf0, 0xf0, 0xf2));
    painter->setPen(QColor(0x90, 0x90, 0x98));
    painter->drawText(rect, Qt::AlignCenter, QStringLiteral("…"));
    painter->restore();
}
