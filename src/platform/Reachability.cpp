#include "Reachability.h"

#include <QByteArray>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

Reachability::Reachability(Target target, int intervalMs, int timeoutMs)
    : m_target(std::move(target)), m_intervalMs(intervalMs), m_timeoutMs(timeoutMs)
{}

Reachability::~Reachability()
{
    stop();
}

bool Reachability::probeNow()
{
    const bool reachable = canConnect(m_target(), m_timeoutMs);
    m_reachable.store(reachable);
    m_probes.fetch_add(1);
    return reachable;
}

void Reachability::start()
{
    std::lock_guard guard(m_lock);
    if (m_thread.joinable())
        return;
    m_stopping = false;
    m_thread = std::thread([this] { run(); });
}

void Reachability::stop()
{
    {
        std::lock_guard guard(m_lock);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void Reachability::run()
{
    std::unique_lock guard(m_lock);
    while (!m_stopping) {
        guard.unlock();
        probeNow();
        guard.lock();
        m_wake.wait_for(guard, std::chrono::milliseconds(m_intervalMs), [this] { return m_stopping; });
    }
}

bool Reachability::canConnect(const ServerAddress& address, int timeoutMs)
{
    if (!address.isValid())
        return false;

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray host = address.host().toUtf8();
    const QByteArray port = QByteArray::number(address.port());
    if (getaddrinfo(host.constData(), port.constData(), &hints, &found) != 0 || !found)
        return false;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool connected = false;
    for (addrinfo* candidate = found; candidate && !connected; candidate = candidate->ai_next) {
        const int fd = socket(candidate->ai_family, candidate->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                              candidate->ai_protocol);
        if (fd < 0)
            continue;
        if (connect(fd, candidate->ai_addr, candidate->ai_addrlen) == 0) {
            connected = true;
        } else if (errno == EINPROGRESS) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd pfd{fd, POLLOUT, 0};
            if (left.count() > 0 && poll(&pfd, 1, int(left.count())) == 1) {
                int error = 0;
                socklen_t length = sizeof error;
                connected = getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
            }
        }
        close(fd);
    }
    freeaddrinfo(found);
    return connected;
}
