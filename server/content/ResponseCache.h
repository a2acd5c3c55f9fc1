#pragma once

#include "http/HttpResponse.h"

#include <QHash>
#include <QString>

#include <functional>
#include <future>
#include <mutex>
#include <optional>

// Encoded answers kept for a short time, so that the many devices asking for the same
// programme day or the same now list are answered without querying the store. Every entry
// has its own expiry (a now list expires when the first of its shows ends) and none lives
// longer than MaxAgeMs, so listings another process imports show within that time.
// At most MaxEntries answers and MaxBytes of bodies are kept. Thread-safe; the workers of the HTTP server
// share one cache.
class ResponseCache
{
public:
    static constexpr qint64 MaxAgeMs = 60 * 1000;
    static constexpr int MaxEntries = 4096;
    static constexpr qsizetype MaxBytes = 64 * 1024 * 1024; // of bodies kept

    ResponseCache() = default;
    ResponseCache(int maxEntries, qsizetype maxBytes) : m_maxEntries(maxEntries), m_maxBytes(maxBytes) {}

    std::optional<HttpResponse> find(const QString& key, qint64 nowMs);
    // Keeps a 200 answer until expiresMs (capped at nowMs + MaxAgeMs); other answers are not kept.
    void insert(const QString& key, const HttpResponse& response, qint64 nowMs, qint64 expiresMs);
    void clear();
    // The kept answer, or make()'s, kept for ttlMs. While one thread makes an answer, others
    // asking for the same key wait for it rather than make it again (no lock is held while
    // making or waiting).
    HttpResponse findOrMake(const QString& key, qint64 nowMs, qint64 ttlMs,
                            const std::function<HttpResponse()>& make);

private:
    struct Entry
    {
        HttpResponse response;
        qint64 expiresMs = 0;
    };

    int m_maxEntries = MaxEntries;
    qsizetype m_maxBytes = MaxBytes;
    std::mutex m_lock;
    QHash<QString, Entry> m_entries;
    qsizetype m_bytes = 0;
    QHash<QString, std::shared_future<HttpResponse>> m_making;
};
