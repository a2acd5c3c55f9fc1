#include "HttpServer.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString peerOf(int fd)
{
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    char host[NI_MAXHOST] = {};
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        getnameinfo(reinterpret_cast<sockaddr*>(&address), length, host, sizeof(host), nullptr, 0, NI_NUMERICHOST) != 0)
        return {};
    return QString::fromLatin1(host);
}

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// Reads what is there, waiting until the deadline; false on end, error or time-out.
bool receive(int fd, QByteArray& buffer, qint64 deadline)
{
    const qint64 left = deadline - nowMs();
    if (left <= 0)
        return false;
    pollfd pfd{fd, POLLIN, 0};
    if (poll(&pfd, 1, int(left)) <= 0)
        return false;
    char chunk[16384];
    const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
    if (got <= 0)
        return false;
    buffer.append(chunk, got);
    return true;
}

bool sendAll(int fd, const QByteArray& bytes, int timeoutMs)
{
    qsizetype sent = 0;
    const qint64 deadline = nowMs() + timeoutMs;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const qint64 left = deadline - nowMs();
            pollfd pfd{fd, POLLOUT, 0};
            if (left <= 0 || poll(&pfd, 1, int(left)) <= 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

QByteArray serialise(const HttpResponse& response, bool keepAlive)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + HttpResponse::reason(response.status) +
                      "\r\nContent-Type: " + response.contentType +
                      "\r\nContent-Length: " + QByteArray::number(response.body.size()) +
                      "\r\nConnection: " + (keepAlive ? "keep-alive" : "close") + "\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    return head + "\r\n" + response.body;
}

} // namespace

HttpServer::HttpServer(Handler handler) : HttpServer(std::move(handler), Limits())
{
}

HttpServer::HttpServer(Handler handler, Limits limits) : m_handler(std::move(handler)), m_limits(limits)
{
}

HttpServer::~HttpServer()
{
    stop();
}

bool HttpServer::listen(const QString& address, quint16 port, QString* error)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const QByteArray host = address.toUtf8();
    const QByteArray service = QByteArray::number(port);
    if (getaddrinfo(host.isEmpty() ? nullptr : host.constData(), service.constData(), &hints, &found) != 0 || !found) {
        *error = QStringLiteral("cannot resolve %1").arg(address);
        return false;
    }
    m_listen = socket(found->ai_family, found->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, found->ai_protocol);
    const int yes = 1;
    setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    const bool bound = m_listen >= 0 && bind(m_listen, found->ai_addr, found->ai_addrlen) == 0 &&
                       ::listen(m_listen, 512) == 0;
    freeaddrinfo(found);
    if (!bound) {
        *error = QStringLiteral("cannot listen on %1:%2: %3").arg(address).arg(port).arg(QString::fromLocal8Bit(strerror(errno)));
        if (m_listen >= 0)
            close(m_listen);
        m_listen = -1;
        return false;
    }
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&local), &length);
    m_port = ntohs(local.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&local)->sin6_port
                                               : reinterpret_cast<sockaddr_in*>(&local)->sin_port);

    m_epoll = epoll_create1(EPOLL_CLOEXEC);
    m_wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = m_listen;
    epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_listen, &event);
    event.data.fd = m_wake;
    epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_wake, &event);
    m_stopping = false;
    m_poller = std::thread([this] { pollLoop(); });
    for (int i = 0; i < std::max(1, m_limits.workers); ++i)
        m_workers.emplace_back([this] { workerLoop(); });
    return true;
}

void HttpServer::stop()
{
    if (m_listen < 0 || m_stopping.exchange(true))
        return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_wake, &one, sizeof one);
    m_ready.notify_all();
    if (m_poller.joinable())
        m_poller.join();
    for (auto& worker : m_workers)
        worker.join();
    m_workers.clear();
    std::lock_guard guard(m_lock);
    for (const auto& [fd, connection] : m_connections)
        close(fd);
    m_connections.clear();
    m_queue.clear();
    close(m_listen);
    close(m_epoll);
    close(m_wake);
    m_listen = m_epoll = m_wake = -1;
}

int HttpServer::openConnections() const
{
    std::lock_guard guard(m_lock);
    return int(m_connections.size());
}

void HttpServer::acceptAll()
{
    for (;;) {
        const int fd = accept4(m_listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        std::lock_guard guard(m_lock);
        if (int(m_connections.size()) >= m_limits.maxConnections) {
            close(fd); // over the limit: refused at once
            continue;
        }
        m_connections[fd] = Connection{nowMs(), 0, false, {}};
        epoll_event event{};
        event.events = EPOLLIN | EPOLLRDHUP | EPOLLONESHOT;
        event.data.fd = fd;
        epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event);
    }
}

