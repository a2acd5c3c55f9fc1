#include "ProgramViewController.h"

#include "ShowDetailsLink.h"
#include "ShowDetailsViewController.h"
#include "TableEmptyProgramCell.h"
#include "TableViewCellProgram.h"

#include "core/AppDelegate.h"
#include "core/ORVNavigationController.h"
#include "model/Channel.h"
#include "model/DateAdditions.h"
#include "model/Show.h"
#include "model/ShowsAnswer.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/Images.h"
#include "ui/ScreenView.h"

#include <QLabel>
#include <QPainter>

namespace {

AppDelegate* app()
{
    return AppDelegate::shared();
}

std::shared_ptr<Channel> currentChannel()
{
    return app() ? app()->selectedChannel() : nullptr;
}

} // namespace

ProgramViewController::ProgramViewController(QObject* parent)
    : ViewController(QStringLiteral("ProgramViewController_iPhone"), parent)
{
    setTitle(StringTable::localized("Program"));
    tabBarItem().title = title();
    tabBarItem().imageName = QStringLiteral("program_tab");
}

ProgramViewController::~ProgramViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void ProgramViewController::loadView()
{
    m_calendar = new ORVCalendar;
    m_table = new ListTable(this, this);
    QWidget* view = ScreenView::column(nibName(), {m_calendar, m_table});
    m_overlay = new ActivityOverlay(view);
    setView(view);
}

void ProgramViewController::viewDidLoad()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const auto observe = [this, &center](NotificationName name, NotificationCenter::Handler handler) {
        center.observeOnMain(this, name, std::move(handler), NotificationCenter::OnMain::Queued);
    };
    observe(Notifications::ChannelChanged, [this](const Notification&) { channelChanged(); });
    observe(Notifications::ProgramUpdate, [this](const Notification&) { programUpdate(); });
    for (NotificationName name : {Notifications::UpdateCityChanging, Notifications::Idle})
        observe(name, [this](const Notification&) { clearProgram(); });

    // The strip reports to this screen only after its own set-up.
    m_calendar->setDelegate(this);
    m_emptyProgramFlag = true;
    m_arrayShows.clear();
    navigationItem()->setLeftBarButtonItems(
        {BarButtonItem::withImage(QStringLiteral("search_nav_bar_icon"), [this] { showSearch(); }),
         BarButtonItem::withImage(QStringLiteral("ch_manual"), [this] {
             if (app())
                 app()->showProgramSelectorWithDelegate(this);
         })});
    addChannelNameToCalendarTitle();
    m_table->reloadData();
    loadProgram();
}

int ProgramViewController::supportedInterfaceOrientations() const
{
    return Portrait | LandscapeLeft | LandscapeRight;
}

bool ProgramViewController::isLoading() const
{
    return m_overlay && m_overlay->isDisplaying();
}

void ProgramViewController::dateSelected(const QDateTime&)
{
    addChannelNameToCalendarTitle();
    loadProgram();
}

void ProgramViewController::addChannelNameToCalendarTitle()
{
    const std::shared_ptr<Channel> channel = currentChannel();
    if (!channel || !m_calendar)
        return;
    QLabel* label = m_calendar->currentDateLabel();
    label->setText(label->text() + Printf::format(QStringLiteral(" (%@)"), {channel->name()}));
}

void ProgramViewController::loadProgram()
{
    const std::shared_ptr<Channel> channel = currentChannel();
    if (!channel || !isViewLoaded())
        return;
    m_table->hide();
    m_calendar->show();
    m_overlay->displayActivity(StringTable::localized("Loading"));
    ServiceCalls::sharedManager().getProgramForDayWithChannelId(
        channel->channelId(), m_calendar->selectedDate(),
        Reply::newest(this, &m_loadGeneration, &ProgramViewController::onGetProgramForDayWithChannelIdDone,
                      &ProgramViewController::onGetProgramForDayWithChannelIdFailed));
    m_lastFoundChannelId = channel->channelId().toInt();
}

void ProgramViewController::showToday()
{
    const int generation = m_loadGeneration;
    m_calendar->setSelectedDate(QDateTime::currentDateTime());
    m_calendar->syncDisplayedDate();
    // The strip reports only a date that changed: twice within one millisecond it is silent.
    if (generation == m_loadGeneration)
        loadProgram();
}

void ProgramViewController::onGetProgramForDayWithChannelIdDone(const QVariant& answer)
{
    m_overlay->hide();
    if (JsonValue::isMap(answer)) {
        const QVariantMap dictionary = answer.toMap();
        m_emptyProgramFlag = dictionary.contains(QStringLiteral("nodata"));
        m_arrayShows =
            ShowsAnswer::showsFromAnswer(dictionary, app() ? app()->roundedServerTimeDifference() : 0);
    }
    ShowsAnswer::sortByStartTime(m_arrayShows);
    const QDateTime now = QDateTime::currentDateTime();
    m_currentShowIndex = 0;
    for (int i = 0; i < m_arrayShows.size(); ++i) {
        const Show& show = *m_arrayShows[i];
        if (show.endTime > now && show.startTime.isValid() && show.startTime < now) {
            m_currentShowIndex = i;
            break;
        }
    }
    m_table->reloadData();
    m_table->show();
    m_calendar->show();
    if (showsShows() && m_currentShowIndex < m_arrayShows.size())
        m_table->scrollToRowAtTop({m_currentShowIndex, 0}, true);
    else
        m_table->scrollToTop();
}

