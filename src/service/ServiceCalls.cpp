#include "ServiceCalls.h"

#include "AnswerCache.h"
#include "PercentEscaping.h"

#include "platform/Dispatch.h"
#include "platform/HttpFetcher.h"
#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "platform/SerialQueue.h"
#include "platform/ServerConfig.h"

#include "model/AppContext.h"
#include "model/Utilities.h"

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

void ServiceCalls::getChannelInfoDinamicWithChannelId(int channelId, const Reply& reply)
{
    QString url;
    if (channelId == -4) {
        url = baseUrl() + QStringLiteral("get_channel_info.php?p&i=%1&city=%2")
                              .arg(channelId)
                              .arg(AppContext::current()->userCityId());
    } else {
        url = baseUrl() +
              QStringLiteral("get_channel_info.php?p&i=%1").arg(Utilities::intLocalIdFromMap(channelId));
    }
    sendRequest(url, callbackDictionaryForDelegate(reply));
}

void ServiceCalls::getChannelRatingsWithCityId(int cityId, const Reply& reply)
{
    CallbackRecord record = callbackDictionaryForDelegate(reply);
    record.cacheCode = 2;
    sendRequest(baseUrl() + QStringLiteral("get_channel_rating.php?city=%1").arg(cityId), std::move(record));
}

void ServiceCalls::getMapListForCityID(int cityId, const Reply& reply)
{
    sendRequest(baseUrl() + QStringLiteral("get_channel_city_map_list.php?city=%1").arg(cityId),
                callbackDictionaryForDelegate(reply));
}

void ServiceCalls::sendRequest(const QString& urlText, CallbackRecord record)
{
    const QUrl url = QUrl::fromEncoded(PercentEscaping::addingPercentEscapes(urlText), QUrl::StrictMode);
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
