#include "popRequest.h"

#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/ServerConfig.h"

#include <QLoggingCategory>
#include <QThread>
#include <QTimer>
#include <QUuid>

#include <httplib.h>

#include <csignal>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

Q_LOGGING_CATEGORY(lcRequest, "orvane.identification")

std::atomic<int> popRequest::s_count{0};
std::atomic<int> popRequest::s_pollMs{1000};
std::atomic<int> popRequest::s_timeoutSeconds{10};

namespace {

// The exchanges under way, by thread, and the threads whose exchanges are cut short.
struct Exchanges
{
    std::mutex lock;
    std::multimap<QThread*, std::shared_ptr<httplib::Client>> running;
    std::set<QThread*> aborted;
};

Exchanges& exchanges()
{
    static Exchanges registry;
    return registry;
}

} // namespace

void popRequest::abortExchangesOn(QThread* thread)
{
    std::vector<std::shared_ptr<httplib::Client>> clients;
    {
        Exchanges& registry = exchanges();
        std::lock_guard guard(registry.lock);
        registry.aborted.insert(thread);
        const auto [first, last] = registry.running.equal_range(thread);
        for (auto it = first; it != last; ++it)
            clients.push_back(it->second);
    }
    for (const auto& client : clients)
        client->stop(); // thread-safe: shuts the socket down, the blocked call returns
}

void popRequest::allowExchangesOn(QThread* thread)
{
    Exchanges& registry = exchanges();
    std::lock_guard guard(registry.lock);
    registry.aborted.erase(thread);
}

int popRequest::countRequest()
{
    return s_count.load();
}

void popRequest::setPollIntervalMs(int milliseconds)
{
    s_pollMs = milliseconds;
}

void popRequest::setTimeoutSeconds(int seconds)
{
    s_timeoutSeconds = seconds;
}

popRequest::popRequest(const QByteArray& data, const QString& deviceId) : m_data(data), m_uIDdevice(deviceId)
{
    s_count.fetch_add(1);
}

popRequest::~popRequest()
{
    if (!m_finished)
        s_count.fetch_sub(1);
}

void popRequest::requestServerFP()
{
    m_countCheck = 0;
    postCoreFingerPrintNotication(Notifications::FpNotification, NotificationKeys::ResultSearch,
                                  RequestUnderWay);
    const int r = getStationIdResident();
    if (r >= 0) {
        finish();
        postCoreFingerPrintNotication(Notifications::CoreFingerPrint, NotificationKeys::ResultSearch, r);
        popRequest_close();
        return;
    }
    m_timer = new QTimer(this);
    m_timer->setInterval(s_pollMs.load());
    connect(m_timer, &QTimer::timeout, this, &popRequest::requestCheckFP);
    m_timer->start();
}

void popRequest::requestCheckFP()
{
    if (m_finished)
        return;
    const int r = checkResident();
    ++m_countCheck;
    if (m_countCheck >= MaxPolls) {
        postCoreFingerPrintNotication(Notifications::CoreFingerPrint, NotificationKeys::ResultSearch, r);
        if (r >= 0 || r == FailedExchange)
            postCoreFingerPrintNotication(Notifications::FpNotification, NotificationKeys::ResultSearch, r);
        finish();
        popRequest_close();
    } else if (r >= 0) {
        postCoreFingerPrintNotication(Notifications::CoreFingerPrint, NotificationKeys::ResultSearch, r);
        postCoreFingerPrintNotication(Notifications::FpNotification, NotificationKeys::ResultSearch, r);
        finish();
        popRequest_close();
    } else if (r == FailedExchange) {
        postCoreFingerPrintNotication(Notifications::FpNotification, NotificationKeys::ResultSearch, r);
    }
}

int popRequest::getStationIdResident()
{
    return postRequestSearchFunctions(
        QStringLiteral("getstationidresident.php"),
        {{QStringLiteral("UserName"), m_uIDdevice}, {QStringLiteral("Position"), QStringLiteral("0")}}, true);
}

