#pragma once

#include "ServerAddress.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Whether a server can be reached: its name resolves and a TCP connection to it opens, each
// within the probe time-out. After start(), a background thread owned by this object
// probes at once and then every interval; isReachable() reads the latest result without
// blocking. The main thread never probes (probeNow() is for tools and tests).
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
    using FirstResult = std::function<void(bool reachable)>;
    // Starts the background probing; does nothing when already running. firstResult is
    // called once, on the probing thread, with the first probe's result.
    void start(FirstResult firstResult = {});
    void stop();

    bool isReachable() const { return m_reachable.load(); }
    int probeCount() const { return m_probes.load(); }

    // One name lookup and connection attempt, together bounded by timeoutMs.
    static bool canConnect(const ServerAddress& address, int timeoutMs);

private:
    void run(FirstResult firstResult);

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
