#pragma once

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariantMap>

// The pictures behind the photo browser and the thumbnail strips: a gallery of a show (plain
// addresses) or the live screens of a channel (pictures of the air that the content server
// renders for the moment timeStamp, optionally with the viewer's upper and lower captions
// drawn in). Pictures and thumbnails are downloaded when first asked for and kept in the
// entries; full pictures are held up to MaxImageBytes in all, the least recently shown going
// first. Main thread.
class Photos : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 DefaultMaxImageBytes = 48 * 1024 * 1024;

    // A gallery (timeStamp -1).
    explicit Photos(QObject* parent = nullptr);
    // Live screens taken now (whole seconds since 1970) when screens; else a gallery.
    static Photos* initAsScreens(bool screens, QObject* parent = nullptr);
    // Live screens of the given moment.
    static Photos* initWithTimeStamp(qint32 timeStamp, QObject* parent = nullptr);

    void pushPhotoUrl(const QString& url);
    int numberOfPhotos() const { return int(m_images.size()); }
    // The picture, or a null image while it downloads (the download starts then).
    QImage imageAtIndex(int index);
    // The thumbnail, or the placeholder while it downloads.
    QImage thumbImageAtIndex(int index);
    // Sets (a given text) or removes (a null one) each caption; the captioned picture is
    // downloaded anew.
    void modifyImageWithIndex(int index, const QString& upperText, const QString& lowerText);
    // The caption when there is one and it is not empty; null otherwise.
    QString getTopCommentAtIndex(int index) const;
    QString getBottomCommentAtIndex(int index) const;
    bool isScreensPhotos() const { return m_isScreensPhotos; }
    qint32 timeStamp() const { return m_timeStamp; }
    // A new moment drops every picture, thumbnail and caption; the same one keeps them.
    void setTimeStamp(qint32 timeStamp);
    // Now on the server's clock.
    void updateTimeStamp();

    // The addresses a picture and a thumbnail are downloaded from.
    QString imageAddress(int index) const;
    QString thumbAddress(int index) const;
    static QImage placeholder();
    void setMaxImageBytes(qint64 bytes) { m_maxImageBytes = bytes; }
    // Full pictures held now; downloads started so far (pictures and thumbnails).
    int imagesHeld() const;
    int downloadsStarted() const { return m_downloadsStarted; }

Q_SIGNALS:
    void finishAsyncImg(const QImage& image, int index);
    void finishAsyncThumbImg(const QImage& image, int index);

private:
    struct Entry
    {
        QString url;
        QImage img;
        QImage thumb;
        bool hasComment = false;
        QString upperText; // null: none
        QString lowerText;
        quint64 lastUse = 0;
    };
    bool valid(int index) const { return index >= 0 && index < m_images.size(); }
    void download(int index, bool thumb);
    void keepWithinCap(int keep);

    QList<Entry> m_images;
    bool m_isScreensPhotos = false;
    qint32 m_timeStamp = -1;
    qint64 m_maxImageBytes = DefaultMaxImageBytes;
    quint64 m_uses = 0;
    int m_downloadsStarted = 0;
    quint64 m_generation = 0; // bumped when the pictures are dropped: late downloads are ignored
    QSet<QString> m_pending;  // "i/thumb" keys of downloads under way
};
