#pragma once

#include "Error.h"

#include <QByteArray>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>

#include <any>
#include <atomic>
#include <functional>

class QNetworkCookieJar;
class QNetworkReply;
class QTimer;

// One plain HTTP GET. It reports exactly once, on the thread that started it:
//   finished   - the body, for a final status below 300;
//   failed     - the status and the body, for a final status of 300 or more;
//   failed     - an Error of NetworkErrorDomain when no complete answer arrived
//                (connection refused, time-out, too many redirects, body too large).
// The fetcher keeps itself alive until it has reported, then deletes itself. When the
// delegate is destroyed first, the transfer is aborted and nothing is reported.
class HttpFetcher : public QObject
{
    Q_OBJECT

public:
    using FinishedHandler = std::function<void(HttpFetcher*, const QByteArray&)>;
    using StatusHandler = std::function<void(HttpFetcher*, int, const QByteArray&)>;
    using ErrorHandler = std::function<void(HttpFetcher*, const Error&)>;

    static inline const QString NetworkErrorDomain = QStringLiteral("NetworkError");
    // Codes of NetworkErrorDomain are QNetworkReply::NetworkError values, plus:
    static constexpr int ResponseTooLargeError = 1001;

    static HttpFetcher* httpFetcherWithRequest(const QNetworkRequest& request);

    void setUserData(std::any data) { m_userData = std::move(data); }
    const std::any& userData() const { return m_userData; }
    // Returns the user data and leaves none attached.
    std::any takeUserData();

    const QNetworkRequest& request() const { return m_request; }

    void beginFetch(QObject* delegate, FinishedHandler finished, StatusHandler failedWithStatus,
                    ErrorHandler failedWithError);

    // A fetch's time-out: the request's transfer time-out when it has one (a page's 20 s),
    // otherwise this default (60 s). It bounds the whole fetch, from the start to the last
    // byte, so that a server trickling its answer cannot hold a request open for longer.
    static void setDefaultTimeout(int milliseconds);
    static int defaultTimeout();
    // Largest body accepted (default 32 MiB); a larger answer fails with ResponseTooLargeError.
    static void setMaximumBodySize(qint64 bytes);
    static qint64 maximumBodySize();
    // The cookies of the main thread's fetches (the shared cookie store).
    static QNetworkCookieJar* sharedCookieStorage();

    // Fetches started and not yet reported, in the whole process.
    static int fetchesInFlight();

private:
    explicit HttpFetcher(const QNetworkRequest& request);
    ~HttpFetcher() override;

    void onFinished();
    void onProgress(qint64 received, qint64 total);
    void onReadyRead();
    void fail(int code, const QString& description);
    void end();

    QNetworkRequest m_request;
    std::any m_userData;
    QPointer<QObject> m_delegate;
    bool m_hasDelegate = false;
    FinishedHandler m_finished;
    StatusHandler m_failedWithStatus;
    ErrorHandler m_failedWithError;
    QNetworkReply* m_reply = nullptr;
    QByteArray m_body;
    QTimer* m_deadlineTimer = nullptr;
    bool m_reported = false;

    static std::atomic<int> s_timeoutMs;
    static std::atomic<qint64> s_maxBody;
    static std::atomic<int> s_inFlight;
};
