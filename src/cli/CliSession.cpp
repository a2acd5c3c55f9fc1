#include "CliSession.h"

#include "model/ServerClock.h"
#include "model/Utilities.h"
#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "service/ServiceCalls.h"

#include <cstdio>

CliSession::CliSession(const CliOptions& options) : m_options(options) {}

std::optional<QVariant> CliSession::request(const std::function<void(const Reply&)>& send)
{
    const ReplyWaiter::Result result = ReplyWaiter::wait(send);
    if (!result.finished) {
        fail(result.error.localizedDescription());
        return std::nullopt;
    }
    // The client hands on an answer that is not JSON as none; here that is a failure.
    if (!result.value.isValid()) {
        fail(ServiceCalls::WrongDataMessage + QStringLiteral(" (not JSON)"));
        return std::nullopt;
    }
    return result.value;
}

int CliSession::answer(const std::function<void(const Reply&)>& send,
                       const std::function<int(const QVariant&)>& printText)
{
    const std::optional<QVariant> value = request(send);
    if (!value)
        return 1;
    if (m_options.json) {
        printJson(*value);
        return 0;
    }
    return printText(*value);
}

void CliSession::printJson(const QVariant& value)
{
    std::printf("%s\n", Json::encode(value, true).constData());
}

void CliSession::report(const QVariant& json, const QString& text) const
{
    if (m_options.json)
        printJson(json);
    else
        print(text);
}

void CliSession::print(const QString& text)
{
    std::printf("%s\n", text.toUtf8().constData());
}

void CliSession::fail(const QString& message)
{
    std::fprintf(stderr, "orvane-cli: %s\n", message.toUtf8().constData());
}

double CliSession::serverOffset()
{
    if (!m_offset) {
        const ReplyWaiter::Result result =
            ReplyWaiter::wait([](const Reply& reply) { ServiceCalls::sharedManager().getServerTime(reply); });
        const std::optional<double> server =
            result.finished ? ServerClock::timestampFromAnswer(result.value) : std::nullopt;
        const double now = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
        m_offset = server ? ServerClock::roundedDifference(now, *server) : 0.0;
    }
    return *m_offset;
}

QDateTime CliSession::deviceTime(const QVariant& serverSeconds)
{
    if (!JsonValue::isNumber(serverSeconds) && !JsonValue::isText(serverSeconds))
        return {};
    const double seconds = JsonValue::number(serverSeconds) + serverOffset();
    return QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000.0));
}

const ChannelGroups& CliSession::channelGroups()
{
    if (!m_groups) {
        std::optional<QVariantMap> list = Utilities::getChannelsData();
        if (!list) {
            const ReplyWaiter::Result result = ReplyWaiter::wait([](const Reply& reply) {
                ServiceCalls::sharedManager().getChannelInfoWithChannelId(-4, reply);
            });
            if (result.finished && JsonValue::isMap(result.value))
                list = result.value.toMap();
        }
        m_groups = list ? ORVChannelsArray::groupsFromChannelList(*list) : ChannelGroups();
    }
    return *m_groups;
}

QString CliSession::channelName(const QString& channelId)
{
    for (const ChannelGroup& group : channelGroups()) {
        for (const auto& channel : group.channels) {
            if (channel->channelId() == channelId)
                return channel->name();
        }
    }
    return channelId;
}
