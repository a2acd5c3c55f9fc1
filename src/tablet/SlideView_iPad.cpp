#include "SlideView_iPad.h"

#include "core/AppDelegate.h"
#include "model/DateAdditions.h"
#include "platform/JsonValue.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/Images.h"
#include "ui/ViewTag.h"
#include "widgets/AsyncImageView.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QVariantAnimation>

#include <cmath>

namespace {

constexpr int OfflineLabelTag = 555;
// A press that moves less than this is a tap, not a drag.
constexpr int TapSlop = 8;
constexpr int ButtonSize = 28;

QDateTime moment(const QVariant& seconds)
{
    return QDateTime::fromSecsSinceEpoch(JsonValue::longLong(seconds));
}

bool connected()
{
    return AppDelegate::shared() && AppDelegate::shared()->isConnectionAvailable();
}

} // namespace

SlideView_iPad::SlideView_iPad(QWidget* parent)
    : QWidget(parent), m_slideTimer(new QTimer(this)), m_checkTimer(new QTimer(this)),
      m_turn(new QVariantAnimation(this)), m_shareButton(new QToolButton(this)),
      m_refreshButton(new QToolButton(this))
{
    setObjectName(QStringLiteral("SlideView_iPad"));
    setMinimumHeight(120);
    m_turn->setDuration(PageMs);
    m_turn->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_turn, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_scroll = value.toDouble();
        update();
    });
    m_shareButton->setObjectName(QStringLiteral("slideShareButton"));
    m_shareButton->setIcon(QIcon(Images::named(QStringLiteral("tw_icon.png"))));
    m_refreshButton->setObjectName(QStringLiteral("slideRefreshButton"));
    m_refreshButton->setIcon(QIcon(Images::named(QStringLiteral("refresh.png"))));
    for (QToolButton* button : {m_shareButton, m_refreshButton}) {
        button->setFixedSize(ButtonSize, ButtonSize);
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
    }
    connect(m_shareButton, &QToolButton::clicked, this, &SlideView_iPad::shareTouched);
    connect(m_refreshButton, &QToolButton::clicked, this, &SlideView_iPad::updateTouch);
    m_slideTimer->setInterval(SlideSeconds * 1000);
    m_checkTimer->setInterval(CheckSeconds * 1000);
    connect(m_slideTimer, &QTimer::timeout, this, &SlideView_iPad::slideNextwithAnimation);
    connect(m_checkTimer, &QTimer::timeout, this, [this] { checkShowBounds(); });
}

void SlideView_iPad::widgetInit()
{
    m_channelsId.clear();
    m_pages.clear();
    m_disabledChannels.clear();
    m_currentShowIndex = 0;
    m_scroll = 0;
    setIsAutoUpdating(false);
    update();
}

void SlideView_iPad::addChannelsWithId(const QList<int>& ids)
{
    setIsAutoUpdating(false);
    QList<int> added;
    for (int id : ids) {
        if (!m_channelsId.contains(id)) {
            m_channelsId.append(id);
            added.append(id);
        }
        m_disabledChannels.removeAll(id);
    }
    if (!added.isEmpty())
        request(added);
}

void SlideView_iPad::removeChannelsWithId(const QList<int>& ids)
{
    for (int id : ids) {
        m_channelsId.removeAll(id);
        if (!m_disabledChannels.contains(id))
            m_disabledChannels.append(id);
        for (Page& page : m_pages) {
            if (page.channelId == id)
                page.disabled = true;
        }
    }
    m_pages.removeIf([](const Page& page) { return page.disabled; });
    turnTo(m_pages.isEmpty() ? 0 : std::min(m_currentShowIndex, int(m_pages.size()) - 1), false);
}

void SlideView_iPad::reloadChannelsWithIds()
{
    m_pages.clear();
    turnTo(0, false);
    request(m_channelsId);
}

void SlideView_iPad::request(const QList<int>& ids)
{
    if (ids.isEmpty() || !connected() || m_requestRunning)
        return;
    m_requestRunning = true;
    QVariantList channels;
    for (int id : ids)
        channels.append(id);
    ServiceCalls::sharedManager().getNowShowsWithChannelId(
        0, 2, int(ids.size()), channels, false,
        Reply(
            this,
            [this](const QVariant& answer) {
                m_requestRunning = false;
                onGetShowsDone(answer);
            },
            [this](const Error&) { m_requestRunning = false; }));
}

