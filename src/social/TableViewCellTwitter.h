#pragma once

#include <QRect>

class QPainter;
class Tweet;

// A tweet row as lists paint it: the author's picture, the screen name, the time and the text
// (elided to the row), with a disclosure mark. Text is drawn as text, never as markup.
class TableViewCellTwitter
{
public:
    static constexpr int RowHeight = 84;
    static constexpr int ShowMoreHeight = 44;

    static void paint(QPainter* painter, const QRect& rect, const Tweet& tweet, bool highlighted);
    static void paintShowMore(QPainter* painter, const QRect& rect, bool highlighted);
};
