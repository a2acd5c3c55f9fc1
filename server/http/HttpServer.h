#pragma once

#include "HttpRequest.h"
#include "HttpResponse.h"

#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

// A small HTTP/1.1 server with explicit limits, for the reference servers. A fixed pool of
// workers waits on all connections through one epoll set (one-shot events, so a connection
// is served by one worker at a time); a worker reads and answers one request at a time, so
// idle kept-alive connections cost no worker. It takes request targets and bodies
// exactly as clients send them (several "?" in a query, multipart bodies whatever their
// last line).
//
// Limits: the request line and headers, the body, the time to read a request once it has
// begun, the idle time of a kept-alive connection, requests per connection, open
// connections (more are closed at once). Requests beyond a limit get 400, 408, 411, 413 or
// 431 and the connection is closed.
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
        int workers = 8;
    };

    using Handler = std::function<HttpResponse(const HttpRequest&)>;
    using Logger = std::function<void(const HttpRequest& request, const HttpResponse& response, double milliseconds)>;

    explicit HttpServer(Handler handler);
    HttpServer(Handler handler, Limits limits);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and starts serving; port 0 takes a free port. False with a reason on failure.
    bool listen(const QString& address, quint16 port, QString* error);
    quint16 port() const { return m_port; }
    void stop();
    void setLogger(Logger logger) { m_logger = std::move(logger); }

    const Limits& limits() const { return m_limits; }
    int openConnections() const;

private:
    struct Connection
    {
        qint64 lastActiveMs = 0;
        int requests = 0;
        bool busy = false;
        QByteArray pending; // bytes of the next request already read
        QString peer;
    };
    enum class Outcome { KeepAlive, Closed };

    void workerLoop();
    void sweepIdle();
    void serve(int fd);
    Outcome serveOne(int fd, QByteArray& buffer, int served, const QString& peer);
    void rearm(int fd, int served, const QByteArray& pending);
    void closeConnection(int fd);
    void acceptAll();

    Handler m_handler;
    Limits m_limits;
    Logger m_logger;
    int m_listen = -1;
    int m_epoll = -1;
    int m_wake = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<qint64> m_lastSweepMs{0};
    std::vector<std::thread> m_workers;
    mutable std::mutex m_lock;
    std::map<int, Connection> m_connections;
};
