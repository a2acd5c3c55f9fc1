#include "CityList.h"

#include "platform/JsonValue.h"

#include <QCollator>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

QString CityList::City::name() const
{
    return JsonValue::text(citydata.value(1));
}

std::optional<QList<CityList::City>> CityList::citiesFromAnswer(const QVariant& answer)
{
    const QVariantMap root = JsonValue::map(answer);
    if (!JsonValue::isMap(root.value(QStringLiteral("cities"))))
        return std::nullopt;
    const QVariantMap records = root.value(QStringLiteral("cities")).toMap();
    QList<City> cities;
    for (auto it = records.begin(); it != records.end(); ++it) {
        if (it.key() == u"c")
            continue;
        cities.append({JsonValue::list(it.value()), it.key()});
    }
    QCollator collator(QLocale(QLocale::Russian));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(cities.begin(), cities.end(), [&collator](const City& a, const City& b) {
        return collator.compare(a.name(), b.name()) < 0;
    });
    return cities;
}

int CityList::searchCityByName(const QList<City>& cities, const QString& areaName)
{
    const QStringList words = areaName.toLower().split(u' ', Qt::SkipEmptyParts);
    if (cities.isEmpty() || words.isEmpty())
        return -1;
    const auto pattern = [](const QString& word) {
        QRegularExpression expression(word);
        return expression.isValid() ? expression : QRegularExpression(QRegularExpression::escape(word));
    };
    const QRegularExpression first = pattern(words[0]);
    const std::optional<QRegularExpression> second =
        words.size() >= 2 ? std::optional(pattern(words[1])) : std::nullopt;
    for (int i = 0; i < cities.size(); ++i) {
        const QString name = cities[i].name().toLower();
        if (name.contains(first) && (!second || name.contains(*second)))
            return i;
    }
    return -1;
}

QString CityList::nearestCityName(const QList<City>& cities, double latitude, double longitude,
                                  double maxKilometres)
{
    // Great-circle distance on a sphere of the Earth's mean radius.
    constexpr double EarthRadiusKm = 6371.0;
    constexpr double Radians = 3.14159265358979323846 / 180.0;
    QString nearest;
    double best = maxKilometres;
    for (const City& city : cities) {
        if (city.citydata.size() < 5 || !JsonValue::isNumber(city.citydata[3]) ||
            !JsonValue::isNumber(city.citydata[4]))
            continue;
        const double lat = JsonValue::number(city.citydata[3]) * Radians;
        const double lon = JsonValue::number(city.citydata[4]) * Radians;
        const double dLat = lat - latitude * Radians;
        const double dLon = lon - longitude * Radians;
        const double a = std::sin(dLat / 2) * std::sin(dLat / 2) + std::cos(latitude * Radians) *
                                                                       std::cos(lat) * std::sin(dLon / 2) *
                                                                       std::sin(dLon / 2);
        const double distance = 2 * EarthRadiusKm * std::asin(std::min(1.0, std::sqrt(a)));
        if (distance <= best) {
            best = distance;
            nearest = city.name();
        }
    }
    return nearest;
}
