#include "ORVProgramView_iPad.h"

#include "ExpandedShowCell.h"
#include "ProgramDetailsController.h"

#include "core/AppDelegate.h"
#include "model/DateAdditions.h"
#include "model/DateHelper.h"
#include "model/ShowsAnswer.h"
#include "model/Utilities.h"
#include "platform/JsonValue.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/Images.h"
#include "ui/NavigationController.h"
#include "widgets/PaintedImages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr qint64 PictureMemory = 16 * 1024 * 1024;

AppDelegate* app()
{
    return AppDelegate::shared();
}

} // namespace

ORVProgramView_iPad::ORVProgramView_iPad(QObject* parent)
    : ORVViewController_iPad(QStringLiteral("ORVProgramView_iPad"), parent),
      m_images(new PaintedImages(PictureMemory, this))
{
    setTitleString(QStringLiteral("Программа"));
}

QDateTime ORVProgramView_iPad::dateOfItem(int item) const
{
    const QDateTime reference = Utilities::optimizeDateForORVProgram(m_caroDate);
    const int weekday = reference.toLocalTime().date().dayOfWeek(); // Monday 1 .. Sunday 7
    return reference.addDays(qint64(m_weekOffset) * 7 + (item - weekday + 1));
}

QString ORVProgramView_iPad::itemText(int item) const
{
    const QDateTime day = dateOfItem(item);
    return DateAdditions::getDayOfWeek(day) + u'\n' + DateAdditions::getYearDay(day);
}

QString ORVProgramView_iPad::weekLabelText() const
{
    const QLocale locale = DateHelper::displayLocale();
    return Printf::format(
        QStringLiteral("%@ - %@"),
        {locale.toString(dateOfItem(0).toLocalTime().date(), QStringLiteral("d MMMM")),
         locale.toString(dateOfItem(6).toLocalTime().date(), QStringLiteral("d MMMM yyyy"))});
}

void ORVProgramView_iPad::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* weekRow = new QHBoxLayout;
    weekRow->setContentsMargins(12, 8, 12, 4);
    auto* previous = new QPushButton(QStringLiteral("◀"));
    previous->setObjectName(QStringLiteral("prevWeekButton"));
    auto* next = new QPushButton(QStringLiteral("▶"));
    next->setObjectName(QStringLiteral("nextWeekButton"));
    m_weekLabel = new QLabel;
    m_weekLabel->setAlignment(Qt::AlignCenter);
    m_weekLabel->setStyleSheet(QStringLiteral("font-size: 16px; color: #e6e8ef;"));
    weekRow->addWidget(previous);
    weekRow->addWidget(m_weekLabel, 1);
    weekRow->addWidget(next);
    connect(previous, &QPushButton::clicked, this, &ORVProgramView_iPad::prevWeekTouch);
    connect(next, &QPushButton::clicked, this, &ORVProgramView_iPad::nextWeekTouch);
    column->addLayout(weekRow);
    // The week's days, Monday first.
    auto* days = new QHBoxLayout;
    days->setContentsMargins(8, 0, 8, 8);
    days->setSpacing(4);
    for (int i = 0; i < 7; ++i) {
        auto* item = new QPushButton;
        item->setCheckable(true);
        item->setMinimumHeight(54);
        item->setStyleSheet(
            QStringLiteral("QPushButton { background: #e8ebf2; border: none; border-radius: 6px; "
                           "color: #33364a; font-size: 11px; } QPushButton:checked { background: #2f5fb3; "
                           "color: white; }"));
        connect(item, &QPushButton::clicked, this, [this, i] { selectItem(i); });
        m_items.append(item);
        days->addWidget(item, 1);
    }
    column->addLayout(days);
    m_table = new ListTable(this, this);
    m_table->setObjectName(QStringLiteral("programTable"));
    column->addWidget(m_table, 1);
    m_overlay = new ActivityOverlay(m_table);
    connect(m_images, &PaintedImages::arrived, m_table->viewport(),
            [this] { m_table->viewport()->update(); });
    setView(view);
}

void ORVProgramView_iPad::viewDidLoad()
{
    ORVViewController_iPad::viewDidLoad();
    m_caroDate = QDateTime::currentDateTime();
    m_currentItem = Utilities::optimizeDateForORVProgram(m_caroDate).toLocalTime().date().dayOfWeek() - 1;
    refreshCarousel();
    loadProgram(dateOfItem(m_currentItem));
}

void ORVProgramView_iPad::refreshCarousel()
{
    for (int i = 0; i < m_items.size(); ++i) {
        m_items[i]->setText(itemText(i));
        m_items[i]->setChecked(i == m_currentItem);
    }
    if (m_weekLabel)
        m_weekLabel->setText(weekLabelText());
}

void ORVProgramView_iPad::selectItem(int item)
{
    if (item < 0 || item > 6)
        return;
    const bool changed = item != m_currentItem;
    m_currentItem = item;
    refreshCarousel();
    if (changed)
        loadProgram(dateOfItem(item));
}

