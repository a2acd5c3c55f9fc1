#include "ResponseCache.h"

std::optional<HttpResponse> ResponseCache::find(const QString& key, qint64 nowMs)
{
    std::lock_guard guard(m_lock);
    const auto it = m_entries.constFind(key);
    if (it == m_entries.constEnd() || it->expiresMs <= nowMs)
        return std::nullopt;
    return it->response;
}

void ResponseCache::insert(const QString& key, const HttpResponse& response, qint64 nowMs, qint64 expiresMs)
{
    if (response.status != 200 || expiresMs <= nowMs)
        return;
    std::lock_guard guard(m_lock);
    if (m_entries.size() >= MaxEntries) {
        // Expired entries go first; a cache full of live ones starts over.
        m_entries.removeIf([nowMs](const auto& entry) { return entry.value().expiresMs <= nowMs; });
        if (m_entries.size() >= MaxEntries)
            m_entries.clear();
    }
    m_entries.insert(key, Entry{response, std::min(expiresMs, nowMs + MaxAgeMs)});
}

void ResponseCache::clear()
{
    std::lock_guard guard(m_lock);
    m_entries.clear();
}
