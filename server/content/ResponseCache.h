#pragma once

#include "http/HttpResponse.h"

#include <QHash>
#include <QString>

#include <mutex>
#include <optional>

// Encoded answers kept for a short time, so that the many devices asking for the same
// programme day or the same now list are answered without querying the store. Every entry
// has its own expiry (a now list expires when the first of its shows ends) and none lives
// longer than MaxAgeMs, so listings another process imports show within that time.
// Thread-safe; the workers of the HTTP server share one cache.
class ResponseCache
{
public:
    static constexpr qint64 MaxAgeMs = 60 * 1000;
    static constexpr int MaxEntries = 4096;

    std::optional<HttpResponse> find(const QString& key, qint64 nowMs);
    // Keeps a 200 answer until expiresMs (capped at nowMs + MaxAgeMs); other answers are not kept.
    void insert(const QString& key, const HttpResponse& response, qint64 nowMs, qint64 expiresMs);
    void clear();

private:
    struct Entry
    {
        HttpResponse response;
        qint64 expiresMs = 0;
    };

    std::mutex m_lock;
    QHash<QString, Entry> m_entries;
};
