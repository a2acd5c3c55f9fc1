#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

class Show;

// What the show details screen shows and offers, computed without painting: its sections
// and rows, heights, the stars of a rating, the menu by the time left to the start, the
// text shared, and what the calendar entry does.
namespace ShowDetailsLogic {

enum Section
{
    ChannelSection = 0,
    ShowSection = 1,
    InfoSection = 2,
    DescriptionSection = 3
};

// Rows per section, in order: channel 1, show 1, info (rating row when there is a rating,
// then the fact row), description 1 when there is one.
QList<int> rowsPerSection(const Show& show);
bool hasRating(const QVariantMap& rating);
// 26 points per database present, at least 44.
int ratingRowHeight(const QVariantMap& rating);
// The ten star images of a rating out of 10.
QStringList starImages(double rating);
// The header text of a section (none for the channel).
QString headerText(int section, const Show& show);

// The menu's buttons (string-table keys): "Share a tweet", the calendar entry when the
// calendar may be used, "Cancel" last.
QStringList menuButtons(bool calendarAllowed, bool hasEvent);
// The calendar is offered only for shows starting more than 300 s from now.
bool offersCalendar(const QDateTime& start, const QDateTime& now);
// The shared text by the show's times against now (empty at an exact boundary).
QString shareText(const QString& channelName, const Show& show, const QDateTime& now);

enum class CalendarAction
{
    Delete,
    AddNow,
    PickAlarm
};
CalendarAction calendarAction(bool hasEvent, const QDateTime& start, const QDateTime& now, bool portrait);
// The outside movie-information site of the "kp_" ratings: its domain (for cookies, with
// a leading dot) and the mobile page of a movie by its index.
QString movieSiteDomain();
QUrl movieSitePage(const QString& index);

// The alarm picker's bounds: now + 300 s to start - 300 s, in 5-minute steps.
QDateTime alarmEarliest(const QDateTime& now);
QDateTime alarmLatest(const QDateTime& start);

} // namespace ShowDetailsLogic
