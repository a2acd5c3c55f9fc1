#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Relative phrasing of past moments and the plain date-and-time text, in the device's time
// zone and locale. An instance is used by one thread at a time.
class DateHelper
{
public:
    // "at 20:15" today, "yesterday at 20:15" for the previous day of the same month, else the
    // caller's format (one "%@") filled with the long date when more than 30 days back, or
    // with the short date and time otherwise. Null for an invalid date.
    QString stringFromDateInPast(const QDateTime& date, const QString& format) const;
    // The same, seen from the moment now.
    QString stringFromDateInPast(const QDateTime& date, const QString& format, const QDateTime& now) const;
    // "yyyy-MM-dd HH:mm:ss"; null for an invalid date.
    static QString stringWithDateAndTimeFromDate(const QDateTime& date);

    // The locale's short time, short date and time, and long date (month spelled, no weekday).
    // The locale of every date and time shown: Russian, whatever the process's locale (the
    // C locale would give English names and times with seconds).
    static QLocale displayLocale();
    static QString timeText(const QDateTime& date);
    static QString dateTimeText(const QDateTime& date);
    static QString fullDateText(const QDateTime& date);
};
