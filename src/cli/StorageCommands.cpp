#include "StorageCommands.h"

#include "CliSession.h"
#include "TextTable.h"

#include "model/Channel.h"
#include "model/ChannelsRepository.h"
#include "model/DateHelper.h"
#include "model/HistoryRepository.h"
#include "model/ORVManagedObjectContext.h"
#include "model/Show.h"
#include "model/Utilities.h"
#include "platform/JsonValue.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"

namespace {

// The show and its channel of a show link, times on the device clock; none on failure.
std::optional<std::pair<std::shared_ptr<Channel>, std::shared_ptr<Show>>> showOfLink(CliSession& session,
                                                                                     const QString& link)
{
    const std::optional<QVariant> answer = session.request(
        [&](const Reply& reply) { ServiceCalls::sharedManager().getShowInfoWithUrl(link, reply); });
    if (!answer)
        return std::nullopt;
    const QVariantMap details = JsonValue::map(*answer);
    const QVariantMap showValue = JsonValue::map(details.value(QStringLiteral("0")));
    if (showValue.isEmpty()) {
        CliSession::fail(StringTable::localized("The server has no details of this show."));
        return std::nullopt;
    }
    auto show = Show::initWithDictionary(showValue);
    show->startTime = session.deviceTime(showValue.value(QStringLiteral("start_ts")));
    show->endTime = session.deviceTime(showValue.value(QStringLiteral("finish_ts")));
    return std::pair{Channel::initWithDictionary(details), show};
}

} // namespace

namespace {

QString isoTime(const QDateTime& moment)
{
    return moment.isValid() ? moment.toOffsetFromUtc(moment.offsetFromUtc()).toString(Qt::ISODate)
                            : QString();
}

// The database, or none after saying on stderr why it cannot be used.
bool storeIsUsable(const ORVManagedObjectContext& context)
{
    if (context.hasStore())
        return true;
    CliSession::fail(context.lastError().localizedDescription());
    return false;
}

} // namespace

int StorageCommands::favorites(CliSession& session)
{
    const QStringList arguments = session.options().arguments;
    bool numeric = false;
    const int id = arguments.value(1).toInt(&numeric);
    if (!arguments.isEmpty() &&
        (arguments.size() != 2 || !numeric || (arguments[0] != u"add" && arguments[0] != u"remove"))) {
        CliSession::fail(QStringLiteral("usage: favorites [add ID | remove ID]"));
        return 2;
    }
    ORVManagedObjectContext context;
    if (!storeIsUsable(context))
        return 1;
    ChannelsRepository channels(&context);
    ChannelsRepository::setAlertPresenter([](const QString& title, const QString& message, const QString&) {
        CliSession::fail(title + QStringLiteral(": ") + message);
    });
    if (arguments.isEmpty()) {
        TextTable table;
        QVariantList list;
        for (const auto& record : channels.getAllFavorites()) {
            const auto& channel = record->channel_object();
            table.addRow({channel->channelId(), channel->name()});
            list.append(QVariantMap{{QStringLiteral("channelId"), channel->channelId()},
                                    {QStringLiteral("name"), channel->name()}});
        }
        session.report(list,
                       table.isEmpty() ? StringTable::localized("No favourite channels.") : table.render());
        return 0;
    }
    std::shared_ptr<Channel> channel;
    const bool add = arguments[0] == u"add";
    if (add) {
        const std::optional<QVariant> answer = session.request([id](const Reply& reply) {
            ServiceCalls::sharedManager().getChannelInfoDinamicWithChannelId(id, reply);
        });
        if (!answer)
            return 1;
        channel = Channel::initWithDictionary2(JsonValue::map(*answer));
        channel->setChannelId(QString::number(id));
        channel->setIsSelectedManually(true);
        if (!channels.insertChannelIntoToFavorites(channel))
            return 1;
    } else {
        channel = Channel::initWithArray({});
        channel->setChannelId(QString::number(id));
        if (!channels.getChannelWithId(channel->channelId())) {
            session.report(QVariantMap{{QStringLiteral("channelId"), id}, {QStringLiteral("removed"), false}},
                           StringTable::localized("The channel is not a favourite."));
            return 0;
        }
        channels.deleteChannelFromFavorites(channel);
    }
    if (!context.saveDataToDB()) {
        CliSession::fail(StringTable::localized("The favourites could not be stored:") + u' ' +
                         context.lastError().localizedDescription());
        return 1;
    }
    QVariantMap done{{QStringLiteral("channelId"), id}};
    if (add) {
        done.insert(QStringLiteral("added"), true);
        done.insert(QStringLiteral("name"), channel->name());
    } else {
        done.insert(QStringLiteral("removed"), true);
    }
    session.report(done, add ? StringTable::localized("Added to favourites:") + u' ' + channel->name()
                             : StringTable::localized("Removed from favourites."));
    return 0;
}

