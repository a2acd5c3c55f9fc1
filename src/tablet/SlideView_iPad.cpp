#include "SlideView_iPad.h"

#include "core/AppDelegate.h"
#include "model/DateAdditions.h"
#include "platform/JsonValue.h"
#include "service/ServiceCalls.h"
#include "ui/ViewTag.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

constexpr int OfflineLabelTag = 555;

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
    : QWidget(parent), m_slideTimer(new QTimer(this)), m_checkTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("SlideView_iPad"));
    setMinimumHeight(120);
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
    m_currentShowIndex = m_pages.isEmpty() ? 0 : std::min(m_currentShowIndex, int(m_pages.size()) - 1);
    update();
}

void SlideView_iPad::reloadChannelsWithIds()
{
    m_pages.clear();
    m_currentShowIndex = 0;
    request(m_channelsId);
    update();
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
        if (existing != m_pages.end())
            *existing = page;
        else
            m_pages.append(page);
    }
    // Keep the ids' order among the pages.
    std::stable_sort(m_pages.begin(), m_pages.end(), [this](const Page& a, const Page& b) {
        return m_channelsId.indexOf(a.channelId) < m_channelsId.indexOf(b.channelId);
    });
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
    m_currentShowIndex = (m_currentShowIndex + 1) % int(m_pages.size());
    update();
}

void SlideView_iPad::checkShowBounds(const QDateTime& now)
{
    QList<int> runOut;
    for (Page& page : m_pages) {
        if (moment(JsonValue::map(page.shows.value(page.current)).value(QStringLiteral("tf"))) > now)
            continue;
        int next = page.current + 1;
        while (next < page.shows.size() &&
               moment(JsonValue::map(page.shows[next]).value(QStringLiteral("tf"))) <= now)
            ++next;
        if (next < page.shows.size())
            page.current = next;
        else
            runOut.append(page.channelId);
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

bool SlideView_iPad::getCurrentIsScreensSign() const
{
    const Page* page = currentPage();
    return page && page->screens;
}

void SlideView_iPad::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x26, 0x29, 0x36));
    const Page* page = currentPage();
    if (!page)
        return;
    const QVariantMap show = currentShow();
    painter.setPen(QColor(0xb8, 0xbc, 0xcb));
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    const QRect text = rect().adjusted(12, 8, -12, -8);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop,
                     DateAdditions::getTimeIntervalToDate(moment(show.value(QStringLiteral("ts"))),
                                                          moment(show.value(QStringLiteral("tf")))));
    font.setPixelSize(17);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(text.adjusted(0, 20, 0, 0), Qt::AlignLeft | Qt::AlignTop, page->title);
    font.setPixelSize(15);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(text.adjusted(0, 44, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     JsonValue::text(show.value(QStringLiteral("t"))));
    // Where the strip is: a dot per page.
    for (int i = 0; i < m_pages.size(); ++i) {
        painter.setBrush(i == m_currentShowIndex ? QColor(Qt::white) : QColor(0x6b, 0x70, 0x85));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPoint(width() / 2 - int(m_pages.size()) * 6 + i * 12, height() - 10), 3, 3);
    }
}

void SlideView_iPad::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        Q_EMIT tapped();
}