void SlideView_iPad::onGetShowsDone(const QVariant& answer)
{
    const QVariantMap map = JsonValue::map(answer);
    if (map.isEmpty() || map.contains(QStringLiteral("nodata")))
        return;
    // Pages follow the order of the channel ids; a channel answered again gets its new shows.
    for (int id : std::as_const(m_channelsId)) {
        const QVariantList shows = JsonValue::list(map.value(QString::number(id)));
        if (shows.isEmpty())
            continue;
        const QVariantMap first = JsonValue::map(shows.first());
        Page page;
        page.channelId = id;
        page.title = JsonValue::text(first.value(QStringLiteral("cl")));
        page.shows = shows;
        page.screens = JsonValue::integer(first.value(QStringLiteral("oim"))) != 0;
        page.image = JsonValue::text(first.value(QStringLiteral("pim")));
        auto existing =
            std::find_if(m_pages.begin(), m_pages.end(), [id](const Page& p) { return p.channelId == id; });
        if (existing != m_pages.end()) {
            page.pictureUrl = existing->pictureUrl;
            page.picture = existing->picture;
            *existing = page;
        } else
            m_pages.append(page);
    }
    // Keep the ids' order among the pages.
    std::stable_sort(m_pages.begin(), m_pages.end(), [this](const Page& a, const Page& b) {
        return m_channelsId.indexOf(a.channelId) < m_channelsId.indexOf(b.channelId);
    });
    for (Page& page : m_pages)
        loadPicture(page);
    setIsAutoUpdating(true);
    update();
}

void SlideView_iPad::setIsAutoUpdating(bool on)
{
    m_autoUpdating = on && !m_channelsId.isEmpty();
    if (m_autoUpdating) {
        m_slideTimer->start();
        m_checkTimer->start();
    } else {
        m_slideTimer->stop();
        m_checkTimer->stop();
    }
}

bool SlideView_iPad::isAutoUpdating() const
{
    return m_autoUpdating;
}

void SlideView_iPad::slideNextwithAnimation()
{
    if (m_pages.size() < 2)
        return;
    // Past the last page the strip jumps back to the first.
    const int next = m_currentShowIndex + 1;
    next < m_pages.size() ? turnTo(next, true) : turnTo(0, false);
}

void SlideView_iPad::turnTo(int index, bool animated)
{
    m_currentShowIndex = index;
    m_turn->stop();
    if (animated && std::abs(m_scroll - index) > 0.001) {
        m_turn->setStartValue(m_scroll);
        m_turn->setEndValue(double(index));
        m_turn->start();
    } else {
        m_scroll = index;
    }
    update();
}

bool SlideView_iPad::isTurning() const
{
    return m_turn->state() == QAbstractAnimation::Running;
}

void SlideView_iPad::dragBy(int dx)
{
    if (m_pages.isEmpty() || width() <= 0)
        return;
    m_turn->stop();
    m_scroll = std::clamp(m_scroll - double(dx) / width(), 0.0, double(m_pages.size() - 1));
    update();
}

void SlideView_iPad::endDrag()
{
    if (m_pages.isEmpty())
        return;
    // A third of a page in either direction is enough to turn.
    const double moved = m_scroll - m_currentShowIndex;
    int target = m_currentShowIndex;
    if (moved > 0.33)
        target = int(std::ceil(m_scroll));
    else if (moved < -0.33)
        target = int(std::floor(m_scroll));
    turnTo(std::clamp(target, 0, int(m_pages.size()) - 1), true);
    // The strip turned by hand: the next automatic turn waits a full period.
    if (m_autoUpdating)
        m_slideTimer->start();
}

void SlideView_iPad::updateTouch()
{
    m_refreshButton->setEnabled(false);
    QTimer::singleShot(RefreshMs, this, [this] {
        m_refreshButton->setEnabled(true);
        if (const Page* page = currentPage())
            request({page->channelId});
        setIsAutoUpdating(true);
    });
}

