#include "ProgrammeDay.h"

#include <QLocale>

ProgrammeDay::ProgrammeDay(const QTimeZone& zone) : m_zone(zone)
{
    const int hours = zone.offsetFromUtc(QDateTime::currentDateTimeUtc()) / 3600;
    m_boundary = std::max(0, hours + 1);
}

bool ProgrammeDay::window(const QString& day, qint64* start, qint64* end) const
{
    const QDate date = QDate::fromString(day, u"yyyyMMdd");
    if (day.size() != 8 || !date.isValid())
        return false;
    *start = QDateTime(date, QTime(m_boundary, 0), m_zone).toSecsSinceEpoch();
    *end = QDateTime(date.addDays(1), QTime(m_boundary, 0), m_zone).toSecsSinceEpoch();
    return true;
}

QString ProgrammeDay::dayOf(qint64 moment) const
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(moment, m_zone);
    const QDate date = local.time().hour() < m_boundary ? local.date().addDays(-1) : local.date();
    return QLocale::c().toString(date, u"yyyyMMdd");
}