int StorageCommands::history(CliSession& session)
{
    const QStringList arguments = session.options().arguments;
    const bool clear = arguments == QStringList{QStringLiteral("--clear")};
    if (!arguments.isEmpty() && !clear) {
        CliSession::fail(QStringLiteral("usage: history [--clear]"));
        return 2;
    }
    ORVManagedObjectContext context;
    if (!storeIsUsable(context))
        return 1;
    HistoryRepository history(&context);
    if (clear) {
        history.clearHistory();
        if (context.hasChanges() && !context.saveDataToDB()) {
            CliSession::fail(context.lastError().localizedDescription());
            return 1;
        }
        session.report(QVariantMap{{QStringLiteral("cleared"), true}},
                       StringTable::localized("History cleared."));
        return 0;
    }
    TextTable table;
    QVariantList list;
    for (const auto& record : history.getAllShows()) {
        const auto& channel = record->channel_object();
        const auto& show = record->show_object();
        const QString title = show->composedTitle.isEmpty() ? show->name : show->composedTitle;
        table.addRow(
            {DateHelper::stringWithDateAndTimeFromDate(record->detected_time()), channel->name(), title});
        list.append(QVariantMap{{QStringLiteral("detected"), isoTime(record->detected_time())},
                                {QStringLiteral("channelId"), channel->channelId()},
                                {QStringLiteral("channel"), channel->name()},
                                {QStringLiteral("showId"), show->showId},
                                {QStringLiteral("show"), title},
                                {QStringLiteral("start"), isoTime(show->startTime)},
                                {QStringLiteral("end"), isoTime(show->endTime)}});
    }
    session.report(list, table.isEmpty() ? StringTable::localized("The history is empty.") : table.render());
    return 0;
}

int StorageCommands::remind(CliSession& session)
{
    QStringList arguments = session.options().arguments;
    if (arguments == QStringList{QStringLiteral("--clear-all")}) {
        Utilities::deleteAllORVEvents();
        session.report(QVariantMap{{QStringLiteral("cleared"), QStringLiteral("all")}},
                       StringTable::localized("All reminders deleted."));
        return 0;
    }
    if (arguments == QStringList{QStringLiteral("--clear-past")}) {
        Utilities::deletePastORVEvents();
        session.report(QVariantMap{{QStringLiteral("cleared"), QStringLiteral("past")}},
                       StringTable::localized("Past reminders deleted."));
        return 0;
    }
    const bool remove = arguments.removeAll(QStringLiteral("--delete")) > 0;
    std::optional<QDateTime> alarm;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--alarm")); at >= 0) {
        const QDateTime when =
            QDateTime::fromString(arguments.value(at + 1), QStringLiteral("yyyy-MM-dd HH:mm"));
        if (!when.isValid() || remove) {
            CliSession::fail(QStringLiteral("--alarm needs \"YYYY-MM-DD HH:MM\" (and no --delete)"));
            return 2;
        }
        alarm = when;
        arguments.remove(at, 2);
    }
    if (arguments.size() != 1 || !arguments.first().startsWith(QStringLiteral("orvane://progdetails/"))) {
        CliSession::fail(QStringLiteral("usage: remind LINK [--alarm \"YYYY-MM-DD HH:MM\"] | --delete LINK | "
                                        "--clear-all | --clear-past"));
        return 2;
    }
    const auto found = showOfLink(session, arguments.first());
    if (!found)
        return 1;
    const auto& [channel, show] = *found;
    const QString title = show->name + QStringLiteral(" (") + channel->name() + u')';
    QVariantMap result{{QStringLiteral("title"), title}, {QStringLiteral("start"), isoTime(show->startTime)}};
    if (remove) {
        const bool deleted = show->deleteFromCalendarWithChanName(channel->name());
        result.insert(QStringLiteral("deleted"), deleted);
        session.report(result, (deleted ? StringTable::localized("Reminder deleted:")
                                        : StringTable::localized("There was no reminder:")) +
                                   u' ' + title);
        return 0;
    }
    if (show->checkDuplicateEventsWithChannelName(channel->name())) {
        result.insert(QStringLiteral("added"), false);
        session.report(result, StringTable::localized("Already in the calendar:") + u' ' + title);
        return 0;
    }
    Error error;
    if (!show->addToCalendarWithChanName(channel->name(), alarm, &error)) {
        // Between the check and the add another process may have added it: not an error.
        if (error.localizedDescription().isEmpty() &&
            show->checkDuplicateEventsWithChannelName(channel->name())) {
            result.insert(QStringLiteral("added"), false);
            session.report(result, StringTable::localized("Already in the calendar:") + u' ' + title);
            return 0;
        }
        CliSession::fail(StringTable::localized("The reminder could not be saved.") + u' ' +
                         error.localizedDescription());
        return 1;
    }
    result.insert(QStringLiteral("added"), true);
    if (alarm)
        result.insert(QStringLiteral("alarm"), isoTime(*alarm));
    session.report(result, StringTable::localized("Reminder added:") + u' ' + title);
    return 0;
}