void SlideView_iPad::loadPicture(Page& page)
{
    // A channel with live screens shows the air; others the show's own picture.
    QString address;
    if (page.screens) {
        address = ContentAddresses::showPicture(QString::number(page.channelId)).toString();
    } else {
        QString path =
            JsonValue::text(JsonValue::map(page.shows.value(page.current)).value(QStringLiteral("pim")));
        if (path.isEmpty())
            path = page.image;
        if (!path.isEmpty())
            address = ContentAddresses::picture(path).toString();
    }
    if (address.isEmpty() || (address == page.pictureUrl && !page.screens))
        return;
    page.pictureUrl = address;
    // Pictures of the air change under one address: never from a cache.
    const bool live = address.contains(QStringLiteral("get_tv_image.php"));
    const int channelId = page.channelId;
    AsyncImageView::loadImage(QUrl(address), {{AsyncImageView::FreshKey, live}}, this,
                              [this, channelId, address](const QImage& image, const QVariantMap&) {
                                  for (Page& p : m_pages) {
                                      if (p.channelId == channelId && p.pictureUrl == address)
                                          p.picture = image;
                                  }
                                  update();
                              });
}

void SlideView_iPad::checkShowBounds(const QDateTime& now)
{
    QList<int> runOut;
    for (Page& page : m_pages) {
        // The air has moved on since the last look.
        if (page.screens)
            loadPicture(page);
        if (moment(JsonValue::map(page.shows.value(page.current)).value(QStringLiteral("tf"))) > now)
            continue;
        int next = page.current + 1;
        while (next < page.shows.size() &&
               moment(JsonValue::map(page.shows[next]).value(QStringLiteral("tf"))) <= now)
            ++next;
        if (next < page.shows.size()) {
            page.current = next;
            loadPicture(page);
        } else {
            runOut.append(page.channelId);
        }
    }
    if (!runOut.isEmpty())
        request(runOut);
    update();
}

void SlideView_iPad::setOffline(bool offline, const QString& message)
{
    if (offline) {
        setIsAutoUpdating(false);
        if (!m_offlineLabel) {
            m_offlineLabel = new QLabel(this);
            ViewTag::set(m_offlineLabel, OfflineLabelTag);
            m_offlineLabel->setAlignment(Qt::AlignCenter);
            m_offlineLabel->setStyleSheet(
                QStringLiteral("font-weight: bold; font-size: 17px; color: #e6e6e6;"));
        }
        m_offlineLabel->setText(message);
        m_offlineLabel->setGeometry((width() - 200) / 2, (height() - 20) / 2, 200, 20);
        m_offlineLabel->show();
        return;
    }
    setIsAutoUpdating(true);
    if (!m_pages.isEmpty())
        checkShowBounds();
    else if (!m_channelsId.isEmpty())
        reloadChannelsWithIds();
    if (m_offlineLabel) {
        m_offlineLabel->deleteLater();
        m_offlineLabel = nullptr;
    }
}

QString SlideView_iPad::offlineMessage() const
{
    return m_offlineLabel ? m_offlineLabel->text() : QString();
}

const SlideView_iPad::Page* SlideView_iPad::currentPage() const
{
    return m_currentShowIndex >= 0 && m_currentShowIndex < m_pages.size() ? &m_pages[m_currentShowIndex]
                                                                          : nullptr;
}

QVariantMap SlideView_iPad::currentShow() const
{
    const Page* page = currentPage();
    return page ? JsonValue::map(page->shows.value(page->current)) : QVariantMap();
}

int SlideView_iPad::getCurrentChannId() const
{
    const Page* page = currentPage();
    return page ? page->channelId : 0;
}

QString SlideView_iPad::getCurrentShowId() const
{
    return JsonValue::text(currentShow().value(QStringLiteral("pid")));
}

QString SlideView_iPad::getCurrentShowName() const
{
    return JsonValue::text(currentShow().value(QStringLiteral("t")));
}

QString SlideView_iPad::getCurrentChannName() const
{
    const Page* page = currentPage();
    return page ? page->title : QString();
}