void ORVProgramView_iPad::prevWeekTouch()
{
    --m_weekOffset;
    refreshCarousel();
    loadProgram(dateOfItem(m_currentItem));
}

void ORVProgramView_iPad::nextWeekTouch()
{
    ++m_weekOffset;
    refreshCarousel();
    loadProgram(dateOfItem(m_currentItem));
}

bool ORVProgramView_iPad::isLoading() const
{
    return m_overlay && m_overlay->isDisplaying();
}

void ORVProgramView_iPad::loadProgram(const QDateTime& date)
{
    if (m_channelId.isEmpty())
        return;
    m_loadedDate = date;
    if (m_overlay)
        m_overlay->displayActivity(StringTable::localized("Loading"));
    // Only the answer of the latest date asked for is shown.
    ServiceCalls::sharedManager().getProgramForDayWithChannelId(
        m_channelId, date,
        Reply::newest(this, &m_generation, &ORVProgramView_iPad::onGetProgramForDayWithChannelIdDone,
                      &ORVProgramView_iPad::onGetProgramForDayWithChannelIdFailed));
}

void ORVProgramView_iPad::onGetProgramForDayWithChannelIdDone(const QVariant& answer)
{
    if (m_overlay)
        m_overlay->hide();
    const QVariantMap map = JsonValue::map(answer);
    m_arrayShows.clear();
    m_emptyProgramFlag = map.isEmpty() || map.contains(QStringLiteral("nodata"));
    if (map.contains(QStringLiteral("t")))
        setTitleString(JsonValue::text(map.value(QStringLiteral("t"))));
    m_currentShowIndex = 0;
    if (!m_emptyProgramFlag) {
        m_arrayShows = ShowsAnswer::showsFromAnswer(map, app() ? app()->roundedServerTimeDifference() : 0);
        const QString channelId = JsonValue::text(map.value(QStringLiteral("channid")));
        const QDateTime now = QDateTime::currentDateTime();
        for (int i = 0; i < m_arrayShows.size(); ++i) {
            Show& show = *m_arrayShows[i];
            show.channelId = channelId.isEmpty() ? m_channelId : channelId;
            if (m_currentShowIndex == 0 && show.startTime <= now && show.endTime > now)
                m_currentShowIndex = i;
        }
        m_emptyProgramFlag = m_arrayShows.isEmpty();
    }
    if (!m_table)
        return;
    m_table->reloadData();
    if (!m_emptyProgramFlag)
        m_table->scrollToRowAtTop({m_currentShowIndex, 0}, true);
}

void ORVProgramView_iPad::onGetProgramForDayWithChannelIdFailed(const Error& error)
{
    if (m_overlay)
        m_overlay->hide();
    (new AlertView(StringTable::localized("Error"), error.localizedDescription(), nullptr, {},
                   StringTable::localized("OK")))
        ->show();
}

int ORVProgramView_iPad::numberOfSections() const
{
    return m_emptyProgramFlag ? 1 : int(m_arrayShows.size());
}

int ORVProgramView_iPad::numberOfRowsInSection(int) const
{
    return 1;
}

int ORVProgramView_iPad::heightForRow(const IndexPath&) const
{
    return RowHeight;
}

int ORVProgramView_iPad::heightForHeaderInSection(int) const
{
    return 1;
}

void ORVProgramView_iPad::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                   RowState state)
{
    if (m_emptyProgramFlag) {
        painter->fillRect(rect, QColor(0xf4, 0xf5, 0xf8));
        painter->setPen(QColor(0x5a, 0x5e, 0x6c));
        painter->drawText(rect, Qt::AlignCenter, StringTable::localized("No programme for this day."));
        return;
    }
    if (path.section >= m_arrayShows.size())
        return;
    const Show& show = *m_arrayShows[path.section];
    ExpandedShowCell cell;
    cell.caption = ExpandedShowCell::captionFor(show.name, show.subTitle);
    cell.description = show.description;
    cell.startTime = DateAdditions::getTime(show.startTime);
    cell.duration = DateAdditions::getBriefDurationUntilDate(show.startTime, show.endTime);
    cell.picture =
        show.pictureName.isEmpty() ? QImage() : m_images->image(ContentAddresses::picture(show.pictureName));
    if (cell.picture.isNull())
        cell.picture = Images::named(QStringLiteral("no_photo_rect.png")).toImage();
    cell.enabled = show.endTime > QDateTime::currentDateTime();
    cell.highlighted = state.highlighted;
    cell.paint(painter, rect);
}

void ORVProgramView_iPad::didSelectRowAtIndexPath(const IndexPath& path)
{
    if (m_emptyProgramFlag || path.section < 0 || path.section >= m_arrayShows.size() ||
        !navigationController())
        return;
    const Show& show = *m_arrayShows[path.section];
    auto* details = new ProgramDetailsController(this);
    details->setRootDelegate(rootDelegate());
    navigationController()->pushViewController(details, true);
    details->openShowWithId(show.showId, show.channelId, show.startTime);
}
