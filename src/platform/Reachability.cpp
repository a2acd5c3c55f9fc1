#include "Reachability.h"

#include <QByteArray>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A name lookup on a thread of its own, waited for at most timeoutMs: getaddrinfo() has no
// time-out of its own and can take the resolver's full retry time. A lookup that is given
// up finishes on its thread and frees its own result.
addrinfo* resolve(const ServerAddress& address, int timeoutMs)
{
    struct Lookup
    {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;
        addrinfo* result = nullptr;
    };
    auto lookup = std::make_shared<Lookup>();
    const std::string host = address.host().toStdString();
    const std::string port = std::to_string(address.port());
    std::thread([lookup, host, port] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0)
            found = nullptr;
        std::lock_guard guard(lookup->lock);
        if (lookup->abandoned) {
            if (found)
                freeaddrinfo(found);
            return;
        }
        lookup->result = found;
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();

    std::unique_lock guard(lookup->lock);
    if (!lookup->done.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                               [&] { return lookup->finished; })) {
        lookup->abandoned = true;
        return nullptr;
    }
    return lookup->result;
}

} // namespace

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

void Reachability::start(FirstResult firstResult)
{
    std::lock_guard guard(m_lock);
    if (m_thread.joinable())
        return;
    m_stopping = false;
    m_thread = std::thread([this, firstResult = std::move(firstResult)] { run(firstResult); });
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

void Reachability::run(FirstResult firstResult)
{
    std::unique_lock guard(m_lock);
    while (!m_stopping) {
        guard.unlock();
        const bool reachable = probeNow();
        if (firstResult) {
            firstResult(reachable);
            firstResult = nullptr;
        }
        guard.lock();
        m_wake.wait_for(guard, std::chrono::milliseconds(m_intervalMs), [this] { return m_stopping; });
    }
}

bool Reachability::canConnect(const ServerAddress& address, int timeoutMs)
{
    if (!address.isValid())
        return false;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo* found = resolve(address, timeoutMs);
    if (!found)
        return false;

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
