#include "DateHelper.h"

#include "platform/Printf.h"
#include "platform/StringTable.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// The locale's long date pattern without the weekday: "d MMMM yyyy 'г'.", "MMMM d, yyyy".
QString longDatePattern()
{
    QString pattern = DateHelper::displayLocale().dateFormat(QLocale::LongFormat);
    static const QRegularExpression weekday(QStringLiteral("d{4}[,.]?\\s*"));
    pattern.remove(weekday);
    return pattern.trimmed();
}

} // namespace

QLocale DateHelper::displayLocale()
{
    return QLocale(QLocale::Russian, QLocale::Russia);
}

QString DateHelper::timeText(const QDateTime& date)
{
    return DateHelper::displayLocale().toString(date.toLocalTime().time(), QLocale::ShortFormat);
}

QString DateHelper::dateTimeText(const QDateTime& date)
{
    const QDateTime local = date.toLocalTime();
    return DateHelper::displayLocale().toString(local.date(), QLocale::ShortFormat) + u' ' +
           DateHelper::displayLocale().toString(local.time(), QLocale::ShortFormat);
}

QString DateHelper::fullDateText(const QDateTime& date)
{
    static const QString pattern = longDatePattern();
    return DateHelper::displayLocale().toString(date.toLocalTime().date(), pattern);
}

QString DateHelper::stringFromDateInPast(const QDateTime& date, const QString& format) const
{
    return stringFromDateInPast(date, format, QDateTime::currentDateTime());
}

QString DateHelper::stringFromDateInPast(const QDateTime& date, const QString& format,
                                         const QDateTime& now) const
{
    if (!date.isValid())
        return {};
    const QDate day = date.toLocalTime().date();
    const QDate today = now.toLocalTime().date();
    if (day == today)
        return Printf::format(StringTable::localized("at %@"), {timeText(date)});
    if (day.year() == today.year() && day.month() == today.month() && day.day() == today.day() - 1)
        return Printf::format(StringTable::localized("yesterday at %@"), {timeText(date)});
    if (date.secsTo(now) > 2592000)
        return Printf::format(format, {fullDateText(date)});
    return Printf::format(format, {dateTimeText(date)});
}

QString DateHelper::stringWithDateAndTimeFromDate(const QDateTime& date)
{
    if (!date.isValid())
        return {};
    return QLocale::c().toString(date.toLocalTime(), u"yyyy-MM-dd HH:mm:ss");
}
