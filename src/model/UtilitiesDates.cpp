// The date operations of Utilities.
#include "Utilities.h"

#include <QLocale>
#include <QTimeZone>

QDateTime Utilities::distantPast()
{
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
}

QDateTime Utilities::optimizeDateForORVProgram(const QDateTime& date)
{
    const int hour = date.toLocalTime().time().hour();
    const int zoneSeconds = QDateTime::currentDateTime().offsetFromUtc();
    if (hour < zoneSeconds / 3600 + 1)
        return date.addSecs(-86400);
    return date;
}

QString Utilities::stringFromDate(const QDateTime& date)
{
    const QDateTime moment = date.isValid() ? date : distantPast();
    return QLocale::c().toString(moment.toLocalTime(), u"yyyyMMdd");
}

QString Utilities::stringFromDate2(const QDateTime& date)
{
    // Six fractional digits; the moment has millisecond precision.
    const QDateTime moment = date.isValid() ? date : distantPast();
    return QLocale::c().toString(moment.toLocalTime(), u"yyyy-MM-dd HH:mm:ss.zzz") + QStringLiteral("000");
}
