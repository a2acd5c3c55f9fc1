#pragma once

#include <QByteArray>

#include <deque>
#include <mutex>
#include <unordered_set>

// The nonces of signed requests within the time window, so that a request cannot be played
// again: a nonce counts once per consumer, token and timestamp. Bounded: when it holds
// `capacity` nonces that are all still in the window, new requests are refused until the
// oldest age out (a replay never gets through for want of room). Thread-safe.
class NonceBook
{
public:
    enum class Verdict
    {
        Fresh,
        Replayed,
        Stale,
        Full
    };

    explicit NonceBook(qint64 windowSeconds = 300, size_t capacity = 200000)
        : m_window(windowSeconds), m_capacity(capacity)
    {}
    // Records the nonce unless the timestamp is outside now ± window or the nonce was seen.
    Verdict check(const QByteArray& consumerAndToken, const QByteArray& nonce, qint64 timestamp, qint64 now);
    qint64 window() const { return m_window; }

private:
    struct Entry
    {
        qint64 timestamp;
        std::string key;
    };
    qint64 m_window;
    size_t m_capacity;
    std::mutex m_lock;
    std::unordered_set<std::string> m_seen;
    std::deque<Entry> m_order; // by arrival; timestamps within the window of their arrival
};
