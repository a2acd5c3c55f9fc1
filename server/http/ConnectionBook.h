#pragma once

#include <QHash>
#include <QString>

#include <mutex>

// The open connections of one server, in all and per peer address: a connection is
// admitted only under both caps, and released once when it closes. Thread-safe; the lock
// is held only while counting.
class ConnectionBook
{
public:
    enum class Admission
    {
        Admitted,
        OverCap,
        OverPeerCap
    };

    ConnectionBook(int maxConnections, int maxPerPeer);

    Admission admit(const QString& peer);
    void release(const QString& peer);
    int open() const;

private:
    const int m_maxConnections;
    const int m_maxPerPeer;
    mutable std::mutex m_lock;
    int m_open = 0;
    QHash<QString, int> m_perPeer;
};