QDateTime SlideView_iPad::getCurrentShowTime() const
{
    const QVariantMap show = currentShow();
    return show.contains(QStringLiteral("ts")) ? moment(show.value(QStringLiteral("ts"))) : QDateTime();
}

QString SlideView_iPad::getCurrentShowImage() const
{
    const QVariantMap show = currentShow();
    const QString image = JsonValue::text(show.value(QStringLiteral("pim")));
    return image.isEmpty() && currentPage() ? currentPage()->image : image;
}

QImage SlideView_iPad::getCurrentShowPicture() const
{
    return currentPage() ? currentPage()->picture : QImage();
}

bool SlideView_iPad::getCurrentIsScreensSign() const
{
    const Page* page = currentPage();
    return page && page->screens;
}

void SlideView_iPad::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x26, 0x29, 0x36));
    if (m_pages.isEmpty())
        return;
    // At most two pages show while the strip turns: the one left of the position and the next.
    const int first = std::clamp(int(std::floor(m_scroll)), 0, int(m_pages.size()) - 1);
    for (int i = first; i <= std::min(first + 1, int(m_pages.size()) - 1); ++i) {
        const int left = int(std::lround((i - m_scroll) * width()));
        if (left < width() && left + width() > 0)
            paintPage(painter, m_pages[i], rect().translated(left, 0));
    }
    // Where the strip is: a dot per page.
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < m_pages.size(); ++i) {
        painter.setBrush(i == m_currentShowIndex ? QColor(Qt::white) : QColor(0x6b, 0x70, 0x85));
        painter.drawEllipse(QPoint(width() / 2 - int(m_pages.size()) * 6 + i * 12, height() - 10), 3, 3);
    }
}

void SlideView_iPad::paintPage(QPainter& painter, const Page& page, const QRect& area) const
{
    const QVariantMap show = JsonValue::map(page.shows.value(page.current));
    // The picture on the right third, the one for "no picture" until it has arrived.
    const QRect pictureArea(area.right() - area.width() / 3 - 8, area.top() + 40, area.width() / 3,
                            area.height() - 60);
    const QImage picture =
        page.picture.isNull() ? Images::named(QStringLiteral("non_screen_img.png")).toImage() : page.picture;
    if (!picture.isNull())
        painter.drawImage(pictureArea,
                          picture.scaled(pictureArea.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        painter.fillRect(pictureArea, QColor(0x33, 0x36, 0x46));
    painter.setPen(QColor(0xb8, 0xbc, 0xcb));
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    const QRect text = area.adjusted(12, 8, -12 - ButtonSize * 2, -8);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop,
                     DateAdditions::getTimeIntervalToDate(moment(show.value(QStringLiteral("ts"))),
                                                          moment(show.value(QStringLiteral("tf")))));
    font.setPixelSize(17);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(text.adjusted(0, 20, 0, 0), Qt::AlignLeft | Qt::AlignTop, page.title);
    font.setPixelSize(15);
    font.setBold(false);
    painter.setFont(font);
    const QRect showText(text.left(), text.top() + 44, pictureArea.left() - text.left() - 8,
                         text.height() - 44);
    painter.drawText(showText, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     JsonValue::text(show.value(QStringLiteral("t"))));
}

void SlideView_iPad::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_refreshButton->move(width() - ButtonSize - 6, 6);
    m_shareButton->move(width() - 2 * ButtonSize - 10, 6);
    if (m_offlineLabel)
        m_offlineLabel->setGeometry((width() - 200) / 2, (height() - 20) / 2, 200, 20);
}

void SlideView_iPad::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    m_pressX = int(event->position().x());
    m_dragged = 0;
}

void SlideView_iPad::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    // Nothing moves until the press has travelled past the tap slop; then the strip catches up.
    const int total = int(event->position().x()) - m_pressX;
    if (std::abs(total) < TapSlop && std::abs(m_dragged) < TapSlop)
        return;
    dragBy(total - m_dragged);
    m_dragged = total;
}

void SlideView_iPad::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    m_pressed = false;
    if (std::abs(m_dragged) >= TapSlop)
        endDrag();
    else if (rect().contains(event->position().toPoint()))
        Q_EMIT tapped();
}
