#include "DetailsCommand.h"

#include "CliSession.h"

#include "model/Channel.h"
#include "model/DateAdditions.h"
#include "model/Show.h"
#include "platform/JsonValue.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"

namespace {

// "IMDb 7.3 (12 345)" for each database that rated the show.
QString ratingLine(const QVariantMap& rating)
{
    QStringList parts;
    const auto add = [&](const char* label, const char* ratingKey, const char* votesKey) {
        const QVariant value = rating.value(QLatin1String(ratingKey));
        if (!value.isValid())
            return;
        QString part = QString::fromUtf8(label) + u' ' + QString::number(JsonValue::number(value), 'f', 1);
        const QVariant votes = rating.value(QLatin1String(votesKey));
        if (votes.isValid())
            part += QStringLiteral(" (%1)").arg(JsonValue::text(votes));
        parts << part;
    };
    add("IMDb", "imdb_rating", "imdb_votes");
    add("КиноПоиск", "kp_rating", "kp_votes");
    return parts.join(QStringLiteral(", "));
}

} // namespace

int DetailsCommand::run(CliSession& session)
{
    const QStringList& arguments = session.options().arguments;
    if (arguments.size() != 1 || !arguments.first().startsWith(QStringLiteral("orvane://progdetails/"))) {
        CliSession::fail(QStringLiteral("usage: details orvane://progdetails/DAY/CHANNEL/SHOW"));
        return 2;
    }
    const QString link = arguments.first();
    return session.answer(
        [&](const Reply& reply) { ServiceCalls::sharedManager().getShowInfoWithUrl(link, reply); },
        [&](const QVariant& answer) {
            const QVariantMap details = JsonValue::map(answer);
            const QVariant showValue = details.value(QStringLiteral("0"));
            if (!JsonValue::isMap(showValue)) {
                CliSession::fail(StringTable::localized("The server has no details of this show."));
                return 1;
            }
            const auto channel = Channel::initWithDictionary(details);
            const auto show = Show::initWithDictionary(showValue.toMap());
            show->startTime = session.deviceTime(showValue.toMap().value(QStringLiteral("start_ts")));
            show->endTime = session.deviceTime(showValue.toMap().value(QStringLiteral("finish_ts")));

            CliSession::print(show->composedTitle);
            CliSession::print(channel->name());
            if (show->startTime.isValid()) {
                CliSession::print(
                    DateAdditions::getDateAndIntervalUntilDate(show->startTime, show->endTime) +
                    QStringLiteral(" (") +
                    DateAdditions::getDurationUntilDate(show->startTime, show->endTime).trimmed() + u')');
            }
            CliSession::print(show->showCategoryString());
            const QString rating = ratingLine(show->rating);
            if (!rating.isEmpty())
                CliSession::print(rating);
            const QString brief = show->briefInfo.trimmed();
            if (!brief.isEmpty())
                CliSession::print(QStringLiteral("\n") + brief);
            if (!show->description.isEmpty())
                CliSession::print(QStringLiteral("\n") + show->description);
            return 0;
        });
}
