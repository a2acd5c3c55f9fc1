#include "TwitterCommand.h"

#include "CliSession.h"
#include "TextTable.h"

#include "platform/JsonValue.h"
#include "social/Tweet.h"
#include "widgets/TwitterAuthorizer.h"
#include "widgets/TwitterSession.h"

#include <QEventLoop>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

// One signed call, waited for; none after printing the failure.
std::optional<QVariant> call(const QByteArray& method, const QString& path,
                             const QMultiMap<QString, QString>& parameters)
{
    QEventLoop loop;
    std::optional<QVariant> result;
    QObject context;
    TwitterSession::shared().call(
        &context, method, path, parameters,
        [&](const QVariant& answer) {
            result = answer;
            loop.quit();
        },
        [&](const Error& error) {
            CliSession::fail(error.localizedDescription());
            loop.quit();
        });
    loop.exec();
    return result;
}

int login(bool pin)
{
    TwitterAuthorizer& authorizer = TwitterAuthorizer::shared();
    authorizer.setBrowserOpener([](const QUrl&) { return false; });
    QEventLoop loop;
    bool ok = false;
    QObject context;
    QObject::connect(&authorizer, &TwitterAuthorizer::authorizationUrlReady, &context,
                     [&](const QUrl& url, bool needsPin, bool) {
                         std::fprintf(stderr, "Open this address in a browser and sign in:\n\n  %s\n\n",
                                      qPrintable(url.toString()));
                         if (!needsPin) {
                             std::fprintf(stderr, "Waiting for the browser to come back…\n");
                             return;
                         }
                         std::fprintf(stderr, "PIN: ");
                         std::string line;
                         if (!std::getline(std::cin, line)) {
                             authorizer.cancel();
                             return;
                         }
                         authorizer.continueWithPin(QString::fromStdString(line));
                     });
    QObject::connect(&authorizer, &TwitterAuthorizer::finished, &context,
                     [&](bool success, const QString& error) {
                         ok = success;
                         if (!success)
                             CliSession::fail(error);
                         loop.quit();
                     });
    authorizer.start(pin ? TwitterAuthorizer::Mode::Pin : TwitterAuthorizer::Mode::Callback);
    loop.exec();
    if (!ok)
        return 1;
    CliSession::print(QStringLiteral("Signed in as @%1.").arg(TwitterSession::shared().account()->username));
    return 0;
}

int printTweets(CliSession& session, const QVariant& answer)
{
    if (session.options().json) {
        CliSession::printJson(answer);
        return 0;
    }
    TextTable table;
    for (const QVariant& item : JsonValue::list(answer)) {
        const Tweet tweet = Tweet::initWithDictionaryFromTwitter(JsonValue::map(item));
        table.addRow({tweet.tweetTime().toLocalTime().toString(QStringLiteral("dd.MM HH:mm")),
                      u'@' + tweet.senderUsername(), tweet.text().simplified(), tweet.tweetId()});
    }
    CliSession::print(table.isEmpty() ? QStringLiteral("No tweets.") : table.render());
    return 0;
}

} // namespace

int TwitterCommand::run(CliSession& session)
{
    QStringList arguments = session.options().arguments;
    const QString action = arguments.isEmpty() ? QString() : arguments.takeFirst();
    auto takeOption = [&arguments](const QString& name, QString* value) {
        const qsizetype at = arguments.indexOf(name);
        if (at < 0)
            return true;
        if (at + 1 >= arguments.size())
            return false;
        *value = arguments.at(at + 1);
        arguments.remove(at, 2);
        return true;
    };
    const auto usage = [] {
        CliSession::fail(QStringLiteral(
            "usage: twitter login [--pin] | logout | whoami | timeline [--count N] [--max-id ID] | "
            "mentions [--count N] [--max-id ID] | post TEXT [--reply-to ID] | retweet ID | delete ID"));
        return 2;
    };
    if (action == u"login") {
        const bool pin = arguments.removeAll(QStringLiteral("--pin")) > 0;
        return arguments.isEmpty() ? login(pin) : usage();
    }
    if (action.isEmpty() ||
        !QStringList{QStringLiteral("logout"), QStringLiteral("whoami"), QStringLiteral("timeline"),
                     QStringLiteral("mentions"), QStringLiteral("post"), QStringLiteral("retweet"),
                     QStringLiteral("delete")}
             .contains(action))
        return usage();
    if (!TwitterSession::shared().isAuthorized()) {
        CliSession::fail(QStringLiteral("Not signed in: run \"orvane-cli twitter login\" first."));
        return 1;
    }
    if (action == u"logout") {
        call("POST", QStringLiteral("1.1/oauth/invalidate_token"), {});
        TwitterSession::shared().signOut(false);
        CliSession::print(QStringLiteral("Signed out."));
        return 0;
    }
    if (action == u"whoami") {
        const auto user = call("GET", QStringLiteral("1.1/account/verify_credentials.json"), {});
        if (!user)
            return 1;
        const QVariantMap map = JsonValue::map(*user);
        session.report(*user, QStringLiteral("@%1 (%2), id %3")
                                  .arg(JsonValue::text(map.value(QStringLiteral("screen_name"))),
                                       JsonValue::text(map.value(QStringLiteral("name"))),
                                       JsonValue::text(map.value(QStringLiteral("id_str")))));
        return 0;
    }
    if (action == u"timeline" || action == u"mentions") {
        QString count = QStringLiteral("20");
        QString maxId;
        if (!takeOption(QStringLiteral("--count"), &count) ||
            !takeOption(QStringLiteral("--max-id"), &maxId) || !arguments.isEmpty() || count.toInt() <= 0)
            return usage();
        QMultiMap<QString, QString> parameters{{QStringLiteral("count"), count}};
        if (!maxId.isEmpty())
            parameters.insert(QStringLiteral("max_id"), maxId);
        const auto answer = call("GET",
                                 action == u"timeline" ? QStringLiteral("1/statuses/home_timeline.json")
                                                       : QStringLiteral("1/statuses/mentions.json"),
                                 parameters);
        return answer ? printTweets(session, *answer) : 1;
    }
    if (action == u"post") {
        QString replyTo;
        if (!takeOption(QStringLiteral("--reply-to"), &replyTo) || arguments.size() != 1)
            return usage();
        QMultiMap<QString, QString> parameters{{QStringLiteral("status"), arguments.first()}};
        if (!replyTo.isEmpty())
            parameters.insert(QStringLiteral("in_reply_to_status_id"), replyTo);
        const auto status = call("POST", QStringLiteral("1.1/statuses/update.json"), parameters);
        if (!status)
            return 1;
        session.report(*status,
                       QStringLiteral("Posted %1.")
                           .arg(JsonValue::text(JsonValue::map(*status).value(QStringLiteral("id_str")))));
        return 0;
    }
    if (arguments.size() != 1)
        return usage();
    const QString path = action == u"retweet" ? QStringLiteral("1.1/statuses/retweet/%1.json")
                                              : QStringLiteral("1.1/statuses/destroy/%1.json");
    bool numeric = false;
    arguments.first().toULongLong(&numeric);
    if (!numeric)
        return usage();
    const auto status = call("POST", path.arg(arguments.first()), {});
    if (!status)
        return 1;
    session.report(*status, action == u"retweet" ? QStringLiteral("Retweeted.") : QStringLiteral("Deleted."));
    return 0;
}
