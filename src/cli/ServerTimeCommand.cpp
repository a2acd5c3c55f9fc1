#include "ServerTimeCommand.h"

#include "ReplyWaiter.h"

#include "model/ServerClock.h"
#include "platform/Json.h"
#include "service/ServiceCalls.h"

#include <QDateTime>

#include <cstdio>

int ServerTimeCommand::run(const CliOptions& options)
{
    const ReplyWaiter::Result result =
        ReplyWaiter::wait([](const Reply& reply) { ServiceCalls::sharedManager().getServerTime(reply); });
    if (!result.finished) {
        std::fprintf(stderr, "orvane-cli: %s\n", qPrintable(result.error.localizedDescription()));
        return 1;
    }
    const std::optional<double> server = ServerClock::timestampFromAnswer(result.value);
    if (!server) {
        std::fprintf(stderr, "orvane-cli: the server's answer has no usable timestamp_gmt\n");
        return 1;
    }
    const double now = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    const double offset = ServerClock::roundedDifference(now, *server);
    if (options.json) {
        const QVariantMap object{{QStringLiteral("timestamp_gmt"), *server},
                                 {QStringLiteral("roundedServerTimeDifference"), offset}};
        std::printf("%s\n", Json::encode(object).constData());
        return 0;
    }
    const QDateTime serverTime = QDateTime::fromMSecsSinceEpoch(qint64(*server * 1000.0), Qt::UTC);
    std::printf("Server time:  %s (%s)\n", qPrintable(serverTime.toString(u"yyyy-MM-dd HH:mm:ss 'UTC'")),
                qPrintable(QString::number(*server, 'f', 0)));
    std::printf("Clock offset: %+.0f h (%+.0f s, device minus server)\n", offset / 3600.0, offset);
    return 0;
}
