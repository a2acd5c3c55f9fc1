#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Rows of the schedule store.

struct StoreCity
{
    int id = 0;
    QString name;
    int utcOffsetMinutes = 180;
    // Where the city is, in degrees; none when unknown.
    std::optional<double> latitude;
    std::optional<double> longitude;
};

struct StoreCategory
{
    int id = 0;
    QString name;
    int order = 0;
};

struct StoreChannel
{
    int id = 0;
    QString xmltvId;
    QString name;
    QString logo; // a path under gfx/, "/logos/27.png"
    bool isTv = true;
    int categoryId = 0;
    bool autoDetection = false;
    QString slogan;
    bool livePictures = false;
};

struct StoreParticipant
{
    int role = 1; // 1 actor, 2 director, 12 presenter
    QString name;
    QString url;
};

struct StoreProgramme
{
    qint64 id = 0;
    int channelId = 0;
    qint64 start = 0; // seconds since 1970, UTC
    qint64 stop = 0;
    QString title;
    QString subTitle;
    QString description;
    QString genre;
    int category = 0; // the application's show category (1 film, 2 series, 3 sport, ...)
    QString country;
    int year = 0;
    QString company;
    QString image;    // a path under gfx/
    QString imageBig; // a path under gfx/
    QStringList gallery;
    double imdbRating = 0;
    int imdbVotes = 0;
    double kpRating = 0;
    int kpVotes = 0;
    int kpIndex = 0;
    QList<StoreParticipant> participants;
};

// Channel talk, and the statuses of the microblog service (those have a userId).
struct StoreMessage
{
    qint64 id = 0; // 0: the store numbers it
    qint64 userId = 0;
    qint64 retweetOf = 0;
    int channelId = 0;
    qint64 time = 0; // seconds since 1970, UTC
    QString senderId;
    QString senderName;
    QString screenName;
    QString profileImageUrl;
    QString text;
    QString source;
    QString replyToId;
    QString replyToScreenName;
    QString mediaUrl;
};

struct StoreUser
{
    qint64 id = 0;
    QString screenName;
    QString name;
    QString description;
    qint64 created = 0;
    bool suspended = false;
};

// An OAuth 1.0a token of the microblog service: temporary (request) or access.
struct StoreToken
{
    enum Kind
    {
        Request = 0,
        Access = 1
    };
    QString token;
    QString secret;
    int kind = Request;
    QString consumer;
    qint64 userId = 0; // an access token's user, or the user who authorized a request token
    QString callback;
    QString verifier;
    qint64 created = 0;
};
