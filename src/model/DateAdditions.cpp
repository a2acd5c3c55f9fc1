#include "DateAdditions.h"

#include "DateHelper.h"

#include "platform/Printf.h"
#include "platform/StringTable.h"

#include <QLocale>

#include <cmath>

QString DateAdditions::duration(const QDateTime& start, const QDateTime& end, const char* hoursKey,
                                const char* minutesKey)
{
    if (!start.isValid() || !end.isValid())
        return {};
    const double minutes = double(start.msecsTo(end)) / 1000.0 / 60.0;
    const double hours = minutes / 60.0;
    QString text;
    if (hours >= 1)
        text += Printf::format(StringTable::localized(hoursKey), {std::floor(hours)});
    if (minutes >= 1)
        text += Printf::format(StringTable::localized(minutesKey), {minutes - 60.0 * std::floor(hours)});
    return text;
}

QString DateAdditions::getDurationUntilDate(const QDateTime& start, const QDateTime& end)
{
    return duration(start, end, QT_TRANSLATE_NOOP("orv_localizable", "%0.f hour(s) "),
                    QT_TRANSLATE_NOOP("orv_localizable", "%0.f mins"));
}

QString DateAdditions::getBriefDurationUntilDate(const QDateTime& start, const QDateTime& end)
{
    return duration(start, end, QT_TRANSLATE_NOOP("orv_localizable", "%0.fh"),
                    QT_TRANSLATE_NOOP("orv_localizable", " %0.fm"));
}

QString DateAdditions::getTimeIntervalToDate(const QDateTime& start, const QDateTime& end)
{
    return getTime(start) + Printf::format(QStringLiteral(" - %@"), {getTime(end)});
}

QString DateAdditions::getDateAndIntervalUntilDate(const QDateTime& start, const QDateTime& end)
{
    if (!end.isValid())
        return {};
    return DateHelper::fullDateText(start) + QStringLiteral(", ") + getTime(start) +
           Printf::format(QStringLiteral("-%@"), {getTime(end)});
}

QString DateAdditions::getYearDay(const QDateTime& date)
{
    return DateHelper::fullDateText(date);
}

QString DateAdditions::getDayOfWeek(const QDateTime& date)
{
    return DateHelper::displayLocale().dayName(date.toLocalTime().date().dayOfWeek(), QLocale::LongFormat);
}

QString DateAdditions::getDayOfWeekImproved(const QDateTime& date)
{
    return getDayOfWeekImproved(date, QDateTime::currentDateTime());
}

QString DateAdditions::getDayOfWeekImproved(const QDateTime& date, const QDateTime& now)
{
    const QDate day = date.toLocalTime().date();
    const QDate today = now.toLocalTime().date();
    if (day == today)
        return StringTable::localized("today");
    const bool sameMonth = day.year() == today.year() && day.month() == today.month();
    if (sameMonth && day.day() == today.day() - 1)
        return StringTable::localized("yesterday");
    if (sameMonth && day.day() == today.day() + 1)
        return StringTable::localized("tomorrow");
    return getDayOfWeek(date);
}

QString DateAdditions::getTime(const QDateTime& date)
{
    return DateHelper::timeText(date);
}
