#include "ServiceCalls.h"

#include "AnswerCache.h"
#include "FileAnswerCache.h"
#include "PercentEscaping.h"

#include "platform/Dispatch.h"
#include "platform/HttpFetcher.h"
#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "platform/SerialQueue.h"
#include "platform/ServerConfig.h"

#include "model/AppContext.h"
#include "model/Channel.h"
#include "model/Utilities.h"
#include "platform/Printf.h"

#include <QLoggingCategory>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QUrl>

Q_LOGGING_CATEGORY(lcService, "orvane.service")

namespace {

const QString ExceptionDetailKey = QStringLiteral("ExceptionDetail");

// The server's own message of an error answer: "ExceptionDetail" -> "Message".
std::optional<QString> exceptionMessage(const QVariantMap& answer)
{
    const QVariant detail = answer.value(ExceptionDetailKey);
    if (!JsonValue::isMap(detail))
        return std::nullopt;
    const QVariant message = detail.toMap().value(QStringLiteral("Message"));
    if (!message.isValid() || Json::isNull(message))
        return std::nullopt;
    return JsonValue::text(message);
}

std::optional<QString> decodeUtf8(const QByteArray& data)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(data);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

CallbackRecord takeRecord(HttpFetcher* fetcher)
{
    std::any data = fetcher->takeUserData();
    if (auto* record = std::any_cast<CallbackRecord>(&data))
        return std::move(*record);
    return {};
}

} // namespace

ServiceCalls& ServiceCalls::sharedManager()
{
    static ServiceCalls* instance = new ServiceCalls;
    return *instance;
}

ServiceCalls::ServiceCalls() : m_cache(std::make_shared<FileAnswerCache>()) {}

CallbackRecord ServiceCalls::callbackDictionaryForDelegate(const Reply& reply)
{
    CallbackRecord record;
    record.reply = reply;
    return record;
}

QVariant ServiceCalls::objectWithString(const QString& text)
{
    QString error;
    QVariant value = Json::objectWithString(text, &error);
    if (!value.isValid())
        qCWarning(lcService).noquote() << "ERROR PARSE JSON" << error;
    return value;
}

QString ServiceCalls::baseUrl()
{
    return QStringLiteral("http://") + ServerConfig::contentServer().authority() +
           QStringLiteral("/searchcontent/");
}

void ServiceCalls::setAnswerCache(std::shared_ptr<AnswerCache> cache)
{
    std::lock_guard guard(m_cacheLock);
    m_cache = std::move(cache);
}

std::shared_ptr<AnswerCache> ServiceCalls::answerCache() const
{
    std::lock_guard guard(m_cacheLock);
    return m_cache;
}

void ServiceCalls::getServerTime(const Reply& reply)
{
    sendRequest(baseUrl() + QStringLiteral("messages/now.php"), callbackDictionaryForDelegate(reply));
}

void ServiceCalls::getChannelInfoWithChannelId(int channelId, const Reply& reply)
{
    QString url;
    if (channelId == -4) {
        url = Printf::format(QStringLiteral("%@get_channel_info.php?i=%i&city=%d"),
                             {baseUrl(), channelId, AppContext::current()->userCityId()});
    } else {
        url = Printf::format(QStringLiteral("%@get_channel_info.php?i=%i"),
                             {baseUrl(), Utilities::intLocalIdFromMap(channelId)});
    }
    CallbackRecord record = callbackDictionaryForDelegate(reply);
    record.cacheCode = 3;
    sendRequest(url, std::move(record));
}

void ServiceCalls::getChannelInfoDinamicWithChannelId(int channelId, const Reply& reply)
{
    QString url;
    if (channelId == -4) {
        url = Printf::format(QStringLiteral("%@get_channel_info.php?p&i=%i&city=%d"),
                             {baseUrl(), channelId, AppContext::current()->userCityId()});
    } else {
        url = Printf::format(QStringLiteral("%@get_channel_info.php?p&i=%i"),
                             {baseUrl(), Utilities::intLocalIdFromMap(channelId)});
    }
    sendRequest(url, callbackDictionaryForDelegate(reply));
}

void ServiceCalls::getNowShowsWithChannelId(int channelId, int wtype, int maxShows,
                                            const std::optional<QVariantList>& channels, bool channInfo,
                                            const Reply& reply)
{
    QString url =
        Printf::format(QStringLiteral("%@get_program_info.php?i=%d&w=%d"), {baseUrl(), channelId, wtype});
    if (channInfo)
        url += QStringLiteral("&f");
    if (wtype == 2) {
        url += Printf::format(QStringLiteral("&max=%d"), {maxShows});
        if (channels) {
            QStringList entries;
            for (const QVariant& entry : *channels) {
                if (JsonValue::isText(entry))
                    entries << entry.toString();
                else if (JsonValue::isNumber(entry))
                    entries << QString::number(JsonValue::integer(entry));
            }
            url += QStringLiteral("&pref=") + entries.join(u',');
        }
    }
    sendRequest(url, callbackDictionaryForDelegate(reply));
}

