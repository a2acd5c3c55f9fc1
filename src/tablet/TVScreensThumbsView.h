#pragma once

#include "KTPhotoScrollViewController.h"

#include <QPointer>
#include <QVariantMap>
#include <QWidget>

class Photos;
class ThumbnailStrip;

// A strip of a photo data source's thumbnails (live screens or a gallery) at a fixed height;
// a click on one opens the photo browser at that picture, unless a browser is already open.
// The strip owns the data source it is given.
class TVScreensThumbsView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Height = 100;

    explicit TVScreensThumbsView(QWidget* parent = nullptr);

    void setImageSource(Photos* photos, const QVariantMap& channelInfo = {});
    Photos* imageSource() const;
    ThumbnailStrip* strip() const { return m_strip; }
    KTPhotoScrollViewController* photoController() const { return m_browser; }
    void openPhoto(int index);

private:
    ThumbnailStrip* m_strip;
    QVariantMap m_channelInfo;
    QPointer<KTPhotoScrollViewController> m_browser;
};
