#pragma once

#include "CallbackRecord.h"

#include "platform/Error.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>
#include <mutex>
#include <optional>

class AnswerCache;
class HttpFetcher;

// The process-wide client of the content server. Every request is one plain GET whose
// answer is decoded from UTF-8 JSON and delivered to the caller's Reply on the main thread;
// answers of requests with a cache code are also written to the file caches on the cache
// queue. Requests are independent: no queueing, de-duplication or cancellation.
class ServiceCalls : public QObject
{
    Q_OBJECT

public:
    static inline const QString ErrorDomain = QStringLiteral("error domain");
    static inline const QString WrongDataMessage = QStringLiteral("The server returned wrong data.");

    static ServiceCalls& sharedManager();

    static CallbackRecord callbackDictionaryForDelegate(const Reply& reply);
    // Decodes a JSON text; logs "ERROR PARSE JSON <reason>" and gives an invalid value on failure.
    static QVariant objectWithString(const QString& text);

    // "http://HOST:PORT/searchcontent/" for the configured content server.
    static QString baseUrl();

    // Where answers with a cache code are written and programmes looked up first: the
    // file caches unless replaced.
    void setAnswerCache(std::shared_ptr<AnswerCache> cache);
    std::shared_ptr<AnswerCache> answerCache() const;

    // The requests. A channel id of -4 means all channels of the chosen city.
    void getServerTime(const Reply& reply);
    void getChannelInfoWithChannelId(int channelId, const Reply& reply);
    void getChannelInfoDinamicWithChannelId(int channelId, const Reply& reply);
    // What is on air: view type 1 for one channel, 2 for a list (at most maxShows, the
    // channels preferred in order; texts as they are, numbers as integers, others skipped).
    void getNowShowsWithChannelId(int channelId, int wtype, int maxShows,
                                  const std::optional<QVariantList>& channels, bool channInfo,
                                  const Reply& reply);
    // Show details from a show link "orvane://progdetails/DAY/CHANNEL/SHOW".
    void getShowInfoWithUrl(const QString& showLink, const Reply& reply);
    // The programme of a channel for the programme day of date: from the cache when it has
    // it (delivered on the main thread without a request), otherwise asked and cached.
    void getProgramForDayWithChannelId(const QString& channelId, const QDateTime& date, const Reply& reply);
    void getProgramForDayWithChannelId(const QString& channelId, const QDateTime& date, bool shortVersion,
                                       bool autoRequest, const Reply& reply);
    void search(const QString& text, const Reply& reply);
    void getTweetsForChannelId(const QString& channel, const QDateTime& startDate, const QDateTime& endDate,
                               int limit, const Reply& reply);
    void getTweetsForChannelId(const QString& channel, const Reply& reply);
    void getCitiesForTimeZone(int timeZone, const Reply& reply);
    void getChannelRatingsWithCityId(int cityId, const Reply& reply);
    void getMapListForCityID(int cityId, const Reply& reply);
    void getAutoServiceStateWithDelegate(const Reply& reply);

    // The frame: escapes the URL text, starts the fetch and carries the record with it.
    void sendRequest(const QString& urlText, CallbackRecord record);
    // The same for a URL already escaped.
    void sendEncodedRequest(const QByteArray& encodedUrl, CallbackRecord record);

    // Fetch completions.
    void objectFetcherFinishedWithData(HttpFetcher* fetcher, const QByteArray& data);
    void objectFetcherFailedWithStatus(HttpFetcher* fetcher, int status, const QByteArray& data);
    void objectFetcherFailedWithNetworkError(HttpFetcher* fetcher, const Error& error);

private:
    ServiceCalls();
    void sendProgramRequest(const QString& channelId, const QDateTime& day, bool shortVersion,
                            bool autoRequest, const Reply& reply);
    // The one place where answers meet the file caches: queues the write for the code.
    void queueCacheWrite(const QVariantMap& answer, const CallbackRecord& record);

    mutable std::mutex m_cacheLock;
    std::shared_ptr<AnswerCache> m_cache;
};
