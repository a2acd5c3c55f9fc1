#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>

// Pictures for rows that are painted rather than built: image() answers a picture once it has
// arrived (a null image before) and asks for it the first time it is wanted, so only the rows
// on screen load theirs. Arrivals are announced (arrived) for a repaint. At most maxBytes of
// pictures are kept, the least recently wanted going first. Main thread only.
class PaintedImages : public QObject
{
    Q_OBJECT

public:
    explicit PaintedImages(qint64 maxBytes, QObject* parent = nullptr);

    // fresh: never from a cache (pictures of the air).
    QImage image(const QUrl& url, bool fresh = false);
    bool isRequested(const QUrl& url) const { return m_requested.contains(url); }
    int requestCount() const { return m_requests; }
    qint64 bytes() const { return m_bytes; }
    // Forgets the pictures, so that they are asked for again.
    void clear();

Q_SIGNALS:
    void arrived(const QUrl& url);

private:
    void keep(const QUrl& url, const QImage& image);

    qint64 m_maxBytes;
    qint64 m_bytes = 0;
    int m_requests = 0;
    QHash<QUrl, QImage> m_images;
    QList<QUrl> m_recent; // least recently wanted first
    QSet<QUrl> m_requested;
};
