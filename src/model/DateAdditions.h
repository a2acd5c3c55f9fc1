#pragma once

#include <QDateTime>
#include <QString>

// Display texts of a moment (the receiver, usually a show's start) and of spans from it,
// in the device's time zone and locale, with the string table's keys.
class DateAdditions
{
public:
    // "%0.f hour(s) " with the whole hours, then "%0.f mins" with the rest; empty under a
    // minute or for an invalid end.
    static QString getDurationUntilDate(const QDateTime& start, const QDateTime& end);
    // The same with "%0.fh" and " %0.fm".
    static QString getBriefDurationUntilDate(const QDateTime& start, const QDateTime& end);
    // "20:00 - 21:30".
    static QString getTimeIntervalToDate(const QDateTime& start, const QDateTime& end);
    // Long date and short time of the start, then "-" and the end's short time.
    static QString getDateAndIntervalUntilDate(const QDateTime& start, const QDateTime& end);
    static QString getYearDay(const QDateTime& date);
    static QString getDayOfWeek(const QDateTime& date);
    // "today", "yesterday", "tomorrow" (same month and year only) or the week-day name.
    static QString getDayOfWeekImproved(const QDateTime& date);
    static QString getDayOfWeekImproved(const QDateTime& date, const QDateTime& now);
    static QString getTime(const QDateTime& date);

private:
    static QString duration(const QDateTime& start, const QDateTime& end, const char* hoursKey,
                            const char* minutesKey);
};
