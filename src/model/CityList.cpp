#include "CityList.h"

#include "platform/JsonValue.h"

#include <QCollator>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

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
