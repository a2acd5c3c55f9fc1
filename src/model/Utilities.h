#pragma once

#include <QDateTime>
#include <QString>

// Class operations shared by services and screens: day texts for the server and the caches,
// and the mapping of server channel ids to the ids of the chosen city.
class Utilities
{
public:
    // The calendar day of a moment in the device's time zone as "yyyyMMdd"; the distant
    // past (year 1) for an invalid moment.
    static QString stringFromDate(const QDateTime& date);

    // Server channel id -> the city's id for it, through the chosen city's channel map;
    // unchanged without a map or without an entry.
    static int intLocalIdFromMap(int channelId);
    // As above for a text id; a null text without a map gives "0".
    static QString stringLocalIdFromMap(const QString& channelId);

    // The distant past: the first moment of year 1, UTC.
    static QDateTime distantPast();
};
