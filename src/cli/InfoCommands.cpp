#include "InfoCommands.h"

#include "CliSession.h"
#include "TextTable.h"

#include "model/AppContext.h"
#include "model/CityList.h"
#include "platform/JsonValue.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"

#include <algorithm>

int InfoCommands::cities(CliSession& session)
{
    return session.answer(
        [](const Reply& reply) { ServiceCalls::sharedManager().getCitiesForTimeZone(100, reply); },
        [](const QVariant& answer) {
            QList<QStringList> rows;
            for (const CityList::City& city :
                 CityList::citiesFromAnswer(answer).value_or(QList<CityList::City>{}))
                rows.append({city.cityId, city.name()});
            TextTable table;
            for (const QStringList& row : rows)
                table.addRow(row);
            CliSession::print(table.render());
            return 0;
        });
}

int InfoCommands::ratings(CliSession& session)
{
    const int city = AppContext::current()->userCityId();
    return session.answer(
        [city](const Reply& reply) {
            ServiceCalls::sharedManager().getChannelRatingsWithCityId(city, reply);
        },
        [&session](const QVariant& answer) {
            const QVariantMap ratings = JsonValue::map(answer);
            QList<std::pair<double, QString>> rated;
            for (auto it = ratings.begin(); it != ratings.end(); ++it) {
                const QVariantList entry = JsonValue::list(it.value());
                rated.append({entry.isEmpty() ? 0.0 : JsonValue::number(entry.first()), it.key()});
            }
            std::stable_sort(rated.begin(), rated.end(),
                             [](const auto& a, const auto& b) { return a.first > b.first; });
            TextTable table;
            for (const auto& [rating, id] : rated)
                table.addRow({QString::number(rating, 'f', 2), id, session.channelName(id)});
            CliSession::print(table.render());
            return 0;
        });
}

int InfoCommands::mapList(CliSession& session)
{
    const int city = AppContext::current()->userCityId();
    return session.answer(
        [city](const Reply& reply) { ServiceCalls::sharedManager().getMapListForCityID(city, reply); },
        [](const QVariant& answer) {
            TextTable table;
            const QVariantMap map = JsonValue::map(JsonValue::map(answer).value(QStringLiteral("map")));
            for (auto it = map.begin(); it != map.end(); ++it)
                table.addRow({it.key(), QStringLiteral("→"), JsonValue::text(it.value())});
            CliSession::print(table.isEmpty() ? StringTable::localized("No channel map for this city.")
                                              : table.render());
            return 0;
        });
}

int InfoCommands::status(CliSession& session)
{
    return session.answer(
        [](const Reply& reply) { ServiceCalls::sharedManager().getAutoServiceStateWithDelegate(reply); },
        [](const QVariant& value) {
            const QVariantMap answer = JsonValue::map(value);
            if (answer.contains(QStringLiteral("nodata"))) {
                CliSession::print(StringTable::localized("The service status is not known."));
                return 0;
            }
            const bool working = JsonValue::integer(answer.value(QStringLiteral("ss_status"))) == 1;
            CliSession::print(working ? StringTable::localized("Identification service: working")
                                      : StringTable::localized("Identification service: not working"));
            CliSession::print(StringTable::localized("People online:") + u' ' +
                              JsonValue::text(answer.value(QStringLiteral("pon"))));
            return 0;
        });
}