int popRequest::checkResident()
{
    return postRequestSearchFunctions(
        QStringLiteral("checkresident.php"),
        {{QStringLiteral("UserName"), m_uIDdevice}, {QStringLiteral("Position"), QStringLiteral("0")}},
        false);
}

QByteArray popRequest::multipartBody(const QString& boundary,
                                     const QList<std::pair<QString, QString>>& fields, const QByteArray* file)
{
    QByteArray body;
    const QByteArray marker = boundary.toUtf8();
    for (const auto& [name, value] : fields) {
        body += "--" + marker + "\r\n";
        body += "Content-Disposition: form-data; name=\"" + name.toUtf8() + "\"\r\n\r\n";
        body += value.toUtf8() + "\r\n";
    }
    if (file) {
        body += "--" + marker + "\r\n";
        body += "Content-Disposition: form-data; name=\"request\"; filename=\"temp.dat\"\r\n";
        body += "Content-Type: application/octet-stream\r\n\r\n";
        body += *file;
    }
    body += "\r\n--" + marker + "--\r \n";
    return body;
}

int popRequest::resultOfAnswer(const QByteArray& body)
{
    const QVariant answer = Json::decode(body);
    if (!JsonValue::isMap(answer))
        return 0;
    const QVariant result = answer.toMap().value(QStringLiteral("Result"));
    if (JsonValue::isNumber(result) || JsonValue::isText(result))
        return JsonValue::integer(result);
    return 0;
}

int popRequest::postRequestSearchFunctions(const QString& page,
                                           const QList<std::pair<QString, QString>>& fields, bool withFile)
{
    // The HTTP client sends with no flags: a server that hangs up during a request, or an abort
    // closing the socket under a write, would raise SIGPIPE and end the application. Ignored
    // once, as the library's own server does (the application starts no child process that
    // would inherit it); the write then fails and the exchange with it.
    static std::once_flag ignoreBrokenPipes;
    std::call_once(ignoreBrokenPipes, [] { std::signal(SIGPIPE, SIG_IGN); });
    const ServerAddress server = ServerConfig::identificationServer();
    const QString boundary = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const QByteArray body = multipartBody(boundary, fields, withFile ? &m_data : nullptr);

    auto client = std::make_shared<httplib::Client>(server.host().toStdString(), server.port());
    const int timeout = s_timeoutSeconds.load();
    client->set_connection_timeout(timeout, 0);
    client->set_read_timeout(timeout, 0);
    client->set_write_timeout(timeout, 0);
    const std::string path = "/searchfunctions/" + page.toStdString();
    const std::string contentType = "multipart/form-data; boundary=" + boundary.toStdString();

    QThread* thread = QThread::currentThread();
    Exchanges& registry = exchanges();
    std::multimap<QThread*, std::shared_ptr<httplib::Client>>::iterator entry;
    {
        std::lock_guard guard(registry.lock);
        if (registry.aborted.count(thread))
            return FailedExchange;
        entry = registry.running.emplace(thread, client);
    }
    const httplib::Result response =
        client->Post(path.c_str(), body.constData(), size_t(body.size()), contentType.c_str());
    {
        std::lock_guard guard(registry.lock);
        registry.running.erase(entry);
    }
    if (!response) {
        qCInfo(lcRequest) << page << "failed:" << httplib::to_string(response.error()).c_str();
        return FailedExchange;
    }
    return resultOfAnswer(QByteArray::fromStdString(response->body));
}

void popRequest::postCoreFingerPrintNotication(NotificationName name, QLatin1String key, qint64 value)
{
    NotificationCenter::defaultCenter().post(name, this, {{key, value}});
}

void popRequest::finish()
{
    if (!m_finished) {
        m_finished = true;
        s_count.fetch_sub(1);
    }
}

void popRequest::popRequest_close()
{
    if (m_timer) {
        m_timer->stop();
        m_timer->deleteLater();
        m_timer = nullptr;
    }
    m_data.clear();
    m_uIDdevice.clear();
    deleteLater();
}
