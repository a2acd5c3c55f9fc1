#pragma once

#include "ServerAddress.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Whether a server can be reached: a TCP connection to its address opens within the
// probe time-out. After start(), a background thread owned by this object probes every
// interval; isReachable() reads the latest result without blocking.
class Reachability
{
public:
    using Target = std::function<ServerAddress()>;

    explicit Reachability(Target target, int intervalMs = 5000, int timeoutMs = 2000);
    ~Reachability();
    Reachability(const Reachability&) = delete;
    Reachability& operator=(const Reachability&) = delete;

    // Probes once on the calling thread (blocks up to the time-out) and stores the result.
    bool probeNow();
    // Starts the background probing; does nothing when already running.
    void start();
    void stop();

    bool isReachable() const { return m_reachable.load(); }
    int probeCount() const { return m_probes.load(); }

    // One connection attempt, bounded by timeoutMs once the address is resolved.
    static bool canConnect(const ServerAddress& address, int timeoutMs);

private:
    void run();

    Target m_target;
    int m_intervalMs;
    int m_timeoutMs;
    std::atomic<bool> m_reachable{false};
    std::atomic<int> m_probes{0};
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};
