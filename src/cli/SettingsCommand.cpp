#include "SettingsCommand.h"

#include "CliSession.h"
#include "TextTable.h"

#include "model/CityList.h"
#include "model/PreferenceKeys.h"
#include "model/Utilities.h"
#include "platform/JsonValue.h"
#include "platform/Preferences.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"

namespace {

int show(CliSession& session)
{
    Preferences& defaults = Preferences::standard();
    const int city = defaults.contains(PreferenceKeys::CityId) ? defaults.integer(PreferenceKeys::CityId) : 1;
    const QString name = defaults.contains(PreferenceKeys::CityName)
                             ? defaults.string(PreferenceKeys::CityName)
                             : QStringLiteral("Москва");
    // Automatic identification and keep-awake belong to a running application: each start
    // begins with identification on and the screen allowed to sleep.
    TextTable table;
    table.addRow({StringTable::localized("My city"), QStringLiteral("%1 (%2)").arg(name).arg(city)});
    table.addRow({StringTable::localized("Autoupdate"), QStringLiteral("on at every start")});
    table.addRow({StringTable::localized("Dont Sleep mode"), QStringLiteral("off at every start")});
    session.report(QVariantMap{{QStringLiteral("cityId"), city},
                               {QStringLiteral("cityName"), name},
                               {QStringLiteral("autoUpdateEnabled"), 1},
                               {QStringLiteral("dontSleepEnabled"), 0}},
                   table.render());
    return 0;
}

int chooseCity(CliSession& session, const QString& wanted)
{
    const std::optional<QVariant> answer = session.request(
        [](const Reply& reply) { ServiceCalls::sharedManager().getCitiesForTimeZone(100, reply); });
    if (!answer)
        return 1;
    const std::optional<QList<CityList::City>> cities = CityList::citiesFromAnswer(*answer);
    if (!cities || cities->isEmpty()) {
        CliSession::fail(QStringLiteral("The server lists no cities."));
        return 1;
    }
    // An id, a name as written, or the first name the words match.
    int index = -1;
    for (int i = 0; i < cities->size() && index < 0; ++i) {
        if ((*cities)[i].cityId == wanted || (*cities)[i].name().compare(wanted, Qt::CaseInsensitive) == 0)
            index = i;
    }
    if (index < 0)
        index = CityList::searchCityByName(*cities, wanted);
    if (index < 0) {
        CliSession::fail(
            QStringLiteral("No city \"%1\" on the server (see: orvane-cli cities).").arg(wanted));
        return 1;
    }
    const CityList::City& city = (*cities)[index];
    const int cityId = city.cityId.toInt();
    const std::optional<QVariant> map = session.request(
        [cityId](const Reply& reply) { ServiceCalls::sharedManager().getMapListForCityID(cityId, reply); });
    if (!map)
        return 1;
    Preferences& defaults = Preferences::standard();
    defaults.setValue(PreferenceKeys::CityId, cityId);
    defaults.setValue(PreferenceKeys::CityName, city.name());
    defaults.setValue(PreferenceKeys::CityMapList,
                      JsonValue::map(JsonValue::map(*map).value(QStringLiteral("map"))));
    Utilities::clearShowCache();
    Utilities::clearChannProgramData();
    return show(session);
}

} // namespace

int SettingsCommand::run(CliSession& session)
{
    const QStringList arguments = session.options().arguments;
    if (arguments.isEmpty())
        return show(session);
    if (arguments.size() >= 2 && arguments[0] == u"city")
        return chooseCity(session, arguments.mid(1).join(u' ').trimmed());
    CliSession::fail(QStringLiteral("usage: settings [city ID|NAME]"));
    return 2;
}
