#include "PaintedImages.h"

#include "AsyncImageView.h"

PaintedImages::PaintedImages(qint64 maxBytes, QObject* parent) : QObject(parent), m_maxBytes(maxBytes) {}

QImage PaintedImages::image(const QUrl& url, bool fresh)
{
    if (!url.isValid() || url.isEmpty())
        return {};
    const auto found = m_images.constFind(url);
    if (found != m_images.constEnd()) {
        m_recent.removeOne(url);
        m_recent.append(url);
        return *found;
    }
    if (!m_requested.contains(url)) {
        m_requested.insert(url);
        ++m_requests;
        AsyncImageView::loadImage(url, {{AsyncImageView::FreshKey, fresh}}, this,
                                  [this, url](const QImage& image, const QVariantMap&) {
                                      if (!m_requested.contains(url))
                                          return; // cleared meanwhile
                                      keep(url, image);
                                      Q_EMIT arrived(url);
                                  });
    }
    return {};
}

void PaintedImages::keep(const QUrl& url, const QImage& image)
{
    if (image.isNull())
        return;
    m_images.insert(url, image);
    m_recent.append(url);
    m_bytes += image.sizeInBytes();
    // The oldest go, but never the one just arrived.
    while (m_bytes > m_maxBytes && m_recent.size() > 1) {
        const QUrl oldest = m_recent.takeFirst();
        m_bytes -= m_images.take(oldest).sizeInBytes();
        m_requested.remove(oldest);
    }
}

void PaintedImages::clear()
{
    m_images.clear();
    m_recent.clear();
    m_requested.clear();
    m_bytes = 0;
}
