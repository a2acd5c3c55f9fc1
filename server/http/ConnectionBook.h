#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <mutex>

// The open connections of one server, in all and per peer address: a connection is
// admitted only under both caps. A connection that has sent its last answer and is only
// closing leaves its peer's count (a client reconnecting at once is not refused for it)
// but stays in the total until it is closed. A trusted proxy's connections carry many
// clients: they count only in the total, and each request through them counts against the
// cap of the client the proxy names, for as long as it is being answered. Thread-safe; the
// lock is held only while counting.
class ConnectionBook
{
public:
    enum class Admission
    {
        Admitted,
        OverCap,
        OverPeerCap
    };

    ConnectionBook(int maxConnections, int maxPerPeer, const QStringList& trustedProxies = {});

    bool trusted(const QString& peer) const { return m_trusted.contains(peer); }
    Admission admit(const QString& peer);
    // A request a trusted proxy forwards for client: false when the client already has as
    // many requests in flight as a peer may have connections. Each admitted request is
    // followed by leaveRequest.
    bool admitRequest(const QString& client);
    void leaveRequest(const QString& client);
    // Once per admitted connection, when it starts closing.
    void leavePeer(const QString& peer);
    // Once per admitted connection, when it is closed.
    void release();
    int open() const;

private:
    const int m_maxConnections;
    const int m_maxPerPeer;
    const QSet<QString> m_trusted;
    mutable std::mutex m_lock;
    int m_open = 0;
    QHash<QString, int> m_perPeer;
    QHash<QString, int> m_perClient; // requests in flight through a proxy
};
