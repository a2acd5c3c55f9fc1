#include "TVScreensThumbsView.h"

#include "KTPhotoScrollViewController.h"
#include "Photos.h"
#include "ThumbnailStrip.h"

#include <QVBoxLayout>

TVScreensThumbsView::TVScreensThumbsView(QWidget* parent) : QWidget(parent), m_strip(new ThumbnailStrip(this))
{
    setObjectName(QStringLiteral("TVScreensThumbsView"));
    setFixedHeight(Height);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_strip);
    connect(m_strip, &ThumbnailStrip::photoSelected, this, &TVScreensThumbsView::openPhoto);
}

void TVScreensThumbsView::setImageSource(Photos* photos, const QVariantMap& channelInfo)
{
    Photos* previous = m_strip->dataSource();
    if (photos)
        photos->setParent(this);
    m_channelInfo = channelInfo;
    m_strip->setDataSource(photos);
    if (previous && previous != photos && !m_browser)
        previous->deleteLater();
}

Photos* TVScreensThumbsView::imageSource() const
{
    return m_strip->dataSource();
}

void TVScreensThumbsView::openPhoto(int index)
{
    if (m_browser || !m_strip->dataSource())
        return;
    m_browser = new KTPhotoScrollViewController(m_strip->dataSource(), m_channelInfo, index, window());
    m_browser->show();
}
