#include "ConnectionBook.h"

ConnectionBook::ConnectionBook(int maxConnections, int maxPerPeer)
    : m_maxConnections(maxConnections), m_maxPerPeer(maxPerPeer)
{}

ConnectionBook::Admission ConnectionBook::admit(const QString& peer)
{
    std::lock_guard guard(m_lock);
    if (m_open >= m_maxConnections)
        return Admission::OverCap;
    int& count = m_perPeer[peer];
    if (count >= m_maxPerPeer) {
        return Admission::OverPeerCap;
    }
    ++count;
    ++m_open;
    return Admission::Admitted;
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
