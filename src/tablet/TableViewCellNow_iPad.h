#pragma once

#include <QImage>
#include <QString>

class QPainter;
class QRect;

// The now board's row of a channel: its logo and name, the picture of the show on air, the
// show's name and description, its times with a circular progress and the time left, and
// what comes next. Painted into a row's rectangle.
class TableViewCellNow_iPad
{
public:
    static constexpr int Height = 150;

    QImage channelLogo;
    QImage showPicture;
    QString channelName;
    QString showName;
    QString description;
    QString nextShow;
    QString startTime;
    QString endTime;
    QString remaining;
    double progress = 0; // 0..1
    bool highlighted = false;

    void paint(QPainter* painter, const QRect& rect) const;
};
