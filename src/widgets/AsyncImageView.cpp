#include "AsyncImageView.h"

#include "WebImageDiskCache.h"

#include "platform/HttpFetcher.h"

#include <QCache>
#include <QTimer>

#include <algorithm>

namespace {

QCache<QString, QImage>& memoryCache()
{
    // Main thread only; the cost of an entry is its size in KiB.
    static QCache<QString, QImage> cache(16 * 1024);
    return cache;
}

} // namespace

AsyncImageView* AsyncImageView::loadImage(const QUrl& url, const QVariantMap& params, QObject* context,
                                          Handler handleImage)
{
    auto* loader = new AsyncImageView(url, params, context, std::move(handleImage));
    loader->start();
    return loader;
}

AsyncImageView::AsyncImageView(const QUrl& url, const QVariantMap& params, QObject* context,
                               Handler handleImage)
    : QObject(context), m_url(url), m_params(params), m_context(context),
      m_handleImage(std::move(handleImage))
{}

void AsyncImageView::clearCache()
{
    memoryCache().clear();
}

void AsyncImageView::start()
{
    const QString key = m_url.toString();
    const bool fresh = m_params.value(FreshKey).toBool();
    if (const QImage* cached = fresh ? nullptr : memoryCache().object(key)) {
        const QImage image = *cached;
        QTimer::singleShot(0, this, [this, image] { deliver(image); });
        return;
    }
    if (!m_url.isValid() || m_url.scheme().isEmpty()) {
        deleteLater();
        return;
    }
    const bool onDisk = m_params.value(OnDiskKey).toBool();
    if (onDisk) {
        QImage image;
        if (image.loadFromData(WebImageDiskCache::read(m_url)) && !image.isNull()) {
            memoryCache().insert(key, new QImage(image), std::max<qsizetype>(1, image.sizeInBytes() / 1024));
            QTimer::singleShot(0, this, [this, image] { deliver(image); });
            return;
        }
    }
    QNetworkRequest request(m_url);
    request.setTransferTimeout(TimeoutMs);
    HttpFetcher::httpFetcherWithRequest(request)->beginFetch(
        this,
        [this, key, onDisk, fresh](HttpFetcher*, const QByteArray& body) {
            QImage image;
            if (image.loadFromData(body) && !image.isNull()) {
                if (fresh) {
                    deliver(image);
                    return;
                }
                if (onDisk)
                    WebImageDiskCache::write(m_url, body);
                memoryCache().insert(key, new QImage(image),
                                     std::max<qsizetype>(1, image.sizeInBytes() / 1024));
                deliver(image);
            } else {
                deleteLater();
            }
        },
        [this](HttpFetcher*, int, const QByteArray&) { deleteLater(); },
        [this](HttpFetcher*, const Error&) { deleteLater(); });
}

void AsyncImageView::deliver(const QImage& image)
{
    if (m_context && m_handleImage)
        m_handleImage(image, m_params);
    deleteLater();
}
