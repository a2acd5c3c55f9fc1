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
    if (response.status != 200 || expiresMs <= nowMs || response.body.size() > m_maxBytes / 16)
        return;
    std::lock_guard guard(m_lock);
    if (const auto old = m_entries.constFind(key); old != m_entries.constEnd())
        m_bytes -= old->response.body.size();
    if (m_entries.size() >= m_maxEntries || m_bytes + response.body.size() > m_maxBytes) {
        // Expired entries go first; a cache full of live ones starts over.
        m_entries.removeIf([nowMs](const auto& entry) { return entry.value().expiresMs <= nowMs; });
        m_bytes = 0;
        for (const Entry& entry : std::as_const(m_entries))
            m_bytes += entry.response.body.size();
        if (m_entries.size() >= m_maxEntries || m_bytes + response.body.size() > m_maxBytes) {
            m_entries.clear();
            m_bytes = 0;
        }
    }
    m_entries.insert(key, Entry{response, std::min(expiresMs, nowMs + MaxAgeMs)});
    m_bytes += response.body.size();
}

void ResponseCache::clear()
{
    std::lock_guard guard(m_lock);
    m_entries.clear();
    m_bytes = 0;
}

HttpResponse ResponseCache::findOrMake(const QString& key, qint64 nowMs, qint64 ttlMs,
                                       const std::function<HttpResponse()>& make)
{
    if (auto kept = find(key, nowMs))
        return *kept;
    std::promise<HttpResponse> promise;
    std::shared_future<HttpResponse> pending;
    {
        std::lock_guard guard(m_lock);
        const auto it = m_making.constFind(key);
        if (it != m_making.constEnd()) {
            pending = *it;
        } else {
            m_making.insert(key, promise.get_future().share());
        }
    }
    if (pending.valid())
        return pending.get();
    HttpResponse response;
    try {
        response = make();
    } catch (...) {
        response = HttpResponse::error(500, QStringLiteral("Internal error."));
    }
    insert(key, response, nowMs, nowMs + ttlMs);
    {
        std::lock_guard guard(m_lock);
        m_making.remove(key);
    }
    promise.set_value(response);
    return response;
}
