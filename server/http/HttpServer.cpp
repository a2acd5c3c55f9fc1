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
#include <sys/uio.h>
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

// Reads what is there, waiting until the deadline; false on end, error or time-out. The
// socket does not block: what has arrived is taken without waiting first.
bool receive(int fd, QByteArray& buffer, qint64 deadline)
{
    char chunk[16384];
    for (;;) {
        const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
        if (got > 0) {
            buffer.append(chunk, got);
            return true;
        }
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return false;
        const qint64 left = deadline - nowMs();
        pollfd pfd{fd, POLLIN, 0};
        if (left <= 0 || poll(&pfd, 1, int(left)) <= 0)
            return false;
    }
}

// Sends the head and the body (not copied together) until all is out or the time passes.
bool sendAll(int fd, const QByteArray& head, const QByteArray& body, int timeoutMs)
{
    const qint64 deadline = nowMs() + timeoutMs;
    qsizetype sent = 0;
    const qsizetype total = head.size() + body.size();
    while (sent < total) {
        iovec parts[2];
        int count = 0;
        if (sent < head.size())
            parts[count++] = {const_cast<char*>(head.constData()) + sent, size_t(head.size() - sent)};
        const qsizetype bodySent = std::max<qsizetype>(0, sent - head.size());
        if (bodySent < body.size())
            parts[count++] = {const_cast<char*>(body.constData()) + bodySent, size_t(body.size() - bodySent)};
        msghdr message{};
        message.msg_iov = parts;
        message.msg_iovlen = size_t(count);
        const ssize_t n = sendmsg(fd, &message, MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
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

QByteArray headOf(const HttpResponse& response, bool keepAlive)
{
    QByteArray head;
    head.reserve(160);
    head += "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + HttpResponse::reason(response.status) +
            "\r\nContent-Type: " + response.contentType +
            "\r\nContent-Length: " + QByteArray::number(response.body.size()) +
            "\r\nConnection: " + (keepAlive ? "keep-alive" : "close") + "\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    return head + "\r\n";
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
    for (int i = 0; i < std::max(1, m_limits.workers); ++i)
        m_workers.emplace_back([this] { workerLoop(); });
    return true;
}

void HttpServer::stop()
{
    if (m_listen < 0 || m_stopping.exchange(true))
        return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_wake, &one, sizeof one); // never read: wakes every worker
    for (auto& worker : m_workers)
        worker.join();
    m_workers.clear();
    std::lock_guard guard(m_lock);
    for (const auto& [fd, connection] : m_connections)
        close(fd);
    m_connections.clear();
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
        const QString peer = peerOf(fd);
        std::lock_guard guard(m_lock);
        if (int(m_connections.size()) >= m_limits.maxConnections) {
            close(fd); // over the limit: refused at once
            continue;
        }
        m_connections[fd] = Connection{nowMs(), 0, false, {}, peer};
        epoll_event event{};
        event.events = EPOLLIN | EPOLLRDHUP | EPOLLONESHOT;
        event.data.fd = fd;
        epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event);
    }
}

void HttpServer::workerLoop()
{
    constexpr int SweepEveryMs = 250;
    while (!m_stopping) {
        epoll_event event{};
        const int count = epoll_wait(m_epoll, &event, 1, SweepEveryMs);
        if (count == 1) {
            if (event.data.fd == m_wake)
                return;
            if (event.data.fd == m_listen)
                acceptAll();
            else
                serve(event.data.fd);
        }
        const qint64 now = nowMs();
        qint64 last = m_lastSweepMs.load();
        if (now - last >= SweepEveryMs && m_lastSweepMs.compare_exchange_strong(last, now))
            sweepIdle();
    }
}

void HttpServer::sweepIdle()
{
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

void HttpServer::rearm(int fd, int served, const QByteArray& pending)
{
    {
        std::lock_guard guard(m_lock);
        auto connection = m_connections.find(fd);
        if (connection == m_connections.end())
            return;
        connection->second.busy = false;
        connection->second.lastActiveMs = nowMs();
        connection->second.requests = served;
        connection->second.pending = pending;
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
    QString peer;
    {
        std::lock_guard guard(m_lock);
        auto connection = m_connections.find(fd);
        if (connection == m_connections.end() || connection->second.busy)
            return; // closed meanwhile, or an event of a connection another worker holds
        connection->second.busy = true;
        buffer = std::move(connection->second.pending);
        connection->second.pending.clear();
        served = connection->second.requests;
        peer = connection->second.peer;
    }
    // Pipelined requests already read are answered before the connection waits again.
    do {
        if (serveOne(fd, buffer, served++, peer) == Outcome::Closed)
            return;
    } while (buffer.contains("\r\n\r\n"));
    rearm(fd, served, buffer);
}

HttpServer::Outcome HttpServer::serveOne(int fd, QByteArray& buffer, int served, const QString& peer)
{
    const auto refuse = [&](int status, const QString& message) {
        HttpResponse response = HttpResponse::error(status, message);
        sendAll(fd, headOf(response, false), response.body, m_limits.readTimeoutMs);
        closeConnection(fd);
        return Outcome::Closed;
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
            if (buffer.isEmpty()) {
                closeConnection(fd); // the client closed, or never spoke
                return Outcome::Closed;
            }
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
    request.peer = peer;
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
    // A HEAD answer has the head of the GET answer and no body.
    const bool sent = sendAll(fd, headOf(response, keepAlive), request.method == "HEAD" ? QByteArray() : response.body,
                              m_limits.readTimeoutMs);
    if (m_logger)
        m_logger(request, response, double(clock.nsecsElapsed()) / 1e6);
    if (!sent || !keepAlive) {
        closeConnection(fd);
        return Outcome::Closed;
    }
    return Outcome::KeepAlive;
}
