#include "KTPhotoScrollViewController.h"

#include "Photos.h"
#include "social/ORVTwitterService.h"

#include "platform/StringTable.h"
#include "ui/Images.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

KTPhotoScrollViewController::KTPhotoScrollViewController(Photos* dataSource, const QVariantMap& channelInfo,
                                                         int startIndex, QWidget* parent)
    : QWidget(parent), m_photos(dataSource), m_channelInfo(channelInfo), m_upper(new QLineEdit(this)),
      m_lower(new QLineEdit(this)), m_apply(new QPushButton(StringTable::localized("Apply"), this)),
      m_close(new QPushButton(StringTable::localized("Close"), this)),
      m_comment(new QPushButton(QStringLiteral("✎"), this)),
      m_refresh(new QPushButton(QStringLiteral("⟳"), this)),
      m_share(new QPushButton(QIcon(Images::named(QStringLiteral("tw_icon.png"))), QString(), this))
{
    setObjectName(QStringLiteral("KTPhotoScrollViewController"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_DeleteOnClose);
    m_upper->setPlaceholderText(StringTable::localized("Text above"));
    m_lower->setPlaceholderText(StringTable::localized("Text below"));
    m_upper->setMaxLength(120);
    m_lower->setMaxLength(120);
    m_comment->setObjectName(QStringLiteral("commentButton"));
    m_refresh->setObjectName(QStringLiteral("refreshButton"));
    m_share->setObjectName(QStringLiteral("shareButton"));
    // Only live screens can be refreshed.
    m_refresh->setVisible(m_photos && m_photos->isScreensPhotos());
    showCommentFields();
    connect(m_apply, &QPushButton::clicked, this,
            [this] { applyCaptions(m_upper->text(), m_lower->text()); });
    connect(m_comment, &QPushButton::clicked, this, &KTPhotoScrollViewController::commentTouch);
    connect(m_refresh, &QPushButton::clicked, this, &KTPhotoScrollViewController::updateTouch);
    connect(m_share, &QPushButton::clicked, this, &KTPhotoScrollViewController::shareButtonEvent);
    connect(m_close, &QPushButton::clicked, this, &KTPhotoScrollViewController::close_);
    if (m_photos) {
        const auto repaintIfShown = [this](const QImage&, int index) {
            if (index == m_index)
                update();
        };
        connect(m_photos, &Photos::finishAsyncImg, this, repaintIfShown);
        connect(m_photos, &Photos::finishAsyncThumbImg, this, repaintIfShown);
    }
    setCurrentIndex(startIndex);
}

void KTPhotoScrollViewController::show()
{
    if (QWidget* window = parentWidget() ? parentWidget()->window() : nullptr) {
        setParent(window);
        setGeometry(window->rect());
    } else {
        resize(1024, 768);
    }
    QWidget::show();
    raise();
    setFocus();
}

void KTPhotoScrollViewController::setCurrentIndex(int index)
{
    const int count = m_photos ? m_photos->numberOfPhotos() : 0;
    m_index = count == 0 ? 0 : std::clamp(index, 0, count - 1);
    m_zoom = 1.0;
    m_pan = {};
    if (m_photos && count > 0) {
        m_upper->setText(m_photos->getTopCommentAtIndex(m_index));
        m_lower->setText(m_photos->getBottomCommentAtIndex(m_index));
        m_photos->imageAtIndex(m_index); // starts the download when needed
    }
    update();
}

void KTPhotoScrollViewController::setZoom(double zoom)
{
    m_zoom = std::clamp(zoom, 1.0, MaxZoom);
    if (m_zoom == 1.0)
        m_pan = {};
    update();
}

void KTPhotoScrollViewController::applyCaptions(const QString& upper, const QString& lower)
{
    if (!m_photos || m_photos->numberOfPhotos() == 0)
        return;
    m_photos->modifyImageWithIndex(m_index, upper.trimmed().isEmpty() ? QString() : upper.trimmed(),
                                   lower.trimmed().isEmpty() ? QString() : lower.trimmed());
    m_photos->imageAtIndex(m_index);
    update();
}

void KTPhotoScrollViewController::showCommentFields()
{
    m_upper->setVisible(m_commentMode);
    m_lower->setVisible(m_commentMode);
    m_apply->setVisible(m_commentMode);
    m_comment->setDown(m_commentMode);
    update();
}

void KTPhotoScrollViewController::commentTouch()
{
    m_commentMode = !m_commentMode;
    if (m_commentMode && m_photos && m_photos->numberOfPhotos() > 0) {
        m_upper->setText(m_photos->getTopCommentAtIndex(m_index));
        m_lower->setText(m_photos->getBottomCommentAtIndex(m_index));
    }
    showCommentFields();
}

void KTPhotoScrollViewController::deleteCommentTouch(int tag)
{
    if (!m_photos || m_photos->numberOfPhotos() == 0)
        return;
    const QString top = m_photos->getTopCommentAtIndex(m_index);
    const QString bottom = m_photos->getBottomCommentAtIndex(m_index);
    if ((tag == 1 && top.isEmpty()) || (tag == 2 && bottom.isEmpty()))
        return;
    (tag == 1 ? m_upper : m_lower)->clear();
    applyCaptions(tag == 1 ? QString() : top, tag == 2 ? QString() : bottom);
}

void KTPhotoScrollViewController::clearCommentTouch()
{
    m_commentMode = false;
    showCommentFields();
    if (!m_photos || m_photos->numberOfPhotos() == 0)
        return;
    m_upper->clear();
    m_lower->clear();
    if (!m_photos->getTopCommentAtIndex(m_index).isEmpty() ||
        !m_photos->getBottomCommentAtIndex(m_index).isEmpty())
        applyCaptions({}, {});
}

void KTPhotoScrollViewController::updateTouch()
{
    m_commentMode = false;
    showCommentFields();
    if (!m_photos || !m_photos->isScreensPhotos())
        return;
    // A new time stamp drops every picture and caption: all are asked for anew.
    m_photos->updateTimeStamp();
    m_photos->imageAtIndex(m_index);
    update();
}

void KTPhotoScrollViewController::shareButtonEvent()
{
    // The picture as shown, captions included; the text is the user's to write.
    const QImage picture = m_photos ? m_photos->imageAtIndex(m_index) : QImage();
    ORVTwitterService::sharedManager().showTweetComposeWithText({}, picture, this);
}

QString KTPhotoScrollViewController::counterText() const
{
    const int count = m_photos ? m_photos->numberOfPhotos() : 0;
    return count == 0 ? QString() : QStringLiteral("%1 / %2").arg(m_index + 1).arg(count);
}

void KTPhotoScrollViewController::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 235));
    if (!m_photos || m_photos->numberOfPhotos() == 0)
        return;
    QImage picture = m_photos->imageAtIndex(m_index);
    const bool loading = picture.isNull();
    if (loading)
        picture = m_photos->thumbImageAtIndex(m_index);
    const QRect area = rect().adjusted(20, 50, -20, m_upper->isVisible() ? -90 : -50);
    QSizeF size = QSizeF(picture.size()).scaled(area.size(), Qt::KeepAspectRatio) * m_zoom;
    const QRectF target(QPointF(area.center()) - QPointF(size.width() / 2, size.height() / 2) + m_pan, size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    painter.setPen(QColor(230, 230, 230));
    QFont font = painter.font();
    font.setPixelSize(15);
    painter.setFont(font);
    painter.drawText(QRect(0, 12, width(), 26), Qt::AlignCenter, counterText());
    const QString channel = m_channelInfo.value(QStringLiteral("channtitle")).toString();
    if (!channel.isEmpty())
        painter.drawText(QRect(20, 12, width() / 3, 26), Qt::AlignLeft | Qt::AlignVCenter, channel);
    if (loading)
        painter.drawText(area, Qt::AlignCenter, StringTable::localized("Loading"));
}

