#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QPainter;
class Tweet;

// A tweet row of the tablet's Twitter screens, painted: the author's picture, name, "@name",
// time and text; rows alternate their shade; the product mark ("IMG" when the tweet carries
// a picture) on tweets posted from this application. Also the list's empty and loading rows.
class ORVTwitterCell
{
public:
    static inline const QString ReuseIdentifier = QStringLiteral("tw-common-cell");
    static constexpr int TextWidth = 585;
    static constexpr int EmptyHeight = 60;
    static constexpr int LoadingHeight = 30;

    // The text laid out in Helvetica 18 within 585 points (at most 999), less 10, plus 77;
    // 67 without text.
    static int heightForTweet(const Tweet& tweet);
    // photo: the author's picture, or null for "no_photo.png".
    static void paint(QPainter* painter, const QRect& rect, const Tweet& tweet, const QImage& photo, int row,
                      bool highlighted);
    static void paintMessage(QPainter* painter, const QRect& rect, const QString& message);
    static void paintLoading(QPainter* painter, const QRect& rect);
    static QFont textFont();
};