void ServiceCalls::getShowInfoWithUrl(const QString& showLink, const Reply& reply)
{
    // "orvane://progdetails/DAY/CHANNEL/SHOW" in path components:
    // "orvane:", "progdetails", day, channel id, show id.
    const QStringList components = showLink.split(u'/', Qt::SkipEmptyParts);
    if (components.size() < 5) {
        reply.performFailed(
            Error::withDescription(ErrorDomain, 1, QStringLiteral("Not a show link: ") + showLink));
        return;
    }
    const std::shared_ptr<Channel> current = AppContext::current()->selectedChannel();
    const int manually = !current || current->isSelectedManually() ? 1 : 0;
    const QString url = Printf::format(QStringLiteral("%@?v=%i&m=%d&d=%@&i=%@&t=%@&ev=%@&g"),
                                       {QString(baseUrl() + QStringLiteral("content_listview.php")), 2,
                                        manually, Utilities::getDeviceUniqueID(), components.at(3),
                                        components.at(2), components.at(4)});
    sendRequest(url, callbackDictionaryForDelegate(reply));
}

void ServiceCalls::getProgramForDayWithChannelId(const QString& channelId, const QDateTime& date,
                                                 const Reply& reply)
{
    getProgramForDayWithChannelId(channelId, date, false, false, reply);
}

void ServiceCalls::getProgramForDayWithChannelId(const QString& channelId, const QDateTime& date,
                                                 bool shortVersion, bool autoRequest, const Reply& reply)
{
    std::shared_ptr<AnswerCache> cache = answerCache();
    Dispatch::cacheQueue().async([this, cache, channelId, date, shortVersion, autoRequest, reply] {
        const QDateTime day = Utilities::optimizeDateForORVProgram(date);
        const std::optional<QVariantMap> cached =
            cache ? cache->getChannProgramDataById(channelId, day) : std::nullopt;
        if (cached) {
            // The delegate belongs to the main thread: it is looked at there, not here.
            if (reply.hasDelegate())
                Dispatch::mainAsync(this, [reply, answer = *cached] { reply.performFinished(answer); });
            return;
        }
        Dispatch::mainAsync(this, [this, channelId, day, shortVersion, autoRequest, reply] {
            sendProgramRequest(channelId, day, shortVersion, autoRequest, reply);
        });
    });
}

void ServiceCalls::sendProgramRequest(const QString& channelId, const QDateTime& day, bool shortVersion,
                                      bool autoRequest, const Reply& reply)
{
    const std::shared_ptr<Channel> current = AppContext::current()->selectedChannel();
    const int manually = current && current->isSelectedManually() ? 1 : 0;
    QString url = Printf::format(QStringLiteral("%@?v=%i&m=%d&d=%@&i=%@&t=%@"),
                                 {QString(baseUrl() + QStringLiteral("content_listview.php")), 2, manually,
                                  Utilities::getDeviceUniqueID(), channelId, Utilities::stringFromDate(day)});
    if (shortVersion)
        url += QStringLiteral("&s");
    if (autoRequest)
        url += QStringLiteral("&w");
    CallbackRecord record = callbackDictionaryForDelegate(reply);
    record.channid = channelId;
    record.cacheCode = 1;
    record.reqDate = day;
    sendRequest(url, std::move(record));
}

void ServiceCalls::search(const QString& text, const Reply& reply)
{
    // The text is one query value: "&", "=", "+", "#" and "%" in it are escaped as data, so
    // that "Tom & Jerry" is searched for whole.
    const QByteArray url =
        PercentEscaping::addingPercentEscapes(baseUrl() + QStringLiteral("get_search_program_info.php?s=")) +
        QUrl::toPercentEncoding(text.trimmed()) +
        PercentEscaping::addingPercentEscapes(
            Printf::format(QStringLiteral("&city=%d"), {AppContext::current()->userCityId()}));
    sendEncodedRequest(url, callbackDictionaryForDelegate(reply));
}

void ServiceCalls::getTweetsForChannelId(const QString& channel, const QDateTime& startDate,
                                         const QDateTime& endDate, int limit, const Reply& reply)
{
    sendRequest(
        Printf::format(
            QStringLiteral(
                "%@messages/twitterjsonlimit.php?StartTimestamp=%@&EndTimestamp=%@&channel=%@&Limit=%i"),
            {baseUrl(), Utilities::stringFromDate2(startDate), Utilities::stringFromDate2(endDate), channel,
             limit}),
        callbackDictionaryForDelegate(reply));
}

void ServiceCalls::getTweetsForChannelId(const QString& channel, const Reply& reply)
{
    sendRequest(Printf::format(QStringLiteral("%@messages/twitterjson.php?channel=%@"), {baseUrl(), channel}),
                callbackDictionaryForDelegate(reply));
}

