#pragma once

#include <QHash>
#include <QString>

#include <mutex>

// The open connections of one server, in all and per peer address: a connection is
// admitted only under both caps. A connection that has sent its last answer and is only
// closing leaves its peer's count (a client reconnecting at once is not refused for it)
// but stays in the total until it is closed. Thread-safe; the lock is held only while
// counting.
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
    // Once per admitted connection, when it starts closing.
    void leavePeer(const QString& peer);
    // Once per admitted connection, when it is closed.
    void release();
    int open() const;

private:
    const int m_maxConnections;
    const int m_maxPerPeer;
    mutable std::mutex m_lock;
    int m_open = 0;
    QHash<QString, int> m_perPeer;
};
