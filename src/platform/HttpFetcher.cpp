#include "HttpFetcher.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThread>
#include <QThreadStorage>
#include <QTimer>

std::atomic<int> HttpFetcher::s_timeoutMs{60000};
std::atomic<qint64> HttpFetcher::s_maxBody{32 * 1024 * 1024};
std::atomic<int> HttpFetcher::s_inFlight{0};

namespace {

// One access manager per thread: a manager and its replies belong to the thread that made them.
QNetworkAccessManager* managerForCurrentThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        static QPointer<QNetworkAccessManager> mainManager;
        if (!mainManager)
            mainManager = new QNetworkAccessManager(app);
        return mainManager;
    }
    static QThreadStorage<QNetworkAccessManager*> managers;
    if (!managers.hasLocalData())
        managers.setLocalData(new QNetworkAccessManager);
    return managers.localData();
}

} // namespace

QNetworkCookieJar* HttpFetcher::sharedCookieStorage()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return nullptr;
    return managerForCurrentThread()->cookieJar();
}

namespace {

bool isHttpLevelError(QNetworkReply::NetworkError error)
{
    // Content, protocol-level and server errors still carry a complete HTTP answer.
    return error == QNetworkReply::NoError ||
           (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownServerError &&
            error != QNetworkReply::ProtocolUnknownError &&
            error != QNetworkReply::ProtocolInvalidOperationError && error != QNetworkReply::ProtocolFailure);
}

} // namespace

HttpFetcher* HttpFetcher::httpFetcherWithRequest(const QNetworkRequest& request)
{
    return new HttpFetcher(request);
}

HttpFetcher::HttpFetcher(const QNetworkRequest& request) : m_request(request) {}

HttpFetcher::~HttpFetcher()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

std::any HttpFetcher::takeUserData()
{
    std::any data = std::move(m_userData);
    m_userData.reset();
    return data;
}

void HttpFetcher::beginFetch(QObject* delegate, FinishedHandler finished, StatusHandler failedWithStatus,
                             ErrorHandler failedWithError)
{
    Q_ASSERT(!m_reply && !m_reported);
    m_delegate = delegate;
    m_hasDelegate = delegate != nullptr;
    m_finished = std::move(finished);
    m_failedWithStatus = std::move(failedWithStatus);
    m_failedWithError = std::move(failedWithError);
    s_inFlight.fetch_add(1);

    if (m_hasDelegate) {
        connect(delegate, &QObject::destroyed, this, [this] {
            m_delegate.clear();
            end();
        });
    }

    const int timeout = m_request.transferTimeout() > 0 ? m_request.transferTimeout() : s_timeoutMs.load();
    m_deadlineTimer = new QTimer(this);
    m_deadlineTimer->setSingleShot(true);
    connect(m_deadlineTimer, &QTimer::timeout, this,
            [this] { fail(QNetworkReply::TimeoutError, QStringLiteral("The request timed out.")); });
    m_deadlineTimer->start(timeout);

    m_reply = managerForCurrentThread()->get(m_request);
    connect(m_reply, &QNetworkReply::finished, this, &HttpFetcher::onFinished);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &HttpFetcher::onProgress);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpFetcher::onReadyRead);
}

void HttpFetcher::onReadyRead()
{
    // The body is taken as it arrives, decompressed, so that its size is checked against the
    // limit whatever the transfer encoding was.
    m_body += m_reply->readAll();
    if (m_body.size() > s_maxBody.load())
        fail(ResponseTooLargeError,
             QStringLiteral("The server's answer is larger than %1 bytes.").arg(s_maxBody.load()));
}

void HttpFetcher::onProgress(qint64 received, qint64 total)
{
    const qint64 limit = s_maxBody.load();
    if (received > limit || total > limit)
        fail(ResponseTooLargeError,
             QStringLiteral("The server's answer is larger than %1 bytes.").arg(limit));
}

void HttpFetcher::onFinished()
{
    if (m_reported)
        return;
    const QVariant statusAttribute = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = m_reply->error();
    const int status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
    // A complete answer: no error at all, or an error status whose body still arrived. An
    // error below 300 (a body that could not be decoded, a decompression bomb) is not one.
    if (statusAttribute.isValid() &&
        (error == QNetworkReply::NoError || (status >= 300 && isHttpLevelError(error)))) {
        onReadyRead();
        if (m_reported)
            return;
        const QByteArray body = std::move(m_body);
        m_reported = true;
        if (!m_delegate && m_hasDelegate)
            return end();
        if (status < 300) {
            if (m_finished)
                m_finished(this, body);
        } else if (m_failedWithStatus) {
            m_failedWithStatus(this, status, body);
        }
        return end();
    }
    fail(error == QNetworkReply::NoError ? QNetworkReply::UnknownNetworkError : int(error),
         m_reply->errorString());
}

void HttpFetcher::fail(int code, const QString& description)
{
    if (m_reported)
        return;
    m_reported = true;
    const Error error = Error::withDescription(NetworkErrorDomain, code, description);
    if ((m_delegate || !m_hasDelegate) && m_failedWithError)
        m_failedWithError(this, error);
    end();
}

void HttpFetcher::end()
{
    m_reported = true;
    if (m_deadlineTimer)
        m_deadlineTimer->stop();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
        s_inFlight.fetch_sub(1);
    }
    deleteLater();
}

void HttpFetcher::setDefaultTimeout(int milliseconds)
{
    s_timeoutMs.store(milliseconds);
}

int HttpFetcher::defaultTimeout()
{
    return s_timeoutMs.load();
}

void HttpFetcher::setMaximumBodySize(qint64 bytes)
{
    s_maxBody.store(bytes);
}

qint64 HttpFetcher::maximumBodySize()
{
    return s_maxBody.load();
}

int HttpFetcher::fetchesInFlight()
{
    return s_inFlight.load();
}