void ServiceCalls::getCitiesForTimeZone(int timeZone, const Reply& reply)
{
    sendRequest(
        Printf::format(QStringLiteral("%@get_suggested_cities_list.php?tz=%i"), {baseUrl(), timeZone}),
        callbackDictionaryForDelegate(reply));
}

void ServiceCalls::getAutoServiceStateWithDelegate(const Reply& reply)
{
    sendRequest(baseUrl() + QStringLiteral("get_service_status.php"), callbackDictionaryForDelegate(reply));
}

void ServiceCalls::getChannelRatingsWithCityId(int cityId, const Reply& reply)
{
    CallbackRecord record = callbackDictionaryForDelegate(reply);
    record.cacheCode = 2;
    sendRequest(Printf::format(QStringLiteral("%@get_channel_rating.php?city=%d"), {baseUrl(), cityId}),
                std::move(record));
}

void ServiceCalls::getMapListForCityID(int cityId, const Reply& reply)
{
    sendRequest(
        Printf::format(QStringLiteral("%@get_channel_city_map_list.php?city=%i"), {baseUrl(), cityId}),
        callbackDictionaryForDelegate(reply));
}

void ServiceCalls::sendRequest(const QString& urlText, CallbackRecord record)
{
    sendEncodedRequest(PercentEscaping::addingPercentEscapes(urlText), std::move(record));
}

void ServiceCalls::sendEncodedRequest(const QByteArray& encodedUrl, CallbackRecord record)
{
    const QUrl url = QUrl::fromEncoded(encodedUrl, QUrl::StrictMode);
    HttpFetcher* fetcher = HttpFetcher::httpFetcherWithRequest(QNetworkRequest(url));
    fetcher->setUserData(std::move(record));
    fetcher->beginFetch(
        this, [this](HttpFetcher* f, const QByteArray& data) { objectFetcherFinishedWithData(f, data); },
        [this](HttpFetcher* f, int status, const QByteArray& data) {
            objectFetcherFailedWithStatus(f, status, data);
        },
        [this](HttpFetcher* f, const Error& error) { objectFetcherFailedWithNetworkError(f, error); });
}

void ServiceCalls::objectFetcherFinishedWithData(HttpFetcher* fetcher, const QByteArray& data)
{
    const CallbackRecord record = takeRecord(fetcher);

    const std::optional<QString> text = decodeUtf8(data);
    if (!text) {
        record.reply.performFailed(Error::withDescription(ErrorDomain, 1, WrongDataMessage));
        return;
    }

    QVariant value = objectWithString(*text);
    if (JsonValue::isMap(value)) {
        QVariantMap answer = value.toMap();
        if (record.channid) {
            answer.insert(QStringLiteral("channid"), *record.channid);
            value = answer;
        }
        if (record.cacheCode)
            queueCacheWrite(answer, record);
        if (answer.contains(ExceptionDetailKey)) {
            const std::optional<QString> message = exceptionMessage(answer);
            record.reply.performFailed(message ? Error::withDescription(ErrorDomain, 1, *message)
                                               : Error(ErrorDomain, 1));
            return;
        }
    }
    record.reply.performFinished(value);
}

void ServiceCalls::objectFetcherFailedWithStatus(HttpFetcher* fetcher, int status, const QByteArray& data)
{
    const CallbackRecord record = takeRecord(fetcher);
    qCWarning(lcService) << "Service Calls: failed with status!" << status;

    std::optional<QString> message;
    if (!data.isEmpty()) {
        if (const std::optional<QString> text = decodeUtf8(data)) {
            qCWarning(lcService).noquote() << text->left(2000);
            const QVariant value = objectWithString(*text);
            if (JsonValue::isMap(value))
                message = exceptionMessage(value.toMap());
        }
    }
    record.reply.performFailed(message ? Error::withDescription(ErrorDomain, status, *message)
                                       : Error(ErrorDomain, status));
}

void ServiceCalls::objectFetcherFailedWithNetworkError(HttpFetcher* fetcher, const Error& error)
{
    const CallbackRecord record = takeRecord(fetcher);
    qCWarning(lcService) << "Service Calls: failed with net error!" << error.localizedDescription();
    record.reply.performFailed(error);
}

void ServiceCalls::queueCacheWrite(const QVariantMap& answer, const CallbackRecord& record)
{
    std::shared_ptr<AnswerCache> cache = answerCache();
    if (!cache)
        return;
    const int code = *record.cacheCode;
    const std::optional<QString> channid = record.channid;
    const std::optional<QDateTime> reqDate = record.reqDate;
    Dispatch::cacheQueue().async([cache, code, answer, channid, reqDate] {
        switch (code) {
        case 1:
            if (channid && reqDate)
                cache->saveChannProgramData(answer, *channid, *reqDate);
            break;
        case 2:
            cache->saveChannRatingsData(answer);
            break;
        case 3:
            cache->saveChannelsData(answer);
            break;
        default:
            break;
        }
    });
}
