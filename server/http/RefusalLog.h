#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <mutex>

// What a server refused and why, at most one line per peer per minute: a peer that keeps
// misbehaving costs one line a minute, with the count of what was not written meanwhile.
// Thread-safe; the sink is called with no lock held.
class RefusalLog
{
public:
    using Sink = std::function<void(const QString& line)>;
    using Clock = std::function<qint64()>; // milliseconds

    explicit RefusalLog(QString server, Sink sink = {}, Clock clock = {});

    void refused(const QString& peer, const QString& why);

private:
    struct Peer
    {
        qint64 loggedMs = 0;
        int unlogged = 0;
    };
    static constexpr qint64 IntervalMs = 60000;
    static constexpr int MaxPeers = 4096;

    const QString m_server;
    Sink m_sink;
    Clock m_clock;
    std::mutex m_lock;
    QHash<QString, Peer> m_peers;
};
