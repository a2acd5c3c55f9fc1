#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

// A show on a channel's schedule: a plain record. Times are moments (invalid when absent);
// texts are null when absent.
class Show
{
public:
    QString showId;
    QString name;
    QString description;
    QString pictureName;
    QString bigPicture;
    QDateTime startTime;
    QDateTime endTime;
    QString subTitle;
    QString country;
    int year = 0;
    int showCategory = 0;
    QString genre;
    QVariantMap rating;
    QString pDate;
    QString productCompany;
    QVariantList actors;
    QVariantList directors;
    QVariantList anchorpersons;
    QString channelId;
    QString briefInfo;
    QString composedTitle;
    QImage thumbnail;
    QString calendarIdString;
    QString specialContentUrl;
    QString showCategoryString;
};
