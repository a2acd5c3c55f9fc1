#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <optional>

// The cities the content server knows, as its city list answers them
// ({"cities": {ID: [id, name, ...], ..., "c": count}}), sorted by name.
class CityList
{
public:
    struct City
    {
        QVariantList citydata; // the server's record; element 1 is the display name
        QString cityId;        // "CITY_ID"
        QString name() const;
    };

    // Sorted by name (Russian collation, case-insensitive); none for an answer of another shape.
    static std::optional<QList<City>> citiesFromAnswer(const QVariant& answer);
    // The first city, in list order, whose lower-cased name matches the area name's first
    // word (and its second, when it has one) taken as regular expressions; -1 for none. A
    // word that is not a valid pattern matches as plain text.
    static int searchCityByName(const QList<City>& cities, const QString& areaName);
    // The name of the city nearest to a place (degrees), among those whose record carries
    // its place (elements 3 and 4), when it is at most maxKilometres away; empty otherwise.
    static QString nearestCityName(const QList<City>& cities, double latitude, double longitude,
                                   double maxKilometres = 50);
};