void HttpServer::pollLoop()
{
    epoll_event events[128];
    while (!m_stopping) {
        const int count = epoll_wait(m_epoll, events, 128, 500);
        for (int i = 0; i < count; ++i) {
            const int fd = events[i].data.fd;
            if (fd == m_wake)
                return;
            if (fd == m_listen) {
                acceptAll();
                continue;
            }
            std::lock_guard guard(m_lock);
            auto connection = m_connections.find(fd);
            if (connection == m_connections.end())
                continue;
            connection->second.busy = true;
            m_queue.push_back(fd);
            m_ready.notify_one();
        }
        // Kept-alive connections idle for too long are closed.
        const qint64 now = nowMs();
        std::lock_guard guard(m_lock);
        for (auto it = m_connections.begin(); it != m_connections.end();) {
            if (!it->second.busy && now - it->second.lastActiveMs > m_limits.idleTimeoutMs) {
                epoll_ctl(m_epoll, EPOLL_CTL_DEL, it->first, nullptr);
                close(it->first);
                it = m_connections.erase(it);
            } else {
                ++it;
            }
        }
    }
}

void HttpServer::workerLoop()
{
    for (;;) {
        int fd;
        {
            std::unique_lock guard(m_lock);
            m_ready.wait(guard, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            fd = m_queue.front();
            m_queue.pop_front();
        }
        serve(fd);
    }
}

void HttpServer::rearm(int fd)
{
    {
        std::lock_guard guard(m_lock);
        auto connection = m_connections.find(fd);
        if (connection == m_connections.end())
            return;
        connection->second.busy = false;
        connection->second.lastActiveMs = nowMs();
    }
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP | EPOLLONESHOT;
    event.data.fd = fd;
    epoll_ctl(m_epoll, EPOLL_CTL_MOD, fd, &event);
}

void HttpServer::closeConnection(int fd)
{
    std::lock_guard guard(m_lock);
    epoll_ctl(m_epoll, EPOLL_CTL_DEL, fd, nullptr);
    close(fd);
    m_connections.erase(fd);
}

void HttpServer::serve(int fd)
{
    QByteArray buffer;
    int served = 0;
    {
        std::lock_guard guard(m_lock);
        auto connection = m_connections.find(fd);
        if (connection == m_connections.end())
            return;
        buffer = std::move(connection->second.pending);
        connection->second.pending.clear();
        served = connection->second.requests;
    }

    const auto refuse = [&](int status, const QString& message) {
        HttpResponse response = HttpResponse::error(status, message);
        sendAll(fd, serialise(response, false), m_limits.readTimeoutMs);
        closeConnection(fd);
    };

    // Head: request line and headers, within the size limit and the read time-out.
    QElapsedTimer clock;
    clock.start();
    const qint64 deadline = nowMs() + m_limits.readTimeoutMs;
    qsizetype headEnd;
    while ((headEnd = buffer.indexOf("\r\n\r\n")) < 0) {
        if (buffer.size() > m_limits.maxHeaderBytes)
            return refuse(431, QStringLiteral("The request's head is too large."));
        if (!receive(fd, buffer, deadline)) {
            if (buffer.isEmpty())
                return closeConnection(fd); // the client closed, or never spoke
            return refuse(408, QStringLiteral("The request was not received in time."));
        }
    }
    if (headEnd > m_limits.maxHeaderBytes)
        return refuse(431, QStringLiteral("The request's head is too large."));

    HttpRequest request;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1."))
        return refuse(400, QStringLiteral("Malformed request line."));
    request.method = requestLine[0];
    request.target = requestLine[1];
    request.peer = peerOf(fd);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    if (!request.parseTarget())
        return refuse(400, QStringLiteral("Malformed request target."));

    if (request.headers.contains("transfer-encoding"))
        return refuse(411, QStringLiteral("A body needs a Content-Length."));
    qint64 length = 0;
    if (request.headers.contains("content-length")) {
        bool ok = false;
        length = request.headers.value("content-length").toLongLong(&ok);
        if (!ok || length < 0)
            return refuse(400, QStringLiteral("Malformed Content-Length."));
        if (length > m_limits.maxBodyBytes)
            return refuse(413, QStringLiteral("The request's body is too large."));
    }
    buffer.remove(0, headEnd + 4);
    while (buffer.size() < length) {
        if (!receive(fd, buffer, deadline))
            return refuse(408, QStringLiteral("The request's body was not received in time."));
    }
    request.body = buffer.left(length);
    buffer.remove(0, length);

    HttpResponse response;
    try {
        response = m_handler(request);
    } catch (...) {
        response = HttpResponse::error(500, QStringLiteral("Internal error."));
    }
    const QByteArray connectionHeader = request.header("connection").toLower();
    const bool http10 = requestLine[2] == "HTTP/1.0";
    const bool keepAlive = !m_stopping && served + 1 < m_limits.maxRequestsPerConnection &&
                           (http10 ? connectionHeader == "keep-alive" : connectionHeader != "close");
    const bool sent = sendAll(fd, serialise(response, keepAlive), m_limits.readTimeoutMs);
    if (m_logger)
        m_logger(request, response, double(clock.nsecsElapsed()) / 1e6);
    if (!sent || !keepAlive)
        return closeConnection(fd);
    {
        std::lock_guard guard(m_lock);
        auto connection = m_connections.find(fd);
        if (connection == m_connections.end())
            return;
        connection->second.requests = served + 1;
        connection->second.pending = buffer;
    }
    if (!buffer.isEmpty())
        return serve(fd); // a pipelined request is already here
    rearm(fd);
}
