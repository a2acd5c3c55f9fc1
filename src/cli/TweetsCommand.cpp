#include "TweetsCommand.h"

#include "CliSession.h"
#include "TextTable.h"

#include "platform/JsonValue.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"

int TweetsCommand::run(CliSession& session)
{
    QStringList arguments = session.options().arguments;
    int limit = 30;
    const qsizetype limitFlag = arguments.indexOf(QStringLiteral("--limit"));
    if (limitFlag >= 0) {
        bool ok = false;
        limit = arguments.value(limitFlag + 1).toInt(&ok);
        if (!ok || limit <= 0) {
            CliSession::fail(QStringLiteral("--limit needs a positive number"));
            return 2;
        }
        arguments.remove(limitFlag, 2);
    }
    if (arguments.size() != 1) {
        CliSession::fail(QStringLiteral("usage: tweets CHANNEL [--limit N]"));
        return 2;
    }
    const QString channel = arguments.first();
    const QDateTime end = QDateTime::currentDateTime();
    const QDateTime start = end.addSecs(-604800);
    return session.answer(
        [&](const Reply& reply) {
            ServiceCalls::sharedManager().getTweetsForChannelId(channel, start, end, limit, reply);
        },
        [&](const QVariant& answer) {
            TextTable table;
            for (const QVariant& item :
                 JsonValue::list(JsonValue::map(answer).value(QStringLiteral("Result")))) {
                const QVariantMap tweet = JsonValue::map(item);
                const QVariantMap message = JsonValue::map(tweet.value(QStringLiteral("message")));
                const QVariantMap sender = JsonValue::map(tweet.value(QStringLiteral("sender_info")));
                table.addRow({JsonValue::text(tweet.value(QStringLiteral("time"))).left(16),
                              u'@' + JsonValue::text(sender.value(QStringLiteral("screen_name"))),
                              JsonValue::text(message.value(QStringLiteral("text"))).simplified()});
            }
            CliSession::print(table.isEmpty() ? StringTable::localized("No messages.") : table.render());
            return 0;
        });
}