void ProgramViewController::onGetProgramForDayWithChannelIdFailed(const Error& error)
{
    m_overlay->hide();
    qInfo("programme: %s", qPrintable(error.localizedDescription()));
    AlertView::showError(error);
    m_table->show();
    m_calendar->show();
}

bool ProgramViewController::showsShows() const
{
    return !m_emptyProgramFlag && !m_arrayShows.isEmpty();
}

int ProgramViewController::numberOfSections() const
{
    return m_emptyProgramFlag ? 1 : int(m_arrayShows.size());
}

int ProgramViewController::numberOfRowsInSection(int) const
{
    return 1;
}

int ProgramViewController::heightForRow(const IndexPath&) const
{
    return RowHeight;
}

int ProgramViewController::heightForHeaderInSection(int section) const
{
    return section == 0 ? 2 : SectionGap;
}

QString ProgramViewController::emptyMessage() const
{
    const std::shared_ptr<Channel> channel = currentChannel();
    if (channel && channel->channelId().toInt() != NoChannel)
        return StringTable::localized("Program for the day is not");
    return StringTable::localized("Choose channel...");
}

TableViewCellProgram ProgramViewController::cellForShow(const Show& show, const QDateTime& now)
{
    TableViewCellProgram cell;
    cell.labelShowName = show.name;
    if (!show.name.isNull() && !show.subTitle.isEmpty())
        cell.labelShowName += Printf::format(QStringLiteral(" (%@)"), {show.subTitle});
    cell.labelShowDescription = show.description;
    cell.labelDuration = DateAdditions::getBriefDurationUntilDate(show.startTime, show.endTime);
    cell.labelTime = show.startTime.isValid() ? DateAdditions::getTime(show.startTime) : QString();
    const QString icon = show.iconName();
    if (!icon.isEmpty() && Images::exists(icon))
        cell.imageViewRight = Images::named(icon).toImage();
    cell.enabled = show.endTime.isValid() && show.endTime > now;
    return cell;
}

void ProgramViewController::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                     RowState state)
{
    if (!showsShows()) {
        TableEmptyProgramCell cell;
        cell.messageLabel = emptyMessage();
        cell.paint(painter, rect);
        return;
    }
    if (path.section >= m_arrayShows.size())
        return;
    cellForShow(*m_arrayShows[path.section], QDateTime::currentDateTime()).paint(painter, rect, state);
}

void ProgramViewController::didSelectRowAtIndexPath(const IndexPath& path)
{
    m_table->deselectRow(path);
    if (!showsShows()) {
        const std::shared_ptr<Channel> channel = currentChannel();
        if (!channel || channel->channelId().toInt() == NoChannel)
            showCSelector();
        return;
    }
    const std::shared_ptr<Channel> channel = currentChannel();
    if (!channel || path.section >= m_arrayShows.size())
        return;
    ShowDetailsLink::openKept(m_showDetailsViewController, this, navigationController(),
                              ShowDetailsLink::make(m_calendar->selectedDate(), channel->channelId(),
                                                    m_arrayShows[path.section]->showId));
}

void ProgramViewController::channelChanged()
{
    const std::shared_ptr<Channel> channel = currentChannel();
    if (channel && channel->channelId().toInt() == m_lastFoundChannelId && !channel->isSelectedManually())
        return;
    programUpdate();
}

void ProgramViewController::programUpdate()
{
    if (!isViewLoaded())
        return;
    showToday();
}

void ProgramViewController::clearProgram()
{
    if (!isViewLoaded())
        return;
    ++m_loadGeneration; // an answer still on its way belongs to what is cleared
    m_overlay->hide();
    m_arrayShows.clear();
    m_emptyProgramFlag = true;
    m_lastFoundChannelId = NoChannel;
    m_table->reloadData();
    m_table->show();
    showToday();
}

void ProgramViewController::showSearch()
{
    if (!m_searchViewController) {
        m_searchViewController = new SearchViewController(this);
        m_searchViewController->setDelegate(this);
    }
    presentModalViewController(new ORVNavigationController(m_searchViewController), true);
}

void ProgramViewController::showCSelector()
{
    if (app())
        app()->showProgramSelectorWithDelegate(this);
}

void ProgramViewController::searchViewControllerDidFinish(SearchViewController*)
{
    dismissModalViewControllerAnimated(true);
}

void ProgramViewController::cSelectorViewControllerDidFinish(CSelectorViewController* controller)
{
    if (controller && m_calendar) {
        m_calendar->assignSelectedDateToTitle();
        addChannelNameToCalendarTitle();
    }
    if (app())
        app()->dismissProgramSelector();
}
