#pragma once

#include "HttpRequest.h"
#include "HttpResponse.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The HTTP/1.1 server of the reference servers, on Boost.Beast over Boost.Asio. Each worker
// thread runs its own event loop; a connection lives on one of them for its whole life, and
// all its reads and writes are asynchronous under deadlines (see HttpSession), so no
// worker ever waits on a client. The handler runs on the worker of the connection; it may
// be called from several workers at once. Request targets and bodies reach it exactly as
// clients sent them (several "?" in a query, multipart bodies whatever their last line).
//
// Limits: the request head and body, the time to send a request, the idle time of a
// kept-alive connection, requests per connection, open connections in all and per peer
// address (more are closed at once; see Limits::trustedProxies for clients behind a proxy). Requests beyond a
// limit get 400, 408, 411, 413 or 431 and the connection is closed; refusals are logged at most once per peer
// per minute. When the process runs out of file descriptors, the connection waiting longest is taken with a
// descriptor kept in reserve and closed, and accepting pauses briefly.
class HttpServer
{
public:
    struct Limits
    {
        int maxHeaderBytes = 16 * 1024;
        qint64 maxBodyBytes = 64 * 1024;
        int readTimeoutMs = 5000;
        int idleTimeoutMs = 15000;
        int maxRequestsPerConnection = 1000;
        int maxConnections = 1024;
        int maxConnectionsPerPeer = 64;
        int workers = 0; // threads; 0: one per processor (at least 2)
        // Addresses of reverse proxies (nginx): their connections are not held to the
        // per-peer cap, and a request from one is taken to come from the client its
        // "X-Forwarded-For" names (HttpRequest::peer), which the per-peer cap then counts.
        QStringList trustedProxies;
    };

    using Handler = std::function<HttpResponse(const HttpRequest&)>;
    using Logger =
        std::function<void(const HttpRequest& request, const HttpResponse& response, double milliseconds)>;

    explicit HttpServer(Handler handler);
    HttpServer(Handler handler, Limits limits);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and starts serving; port 0 takes a free port. False with a reason on failure.
    // name: how the refusal log names this server.
    bool listen(const QString& address, quint16 port, QString* error,
                const QString& name = QStringLiteral("http"));
    quint16 port() const { return m_port; }
    void stop();
    // Before listen.
    void setLogger(Logger logger) { m_logger = std::move(logger); }

    const Limits& limits() const { return m_limits; }
    int openConnections() const;

private:
    struct Engine;

    Handler m_handler;
    Limits m_limits;
    Logger m_logger;
    quint16 m_port = 0;
    std::unique_ptr<Engine> m_engine;
};
