#include "NonceBook.h"

NonceBook::Verdict NonceBook::check(const QByteArray& consumerAndToken, const QByteArray& nonce,
                                    qint64 timestamp, qint64 now)
{
    if (timestamp < now - m_window || timestamp > now + m_window)
        return Verdict::Stale;
    std::string key = consumerAndToken.toStdString();
    key += '\n';
    key += nonce.toStdString();
    key += '\n';
    key += std::to_string(timestamp);
    std::lock_guard guard(m_lock);
    // A nonce whose timestamp has left the window can go: its request would be stale now.
    while (!m_order.empty() && m_order.front().timestamp < now - m_window) {
        m_seen.erase(m_order.front().key);
        m_order.pop_front();
    }
    if (m_seen.count(key) != 0)
        return Verdict::Replayed;
    if (m_seen.size() >= m_capacity)
        return Verdict::Full;
    m_seen.insert(key);
    m_order.push_back({timestamp, std::move(key)});
    return Verdict::Fresh;
}
