#include "ConnectionBook.h"

ConnectionBook::ConnectionBook(int maxConnections, int maxPerPeer, const QStringList& trustedProxies)
    : m_maxConnections(maxConnections), m_maxPerPeer(maxPerPeer),
      m_trusted(trustedProxies.begin(), trustedProxies.end())
{}

ConnectionBook::Admission ConnectionBook::admit(const QString& peer)
{
    std::lock_guard guard(m_lock);
    if (m_open >= m_maxConnections)
        return Admission::OverCap;
    if (m_trusted.contains(peer)) {
        ++m_open;
        return Admission::Admitted;
    }
    int& count = m_perPeer[peer];
    if (count >= m_maxPerPeer) {
        return Admission::OverPeerCap;
    }
    ++count;
    ++m_open;
    return Admission::Admitted;
}

bool ConnectionBook::admitRequest(const QString& client)
{
    std::lock_guard guard(m_lock);
    int& count = m_perClient[client];
    if (count >= m_maxPerPeer) {
        if (count == 0)
            m_perClient.remove(client);
        return false;
    }
    ++count;
    return true;
}

void ConnectionBook::leaveRequest(const QString& client)
{
    std::lock_guard guard(m_lock);
    const auto it = m_perClient.find(client);
    if (it != m_perClient.end() && --*it <= 0)
        m_perClient.erase(it);
}

void ConnectionBook::leavePeer(const QString& peer)
{
    std::lock_guard guard(m_lock);
    const auto it = m_perPeer.find(peer);
    if (it != m_perPeer.end() && --*it <= 0)
        m_perPeer.erase(it);
}

void ConnectionBook::release()
{
    std::lock_guard guard(m_lock);
    --m_open;
}

int ConnectionBook::open() const
{
    std::lock_guard guard(m_lock);
    return m_open;
}