void KTPhotoScrollViewController::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    m_pressAt = event->position().toPoint();
    m_panAtPress = m_pan;
}

void KTPhotoScrollViewController::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed && m_zoom > 1.0) {
        m_pan = m_panAtPress + QPointF(event->position().toPoint() - m_pressAt);
        update();
    }
}

void KTPhotoScrollViewController::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    m_pressed = false;
    const int dx = event->position().toPoint().x() - m_pressAt.x();
    if (m_zoom == 1.0 && std::abs(dx) >= SwipeDistance)
        dx < 0 ? next() : previous();
}

void KTPhotoScrollViewController::mouseDoubleClickEvent(QMouseEvent*)
{
    setZoom(m_zoom > 1.0 ? 1.0 : 2.0);
}

void KTPhotoScrollViewController::wheelEvent(QWheelEvent* event)
{
    setZoom(m_zoom * (event->angleDelta().y() > 0 ? 1.25 : 0.8));
}

void KTPhotoScrollViewController::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right:
        next();
        break;
    case Qt::Key_Left:
        previous();
        break;
    case Qt::Key_Escape:
        close_();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void KTPhotoScrollViewController::resizeEvent(QResizeEvent*)
{
    placeControls();
}

void KTPhotoScrollViewController::placeControls()
{
    m_close->setGeometry(width() - 100, 10, 90, 30);
    m_share->setGeometry(width() - 150, 10, 40, 30);
    m_comment->setGeometry(width() - 200, 10, 40, 30);
    m_refresh->setGeometry(width() - 250, 10, 40, 30);
    const int fieldWidth = std::max(100, (width() - 160) / 2);
    m_upper->setGeometry(20, height() - 80, fieldWidth, 28);
    m_lower->setGeometry(30 + fieldWidth, height() - 80, fieldWidth, 28);
    m_apply->setGeometry(width() - 110, height() - 80, 90, 28);
}

void KTPhotoScrollViewController::close_()
{
    Q_EMIT finished();
    close();
}
