#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

// Programme days in the server's zone: a day "yyyyMMdd" runs from the boundary hour of that
// date to the boundary hour of the next, the boundary being the zone's whole hours east of
// GMT plus one (04:00 in GMT+3), and 00:00 west of GMT: the same rule the application
// applies in its own zone.
class ProgrammeDay
{
public:
    explicit ProgrammeDay(const QTimeZone& zone = QTimeZone::systemTimeZone());

    // [start, end) of a day in seconds since 1970; false for a text that is not a date.
    bool window(const QString& day, qint64* start, qint64* end) const;
    // The programme day a moment belongs to, as "yyyyMMdd".
    QString dayOf(qint64 moment) const;
    int boundaryHour() const { return m_boundary; }
    const QTimeZone& zone() const { return m_zone; }

private:
    QTimeZone m_zone;
    int m_boundary;
};
