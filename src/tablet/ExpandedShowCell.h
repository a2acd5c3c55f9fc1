#pragma once

#include <QImage>
#include <QString>

class QPainter;
class QRect;

// A row of one show in the tablet's lists (the next shows of an expanded channel, a
// channel's programme): picture on the left, caption and description, the start time and
// how long it runs on the right. A show that has ended is drawn disabled: dimmed texts under
// a grey cover. Painted into a row's rectangle.
class ExpandedShowCell
{
public:
    static constexpr int Height = 70;

    QImage picture;
    QString caption;
    QString description;
    QString startTime;
    QString duration;
    bool enabled = true;
    bool highlighted = false;

    void paint(QPainter* painter, const QRect& rect) const;
    // The caption of a show: its name, with the subtitle in brackets when it has one.
    static QString captionFor(const QString& name, const QString& subTitle);
};
