#include "FakeIdentificationServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

bool readMore(int fd, std::string& buffer, int timeoutMs)
{
    pollfd pfd{fd, POLLIN, 0};
    if (poll(&pfd, 1, timeoutMs) <= 0)
        return false;
    char chunk[8192];
    const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
    if (got <= 0)
        return false;
    buffer.append(chunk, size_t(got));
    return true;
}

void sendAll(int fd, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += size_t(n);
    }
}

} // namespace

FakeIdentificationServer::FakeIdentificationServer()
{
    m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_listen, 64);
    socklen_t length = sizeof address;
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

FakeIdentificationServer::~FakeIdentificationServer()
{
    stop();
}

QString FakeIdentificationServer::hostWithPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

void FakeIdentificationServer::stop()
{
    if (m_stopping.exchange(true))
        return;
    m_wake.notify_all();
    if (m_acceptor.joinable())
        m_acceptor.join();
    close(m_listen);
    std::vector<std::thread> workers;
    {
        std::lock_guard guard(m_lock);
        workers.swap(m_workers);
    }
    for (auto& worker : workers)
        worker.join();
}

void FakeIdentificationServer::script(const std::string& page, const std::vector<Response>& answers)
{
    std::lock_guard guard(m_lock);
    m_scripts["/searchfunctions/" + page] = answers;
    m_served["/searchfunctions/" + page] = 0;
}

void FakeIdentificationServer::setHandler(Handler handler)
{
    std::lock_guard guard(m_lock);
    m_handler = std::move(handler);
}

std::vector<FakeIdentificationServer::Request> FakeIdentificationServer::requests() const
{
    std::lock_guard guard(m_lock);
    return m_requests;
}

size_t FakeIdentificationServer::count(const std::string& page) const
{
    std::lock_guard guard(m_lock);
    return size_t(std::count_if(m_requests.begin(), m_requests.end(),
                                [&](const Request& r) { return r.path == "/searchfunctions/" + page; }));
}

void FakeIdentificationServer::acceptLoop()
{
    while (!m_stopping) {
        pollfd pfd{m_listen, POLLIN, 0};
        if (poll(&pfd, 1, 50) <= 0)
            continue;
        const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard guard(m_lock);
        m_workers.emplace_back([this, fd] { serve(fd); });
    }
}

void FakeIdentificationServer::serve(int fd)
{
    std::string buffer;
    size_t headerEnd;
    while ((headerEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
        if (m_stopping || !readMore(fd, buffer, 5000)) {
            close(fd);
            return;
        }
    }
    Request request;
    const std::string head = buffer.substr(0, headerEnd);
    size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    request.method = requestLine.substr(0, requestLine.find(' '));
    const size_t pathStart = requestLine.find(' ') + 1;
    request.path = requestLine.substr(pathStart, requestLine.find(' ', pathStart) - pathStart);
    while (lineEnd != std::string::npos && lineEnd < head.size()) {
        const size_t next = head.find("\r\n", lineEnd + 2);
        const std::string line =
            head.substr(lineEnd + 2, (next == std::string::npos ? head.size() : next) - lineEnd - 2);
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string name = line.substr(0, colon);
            std::transform(name.begin(), name.end(), name.begin(), ::tolower);
            request.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
        }
        lineEnd = next;
    }
    const size_t length =
        request.headers.count("content-length") ? std::stoul(request.headers["content-length"]) : 0;
    request.body = buffer.substr(headerEnd + 4);
    while (request.body.size() < length && readMore(fd, request.body, 5000)) {
    }
    {
        std::lock_guard guard(m_lock);
        m_requests.push_back(request);
    }
    const Response response = answer(request);
    if (response.delayMs > 0) {
        std::unique_lock guard(m_lock);
        m_wake.wait_for(guard, std::chrono::milliseconds(response.delayMs),
                        [this] { return m_stopping.load(); });
    }
    if (!response.closeWithoutAnswer) {
        sendAll(fd, "HTTP/1.1 " + std::to_string(response.status) +
                        " OK\r\nContent-Type: application/json\r\n"
                        "Content-Length: " +
                        std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n" +
                        response.body);
    }
    close(fd);
}

FakeIdentificationServer::Response FakeIdentificationServer::answer(const Request& request)
{
    std::lock_guard guard(m_lock);
    if (m_handler)
        return m_handler(request);
    auto script = m_scripts.find(request.path);
    if (script == m_scripts.end() || script->second.empty())
        return Response::raw("not found", 404);
    size_t& served = m_served[request.path];
    const Response response = script->second[std::min(served, script->second.size() - 1)];
    ++served;
    return response;
}
