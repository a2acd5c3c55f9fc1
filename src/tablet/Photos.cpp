#include "Photos.h"

#include "model/AppContext.h"
#include "ui/Images.h"
#include "widgets/AsyncImageView.h"

#include <QUrl>

namespace {

QString pendingKey(int index, bool thumb)
{
    return QString::number(index) + (thumb ? QStringLiteral("/t") : QStringLiteral("/i"));
}

// A caption as a query value: every character that would end or change the query is escaped.
QString queryValue(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

Photos::Photos(QObject* parent) : QObject(parent) {}

Photos* Photos::initAsScreens(bool screens, QObject* parent)
{
    auto* photos = new Photos(parent);
    if (screens) {
        photos->m_isScreensPhotos = true;
        photos->m_timeStamp = qint32(QDateTime::currentSecsSinceEpoch());
    }
    return photos;
}

Photos* Photos::initWithTimeStamp(qint32 timeStamp, QObject* parent)
{
    auto* photos = new Photos(parent);
    photos->m_isScreensPhotos = true;
    photos->m_timeStamp = timeStamp;
    return photos;
}

void Photos::pushPhotoUrl(const QString& url)
{
    m_images.append(Entry{url, {}, {}, false, {}, {}, 0});
}

QImage Photos::placeholder()
{
    return Images::named(QStringLiteral("no_photo_rect.png")).toImage();
}

QString Photos::imageAddress(int index) const
{
    if (!valid(index))
        return {};
    const Entry& entry = m_images[index];
    QString address = entry.url;
    if (entry.hasComment) {
        if (!entry.upperText.isNull())
            address += QStringLiteral("&tt=") + queryValue(entry.upperText);
        if (!entry.lowerText.isNull())
            address += QStringLiteral("&bt=") + queryValue(entry.lowerText);
        address += QStringLiteral("&fn=impact");
    }
    if (m_isScreensPhotos)
        address += QStringLiteral("&ts=") + QString::number(quint32(m_timeStamp));
    return address;
}

QString Photos::thumbAddress(int index) const
{
    if (!valid(index))
        return {};
    QString address = m_images[index].url;
    if (m_isScreensPhotos)
        address += QStringLiteral("&ts=") + QString::number(quint32(m_timeStamp)) + QStringLiteral("&r=1");
    return address;
}

QImage Photos::imageAtIndex(int index)
{
    if (!valid(index))
        return placeholder();
    Entry& entry = m_images[index];
    entry.lastUse = ++m_uses;
    if (!entry.img.isNull())
        return entry.img;
    download(index, false);
    return {};
}

QImage Photos::thumbImageAtIndex(int index)
{
    if (!valid(index))
        return placeholder();
    if (!m_images[index].thumb.isNull())
        return m_images[index].thumb;
    download(index, true);
    return placeholder();
}

void Photos::download(int index, bool thumb)
{
    const QString key = pendingKey(index, thumb);
    if (m_pending.contains(key))
        return; // already under way: one download per picture
    const QUrl url(thumb ? thumbAddress(index) : imageAddress(index));
    if (!url.isValid() || url.scheme().isEmpty())
        return;
    m_pending.insert(key);
    ++m_downloadsStarted;
    const quint64 generation = m_generation;
    AsyncImageView* loader = AsyncImageView::loadImage(
        url, {{AsyncImageView::FreshKey, m_isScreensPhotos}}, this,
        [this, index, thumb, key, generation](const QImage& image, const QVariantMap&) {
            m_pending.remove(key);
            if (generation != m_generation || !valid(index))
                return; // the pictures were dropped meanwhile
            if (thumb) {
                m_images[index].thumb = image;
                Q_EMIT finishAsyncThumbImg(image, index);
            } else {
                m_images[index].img = image;
                keepWithinCap(index);
                Q_EMIT finishAsyncImg(image, index);
            }
        });
    // A failed download reports nothing; the next request tries again.
    connect(loader, &QObject::destroyed, this, [this, key] { m_pending.remove(key); });
}

void Photos::keepWithinCap(int keep)
{
    qint64 total = 0;
    for (const Entry& entry : std::as_const(m_images))
        total += entry.img.sizeInBytes();
    while (total > m_maxImageBytes) {
        int oldest = -1;
        for (int i = 0; i < m_images.size(); ++i) {
            if (i != keep && !m_images[i].img.isNull() &&
                (oldest < 0 || m_images[i].lastUse < m_images[oldest].lastUse))
                oldest = i;
        }
        if (oldest < 0)
            return; // the picture being shown stays, however large
        total -= m_images[oldest].img.sizeInBytes();
        m_images[oldest].img = QImage();
    }
}

int Photos::imagesHeld() const
{
    int held = 0;
    for (const Entry& entry : m_images)
        held += entry.img.isNull() ? 0 : 1;
    return held;
}

void Photos::modifyImageWithIndex(int index, const QString& upperText, const QString& lowerText)
{
    if (!valid(index))
        return;
    Entry& entry = m_images[index];
    entry.hasComment = true;
    entry.upperText = upperText;
    entry.lowerText = lowerText;
    entry.img = QImage();
}

QString Photos::getTopCommentAtIndex(int index) const
{
    if (!valid(index) || !m_images[index].hasComment || m_images[index].upperText.isEmpty())
        return {};
    return m_images[index].upperText;
}

QString Photos::getBottomCommentAtIndex(int index) const
{
    if (!valid(index) || !m_images[index].hasComment || m_images[index].lowerText.isEmpty())
        return {};
    return m_images[index].lowerText;
}

void Photos::setTimeStamp(qint32 timeStamp)
{
    if (timeStamp == m_timeStamp)
        return;
    m_timeStamp = timeStamp;
    ++m_generation;
    m_pending.clear();
    for (Entry& entry : m_images) {
        entry.img = QImage();
        entry.thumb = QImage();
        entry.hasComment = false;
        entry.upperText.clear();
        entry.lowerText.clear();
    }
}

void Photos::updateTimeStamp()
{
    // The offset is device clock minus server clock: the server's now is the device's now less it.
    setTimeStamp(qint32(QDateTime::currentSecsSinceEpoch() -
                        qint64(AppContext::current()->roundedServerTimeDifference())));
}
