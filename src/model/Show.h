#pragma once

#include "platform/Error.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

// A show on a channel's schedule. Built from the server's show dictionary; times stay in
// server time until the screen that builds the show shifts them. Texts are null when absent.
class Show
{
public:
    // Participant roles ("amp").
    static constexpr int ActorRole = 1;
    static constexpr int DirectorRole = 2;
    static constexpr int AnchorRole = 12;

    Show() = default;
    static std::shared_ptr<Show> initWithDictionary(const QVariantMap& dictionary);
    static std::shared_ptr<Show> initWithDictionary(const QVariantMap& dictionary, bool forPad);

    // Sorts participants by role: 1 actors, 2 directors, 12 anchors; others are dropped.
    void prepareParticipants(const QVariantList& participants);
    // The plain facts text: genre, actors, anchors, directors, production.
    QString composeBriefInfo() const { return composeBriefInfoForPad(false); }
    QString composeBriefInfoForPad(bool forPad) const;
    // The facts as an HTML document, in the phone's style or one of the tablet's two.
    QString getHTMLBodyInfo() const { return getHTMLBodyInfo(false, false); }
    QString getHTMLBodyInfo(bool forPad, bool details) const;

    // Calendar reminders: one event per show and channel name in the "Orvane" calendar.
    bool checkDuplicateEventsWithChannelName(const QString& channelName) const;
    // False when the show already has its event, or when it could not be saved (why: error,
    // when given; it stays empty for a duplicate). The calendar is looked up once, so the
    // duplicate check and the event use the same one.
    bool addToCalendarWithChanName(const QString& channelName,
                                   const std::optional<QDateTime>& alarmDate = std::nullopt,
                                   Error* error = nullptr) const;
    bool deleteFromCalendarWithChanName(const QString& channelName) const;

    // The category's icon image name and label (a string-table text).
    QString iconName() const;
    QString showCategoryString() const;
    void setShowCategoryString(const QString& text) { m_showCategoryString = text; }

    // The archived form (the listed fields only) and its reader.
    QByteArray encodeWithCoder() const;
    static std::shared_ptr<Show> initWithCoder(const QByteArray& archive, QString* error = nullptr);

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

private:
    QString m_showCategoryString;
};
