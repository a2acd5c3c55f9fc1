#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>

#include <functional>

// Loads one picture over HTTP and hands it, with the parameters the caller attached (the
// row it is for, the segment it was asked from), to the caller on the main thread. Pictures
// already loaded come from a memory cache (16 MiB) at once, still through a queued call.
// The loader belongs to the context: destroyed with it, its transfer ends unreported. A
// failed load or a body that is not a picture reports nothing either (the placeholder stays).
class AsyncImageView : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(const QImage& image, const QVariantMap& params)>;

    static constexpr int TimeoutMs = 20000;
    // A parameter: true keeps the picture on disk too (WebImageDiskCache), so that it is
    // fetched once across runs.
    static inline const QString OnDiskKey = QStringLiteral("onDisk");
    // A parameter: true always downloads and keeps nothing (pictures of the air, which change
    // under the same address).
    static inline const QString FreshKey = QStringLiteral("fresh");

    static AsyncImageView* loadImage(const QUrl& url, const QVariantMap& params, QObject* context,
                                     Handler handleImage);

    const QUrl& url() const { return m_url; }
    const QVariantMap& params() const { return m_params; }

    // Forgets the cached pictures (tests, a city change).
    static void clearCache();

private:
    AsyncImageView(const QUrl& url, const QVariantMap& params, QObject* context, Handler handleImage);
    void start();
    void deliver(const QImage& image);

    QUrl m_url;
    QVariantMap m_params;
    QPointer<QObject> m_context;
    Handler m_handleImage;
};
