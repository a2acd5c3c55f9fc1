#include "ORVNowViewController.h"

#include "ExpandedShowCell.h"
#include "ExpandedViewCell_iPad.h"
#include "KTPhotoScrollViewController.h"
#include "ModalWebController_iPad.h"
#include "NowPriority.h"
#include "ORVProgramView_iPad.h"
#include "ORVSearchController_iPad.h"
#include "Photos.h"
#include "ProgramDetailsController.h"
#include "TableViewCellNow_iPad.h"

#include "core/AppDelegate.h"
#include "model/ChannelsRepository.h"
#include "model/DateAdditions.h"
#include "model/ManagedRecords.h"
#include "model/RatingRepository.h"
#include "model/Utilities.h"
#include "platform/Dispatch.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/Printf.h"
#include "platform/SerialQueue.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/AlertView.h"
#include "ui/BarButtonItem.h"
#include "ui/Images.h"
#include "ui/NavigationController.h"
#include "ui/ViewTag.h"
#include "widgets/PaintedImages.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPainter>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

Q_LOGGING_CATEGORY(lcBoard, "orvane.tablet.board")

namespace {

constexpr int IndicatorTag = 1000;
constexpr int NoDataTag = 1001;
constexpr int IndicatorLabelTag = 1003;
constexpr int IndicatorProgressTag = 1004;
constexpr int TimeLineHeight = 80;
constexpr qint64 PictureMemory = 24 * 1024 * 1024;

AppDelegate* app()
{
    return AppDelegate::shared();
}

bool connected()
{
    return app() && app()->isConnectionAvailable();
}

double serverTimeDifference()
{
    return app() ? app()->roundedServerTimeDifference() : 0;
}

QString nextText(const Show* next)
{
    return next ? QStringLiteral("Далее: ") + ExpandedShowCell::captionFor(next->name, next->subTitle)
                : QString();
}

} // namespace

ORVNowViewController::ORVNowViewController(QObject* parent)
    : ORVViewController_iPad(QStringLiteral("ORVNowViewController"), parent),
      m_images(new PaintedImages(PictureMemory, this))
{}

ORVNowViewController::~ORVNowViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void ORVNowViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_table = new ListTable(this, this);
    m_table->setObjectName(QStringLiteral("nowTable"));
    layout->addWidget(m_table, 1);
    m_expandedViewCell = new ExpandedViewCell_iPad(m_table->viewport());
    m_expandedViewCell->hide();
    connect(m_expandedViewCell, &ExpandedViewCell_iPad::tapped, this,
            &ORVNowViewController::collapseShowDetails);
    connect(m_expandedViewCell->openNextBtn(), &QPushButton::clicked, this,
            &ORVNowViewController::expandNextShows);
    connect(m_expandedViewCell->channelLogoButton(), &QPushButton::clicked, this,
            &ORVNowViewController::showProgramForExpandedChannel);
    connect(m_expandedViewCell->showImagesButton(), &QPushButton::clicked, this,
            &ORVNowViewController::showScreensForExpandedChannel);
    connect(m_expandedViewCell, &ExpandedViewCell_iPad::movieSiteTapped, this,
            [](const QUrl& page) { ModalWebController_iPad::showModalWebWithUrlString(page.toString()); });
    m_table->viewport()->installEventFilter(this);
    connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ORVNowViewController::placeExpandedCell);
    connect(m_images, &PaintedImages::arrived, m_table->viewport(),
            [this] { m_table->viewport()->update(); });

    // The time line: a slider of the minutes of today after 05:00, under the board.
    m_timeLineView = new QWidget(view);
    m_timeLineView->setObjectName(QStringLiteral("TimeLineView"));
    m_timeLineView->setFixedHeight(TimeLineHeight);
    m_timeLineView->setStyleSheet(QStringLiteral("background: #8e929e;"));
    auto* line = new QHBoxLayout(m_timeLineView);
    m_timeLineLabel = new QLabel(m_timeLineView);
    m_timeLineLabel->setStyleSheet(QStringLiteral("color: white; font-size: 18px; font-weight: bold;"));
    m_slider = new QSlider(Qt::Horizontal, m_timeLineView);
    m_slider->setRange(0, 24 * 60 - 1);
    m_slider->setTracking(true);
    line->addWidget(m_timeLineLabel);
    line->addWidget(m_slider, 1);
    layout->addWidget(m_timeLineView);
    m_timeLineView->hide();
    m_timeLabel = new QLabel(view);
    m_timeLabel->setAlignment(Qt::AlignCenter);
    m_timeLabel->setFixedSize(80, 40);
    m_timeLabel->setStyleSheet(QStringLiteral("background: black; color: white; font-size: 16px;"));
    m_timeLabel->hide();
    connect(m_slider, &QSlider::sliderPressed, this, [this] {
        m_timeLabel->show();
        m_timeLabel->raise();
        timeValueChanged(m_slider->value());
    });
    connect(m_slider, &QSlider::valueChanged, this, &ORVNowViewController::timeValueChanged);
    connect(m_slider, &QSlider::sliderReleased, this, &ORVNowViewController::timeTouchCancel);
    setView(view);
}

void ORVNowViewController::viewDidLoad()
{
    ORVViewController_iPad::viewDidLoad();
    m_searchBar = barWidget(new QLineEdit);
    m_searchBar->setObjectName(QStringLiteral("searchBar"));
    m_searchBar->setFixedSize(200, 30);
    m_searchBar->setPlaceholderText(StringTable::localized("Search"));
    m_searchBar->setStyleSheet(QStringLiteral("background: #eeeeee; border-radius: 6px; padding: 0 6px;"));
    connect(m_searchBar, &QLineEdit::returnPressed, this,
            &ORVNowViewController::searchBarSearchButtonClicked);
    navigationItem()->setRightBarButtonItems(QList<BarButtonItem>{
        BarButtonItem::withCustomView(m_searchBar),
        BarButtonItem::withTitle(StringTable::localized("Time"), [this] { clickTimeLine(); })});

    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.observeOnMain(this, Notifications::InternetConnectionAvailable, [this](const Notification& n) {
        if (!n.userInfo.value(QStringLiteral("isAvailable")).toBool())
            return;
        setNoDataState(false);
        if (m_board.channelsId().isEmpty())
            setChannelsWithRating();
        else if (!m_board.entries().isEmpty())
            checkDisabledChannels();
        else
            reloadChannels();
    });
    center.observeOnMain(this, Notifications::ChangeFavorites,
                         [this](const Notification&) { setChannelsWithRating(); });
    center.observeOnMain(this, Notifications::PriorityChanged,
                         [this](const Notification&) { updateNowPriority(); });
    center.observeOnMain(this, Notifications::UpdateCityChanging,
                         [this](const Notification&) { setChannelsWithRating(); });
    addActivityIndicator();
    QTimer::singleShot(0, this, &ORVNowViewController::setChannelsWithRating);
}

// Ratings and priorities ------------------------------------------------------------------

void ORVNowViewController::loadCachedRatings(const std::function<void(const QVariant&)>& then)
{
    // The cache is read on its queue; the answer comes back on the main thread.
    Dispatch::cacheQueue().async([this, then] {
        const std::optional<QVariantMap> cached = Utilities::getChannRatingsData();
        Dispatch::mainAsync(this, [then, cached] { then(cached ? QVariant(*cached) : QVariant()); });
    });
}

void ORVNowViewController::setChannelsWithRating()
{
    const auto fromCache = [this] {
        loadCachedRatings([this](const QVariant& cached) {
            if (cached.isValid())
                getChannelsRatingDone(cached);
            else
                setNoDataState(true);
        });
    };
    if (!connected() || !app()) {
        fromCache();
        return;
    }
    ServiceCalls::sharedManager().getChannelRatingsWithCityId(
        app()->userCityId(), Reply(
                                 this, [this](const QVariant& answer) { getChannelsRatingDone(answer); },
                                 [fromCache](const Error&) { fromCache(); }));
}

QList<int> ORVNowViewController::composePriority(const QVariantMap& ratings) const
{
    QList<int> favourites;
    QList<int> watched;
    if (ORVManagedObjectContext* db = app() ? app()->dbContext() : nullptr) {
        for (const auto& record : ChannelsRepository(db).getAllFavorites()) {
            if (record && record->channel_object())
                favourites.append(record->channel_object()->channelId().toInt());
        }
        QList<std::shared_ptr<Rating>> own = RatingRepository(db).getAllRatings();
        std::stable_sort(own.begin(), own.end(),
                         [](const auto& a, const auto& b) { return a->rating() > b->rating(); });
        for (const auto& rating : std::as_const(own))
            watched.append(rating->channId());
    }
    return NowPriority::compose(ratings, favourites, watched,
                                app() ? app()->nowPriorityDict() : QVariantMap());
}

void ORVNowViewController::getChannelsRatingDone(const QVariant& answer)
{
    if (!JsonValue::isMap(answer) || answer.toMap().contains(QStringLiteral("nodata"))) {
        setNoDataState(true);
        return;
    }
    m_board.setChannelsId(composePriority(answer.toMap()));
    reloadChannels();
}

void ORVNowViewController::updateNowPriority()
{
    loadCachedRatings([this](const QVariant& cached) {
        if (cached.isValid()) {
            updateChannelsRatingDone(cached);
            return;
        }
        if (!app())
            return;
        ServiceCalls::sharedManager().getChannelRatingsWithCityId(
            app()->userCityId(),
            Reply(
                this, [this](const QVariant& answer) { updateChannelsRatingDone(answer); },
                [this](const Error&) { setNoDataState(true); }));
    });
}

void ORVNowViewController::updateChannelsRatingDone(const QVariant& answer)
{
    if (!JsonValue::isMap(answer)) {
        setNoDataState(true);
        return;
    }
    if (answer.toMap().contains(QStringLiteral("nodata")))
        return;
    m_board.setChannelsId(composePriority(answer.toMap()));
    resortChannels();
}

// Full load ------------------------------------------------------------------------------------

void ORVNowViewController::reloadChannels()
{
    if (!m_isLoadingComplete || !m_board.hasChannelsId()) {
        qCInfo(lcBoard) << "reload refused:"
                        << (m_isLoadingComplete ? "no channel list" : "a load is running");
        return;
    }
    setIsAutoUpdating(false);
    collapseShowDetails();
    m_isLoadingComplete = false;
    ++m_loadGeneration;
    m_channelsCount = 0;
    m_channelsLimit = int(m_board.channelsId().size());
    m_board.clear();
    reloadTable();
    if (m_channelsLimit == 0) {
        loadProgramsDidFinish();
        return;
    }
    addActivityIndicator();
    const QDateTime today = QDateTime::currentDateTime();
    for (int id : m_board.channelsId())
        requestProgram(QString::number(id), today, false);
}

void ORVNowViewController::requestProgram(const QString& channelId, const QDateTime& date, bool update)
{
    const int generation = m_loadGeneration;
    ServiceCalls::sharedManager().getProgramForDayWithChannelId(
        channelId, date, false, true,
        Reply(
            this,
            [this, update, generation](const QVariant& answer) {
                if (generation != m_loadGeneration)
                    return; // a load that a newer one replaced
                update ? onGetNewProgramDone(answer) : onGetProgramDone(answer);
            },
            [this, update, generation](const Error& error) {
                qCWarning(lcBoard).noquote() << "programme:" << error.localizedDescription();
                if (generation == m_loadGeneration)
                    update ? onGetNewProgramFail() : onGetProgramFail();
            }));
}

void ORVNowViewController::onGetProgramDone(const QVariant& answer)
{
    if (!JsonValue::isMap(answer) || m_isLoadingComplete)
        return;
    if (const std::optional<NowBoardEntry> entry =
            NowBoard::entryFromAnswer(answer, serverTimeDifference(), QDateTime::currentDateTime(), false))
        m_board.addLoaded(*entry);
    else
        qCInfo(lcBoard) << "a channel without a programme";
    ++m_channelsCount;
    if (m_channelsCount >= m_channelsLimit)
        loadProgramsDidFinish();
    else if (m_indicatorProgress)
        m_indicatorProgress->setValue(m_channelsLimit > 0 ? m_channelsCount * 100 / m_channelsLimit : 0);
}

void ORVNowViewController::onGetProgramFail()
{
    if (m_isLoadingComplete)
        return;
    const int oldLimit = m_channelsLimit--;
    if (oldLimit == m_channelsCount + 1)
        loadProgramsDidFinish();
}

void ORVNowViewController::loadProgramsDidFinish()
{
    m_isLoadingComplete = true;
    removeActivityIndicator();
    if (m_board.entries().isEmpty()) {
        reloadTable();
        (new AlertView(QStringLiteral("Нет данных"),
                       QStringLiteral("Возможно у нас технические неполадки. Попробуте запустить позже."),
                       nullptr, {}, QStringLiteral("OK")))
            ->show();
        return;
    }
    resortChannels();
    setIsAutoUpdating(true);
}

void ORVNowViewController::resortChannels()
{
    if (!m_board.hasChannelsId()) {
        qCInfo(lcBoard) << "resort refused: no channel list";
        return;
    }
    m_board.resort();
    reloadTable();
}

void ORVNowViewController::addChannelWithId(int channelId)
{
    ++m_channelsLimit;
    m_isLoadingComplete = false;
    setIsAutoUpdating(false);
    requestProgram(QString::number(channelId), QDateTime::currentDateTime(), false);
}

// Refreshing -------------------------------------------------------------------------------------

bool ORVNowViewController::isAutoUpdating() const
{
    return m_autoUpdateTimer && m_autoUpdateTimer->isActive();
}

void ORVNowViewController::setIsAutoUpdating(bool on)
{
    if (on && connected()) {
        if (!m_autoUpdateTimer) {
            m_autoUpdateTimer = new QTimer(this);
            m_autoUpdateTimer->setInterval(CheckSeconds * 1000);
            connect(m_autoUpdateTimer, &QTimer::timeout, this, [this] { checkShowBounds(); });
            m_autoUpdateTimer->start();
        }
        if (!m_checkDisabledTimer) {
            m_checkDisabledTimer = new QTimer(this);
            m_checkDisabledTimer->setInterval(DisabledSeconds * 1000);
            connect(m_checkDisabledTimer, &QTimer::timeout, this, [this] { checkDisabledChannels(); });
            m_checkDisabledTimer->start();
        }
        return;
    }
    delete m_autoUpdateTimer;
    delete m_checkDisabledTimer;
}

void ORVNowViewController::checkShowBounds(const QDateTime& now)
{
    m_currentDate = now;
    const NowBoard::Check check = m_board.checkShowBounds(now);
    if (!check.showUpdates.isEmpty())
        updateShowWithIndexes(check.showUpdates, check.expandedChanged, check.expandedOldIndex);
    if (!check.programUpdates.isEmpty()) {
        setIsAutoUpdating(false);
        updateProgramsWithIndexes(check.programUpdates, now);
    }
    if (check.showUpdates.isEmpty() && check.programUpdates.isEmpty()) {
        const int expanded = m_board.expandedSection();
        if (expanded >= 0 && m_expandedViewCell) {
            const Show* show = m_board.entries()[expanded].current();
            if (connected() || !show)
                m_expandedViewCell->updateDuration(now);
            else
                m_expandedViewCell->updateDurationWithStartDate(show->startTime, show->endTime, now);
        }
        // Progress and time left move: the rows on screen are painted again, nothing rebuilt.
        if (m_table)
            m_table->viewport()->update();
    }
}

void ORVNowViewController::updateShowWithIndexes(const QList<int>& sections, bool updateExpand, int oldIndex)
{
    Q_UNUSED(sections)
    const int expanded = m_board.expandedSection();
    if (updateExpand && expanded >= 0) {
        NowBoardEntry& entry = m_board.entries()[expanded];
        fillExpandedRow(entry);
        // An open list of next shows follows: the shows now past leave it, new ones join.
        if (entry.nextShowRows() < 1)
            entry.expandedCells = 0;
        else if (entry.expandedCells > 0)
            entry.expandedCells = entry.nextShowRows();
        Q_UNUSED(oldIndex)
        m_expandedViewCell->setNextButton(nextText(entry.next()), entry.expandedCells > 0);
        reloadTable();
        return;
    }
    if (m_table)
        m_table->viewport()->update();
}

void ORVNowViewController::updateProgramsWithIndexes(const QList<int>& sections, const QDateTime& now)
{
    m_channelsForUpdateLimit = int(sections.size());
    m_channelsForUpdateCount = 0;
    m_isUpdateComplete = false;
    m_isUpdateExpandedProgram = false;
    m_updateProgramIds.clear();
    m_disabledChannsId.clear();
    for (int section : sections)
        m_disabledChannsId.insert(m_board.entries()[section].channelId());
    const NowBoardEntry& first = m_board.entries()[sections.first()];
    const QDateTime date = first.showsarr.isEmpty()
                               ? now.addDays(1)
                               : NowBoard::nextProgrammeDate(first.showsarr.first()->startTime, now);
    for (int section : sections)
        requestProgram(m_board.entries()[section].channid, date, true);
}

void ORVNowViewController::onGetNewProgramDone(const QVariant& answer)
{
    if (!JsonValue::isMap(answer) || m_isUpdateComplete)
        return;
    if (const std::optional<NowBoardEntry> loaded =
            NowBoard::entryFromAnswer(answer, serverTimeDifference(), QDateTime::currentDateTime(), true)) {
        const int section = m_board.indexOfChannel(loaded->channid);
        if (section >= 0) {
            NowBoardEntry& entry = m_board.entries()[section];
            const int expandedCells = entry.expandedCells;
            entry = *loaded;
            entry.expandedCells = expandedCells;
            if (section == m_board.expandedSection())
                m_isUpdateExpandedProgram = true;
            else if (entry.currind >= 0)
                m_updateProgramIds.append(entry.channid);
            if (entry.currind >= 0)
                m_disabledChannsId.remove(entry.channelId());
        }
    }
    if (++m_channelsForUpdateCount >= m_channelsForUpdateLimit)
        programsUpdateDidFinish();
}

void ORVNowViewController::onGetNewProgramFail()
{
    if (m_isUpdateComplete)
        return;
    const int oldLimit = m_channelsForUpdateLimit--;
    if (oldLimit == m_channelsForUpdateCount + 1)
        programsUpdateDidFinish();
}

void ORVNowViewController::programsUpdateDidFinish()
{
    setNoDataState(false);
    m_isUpdateComplete = true;
    setIsAutoUpdating(true);
    const int expanded = m_board.expandedSection();
    if (m_isUpdateExpandedProgram && expanded >= 0 && m_board.entries()[expanded].current())
        fillExpandedRow(m_board.entries()[expanded]);
    reloadTable();
    disableChannelsWithIds(m_disabledChannsId);
}

void ORVNowViewController::disableChannelsWithIds(const QSet<int>& ids)
{
    if (ids.isEmpty())
        return;
    const int expanded = m_board.expandedSection();
    const bool expandedGoes = expanded >= 0 && ids.contains(m_board.entries()[expanded].channelId());
    if (expandedGoes)
        collapseShowDetails();
    if (!m_board.disableChannels(ids).isEmpty())
        reloadTable();
}

void ORVNowViewController::checkDisabledChannels(const QDateTime& now)
{
    setIsAutoUpdating(false);
    const NowBoard::Retry retry = m_board.checkDisabled(now);
    if (!retry.reinstated.isEmpty())
        reloadTable();
    if (retry.reload.isEmpty() || !m_isLoadingComplete) {
        setIsAutoUpdating(true);
        return;
    }
    m_isLoadingComplete = false;
    m_channelsCount = int(m_board.entries().size());
    m_channelsLimit = m_channelsCount + int(retry.reload.size());
    for (const NowBoardEntry& entry : retry.reload) {
        const QDateTime date = entry.showsarr.isEmpty()
                                   ? now
                                   : NowBoard::nextProgrammeDate(entry.showsarr.first()->startTime, now);
        requestProgram(entry.channid, date, false);
    }
}

// Expansion ----------------------------------------------------------------------------------------

void ORVNowViewController::didSelectRowAtIndexPath(const IndexPath& path)
{
    if (path.section < 0 || path.section >= m_board.entries().size())
        return;
    const NowBoardEntry& entry = m_board.entries()[path.section];
    if (path.row == 0) {
        if (path.section == m_board.expandedSection())
            collapseShowDetails();
        else
            expandSection(path.section);
        return;
    }
    const int index = entry.currind + path.row;
    if (entry.currind >= 0 && index < entry.showsarr.size())
        openDetailsControllerWithShow(*entry.showsarr[index]);
}

void ORVNowViewController::fillExpandedRow(const NowBoardEntry& entry)
{
    if (!m_expandedViewCell)
        return;
    m_expandedViewCell->setChannel(entry.channtitle, logoUrl(entry));
    m_expandedViewCell->setNextButton(nextText(entry.next()), entry.expandedCells > 0);
    m_expandedViewCell->updateInfoWithShow(entry.currind >= 0 ? entry.showsarr[entry.currind] : nullptr,
                                           entry.istvsign);
}

void ORVNowViewController::expandSection(int section)
{
    if (m_board.expandedSection() >= 0)
        collapseShowDetails();
    NowBoardEntry& entry = m_board.entries()[section];
    entry.expandedCells = 0;
    fillExpandedRow(entry);
    m_board.setExpandedSection(section);
    m_expandingCellReady = true;
    reloadTable();
    if (m_table)
        m_table->selectRow({section, 0});
}

void ORVNowViewController::collapseShowDetails()
{
    const int expanded = m_board.expandedSection();
    if (expanded < 0)
        return;
    if (expanded < m_board.entries().size())
        m_board.entries()[expanded].expandedCells = 0;
    m_board.setExpandedSection(-1);
    m_expandingCellReady = false;
    if (m_expandedViewCell)
        m_expandedViewCell->hide();
    if (m_table)
        m_table->deselectRow({expanded, 0});
    reloadTable();
}

void ORVNowViewController::expandNextShows()
{
    const int expanded = m_board.expandedSection();
    if (expanded < 0)
        return;
    NowBoardEntry& entry = m_board.entries()[expanded];
    entry.expandedCells = entry.expandedCells > 0 ? 0 : entry.nextShowRows();
    m_expandedViewCell->setNextButton(nextText(entry.next()), entry.expandedCells > 0);
    reloadTable();
}

void ORVNowViewController::placeExpandedCell()
{
    if (!m_expandedViewCell || !m_table)
        return;
    const int expanded = m_board.expandedSection();
    const QRect row = expanded >= 0 && m_expandingCellReady ? m_table->rectForRow({expanded, 0}) : QRect();
    if (row.isEmpty()) {
        m_expandedViewCell->hide();
        return;
    }
    m_expandedViewCell->setGeometry(row);
    m_expandedViewCell->show();
    m_expandedViewCell->raise();
}

void ORVNowViewController::reloadTable()
{
    if (!m_table)
        return;
    m_table->reloadData();
    // Rows are laid out when the list next does its layout; the details row follows then.
    m_table->doItemsLayout();
    placeExpandedCell();
    QTimer::singleShot(0, this, &ORVNowViewController::placeExpandedCell);
}

bool ORVNowViewController::eventFilter(QObject* watched, QEvent* event)
{
    // Only the viewport is watched; the table is not touched here, since the viewport also
    // reports while the table is being destroyed.
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)
        QTimer::singleShot(0, this, &ORVNowViewController::placeExpandedCell);
    return ORVViewController_iPad::eventFilter(watched, event);
}

// Screens opened from the board ---------------------------------------------------------------

void ORVNowViewController::openDetailsControllerWithShow(const Show& show)
{
    NavigationController* stack = navigationController();
    if (!stack)
        return;
    auto* details = new ProgramDetailsController(this);
    details->setRootDelegate(rootDelegate());
    stack->pushViewController(details, true);
    details->openShowWithId(show.showId, show.channelId, show.startTime);
}

void ORVNowViewController::showProgramForChannId(const QString& channelId)
{
    NavigationController* stack = navigationController();
    if (!stack || channelId.isEmpty())
        return;
    auto* program = new ORVProgramView_iPad(this);
    program->setRootDelegate(rootDelegate());
    program->setChannelId(channelId);
    stack->pushViewController(program, true);
}

void ORVNowViewController::showProgramForExpandedChannel()
{
    const int expanded = m_board.expandedSection();
    if (expanded >= 0)
        showProgramForChannId(m_board.entries()[expanded].channid);
}

void ORVNowViewController::showScreensForExpandedChannel()
{
    const int expanded = m_board.expandedSection();
    if (!connected() || expanded < 0 || !m_expandedViewCell || m_photoController)
        return;
    const QString channelId = m_board.entries()[expanded].channid;
    const QVariantMap channelInfo{{QStringLiteral("channid"), channelId},
                                  {QStringLiteral("channtitle"), m_board.entries()[expanded].channtitle}};
    const auto open = [this, channelInfo](Photos* photos) {
        if (m_photoController) {
            photos->deleteLater();
            return;
        }
        m_photoController = new KTPhotoScrollViewController(photos, channelInfo, 0, view());
        photos->setParent(m_photoController);
        m_photoController->show();
    };
    if (m_expandedViewCell->isOimSign()) {
        ServiceCalls::sharedManager().getServerTime(Reply(
            this,
            [channelId, open](const QVariant& answer) {
                Photos* live = Photos::initWithTimeStamp(qint32(
                    JsonValue::longLong(JsonValue::map(answer).value(QStringLiteral("timestamp_gmt")))));
                for (int d = 0; d < LivePictures; ++d)
                    live->pushPhotoUrl(ContentAddresses::showPicture(channelId, d).toString());
                open(live);
            },
            [](const Error& error) {
                qCWarning(lcBoard).noquote()
                    << "server time for live pictures:" << error.localizedDescription();
            }));
    } else if (m_expandedViewCell->isHaveGallery()) {
        Photos* gallery = Photos::initAsScreens(false);
        for (const QString& address : m_expandedViewCell->getGalleryImages())
            gallery->pushPhotoUrl(ContentAddresses::picture(address).toString());
        open(gallery);
    }
}

void ORVNowViewController::searchBarSearchButtonClicked()
{
    const QString text = m_searchBar ? m_searchBar->text().trimmed() : QString();
    if (!text.isEmpty() && navigationController()) {
        auto* results = new ORVSearchController_iPad(text, this);
        results->setRootDelegate(rootDelegate());
        navigationController()->pushViewController(results, true);
        m_searchBar->clear();
    }
    if (m_searchBar)
        m_searchBar->clearFocus();
}

// Time line -----------------------------------------------------------------------------------------

QDateTime ORVNowViewController::timeLineReference(const QDateTime& now)
{
    return QDateTime(now.date(), QTime(5, 0));
}

void ORVNowViewController::clickTimeLine()
{
    if (!m_timeLineView)
        return;
    m_timeLineIsShow = !m_timeLineIsShow;
    m_timeLineView->setVisible(m_timeLineIsShow);
    if (m_timeLineIsShow) {
        const int minutes = int(timeLineReference().secsTo(QDateTime::currentDateTime()) / 60);
        m_slider->setValue(std::clamp(minutes, m_slider->minimum(), m_slider->maximum()));
        timeValueChanged(m_slider->value());
    }
}

void ORVNowViewController::timeValueChanged(int minutes)
{
    const QString text =
        QStringLiteral(" %1 ").arg(DateAdditions::getTime(timeLineReference().addSecs(minutes * 60)));
    if (m_timeLineLabel)
        m_timeLineLabel->setText(text);
    if (!m_timeLabel || !m_slider)
        return;
    m_timeLabel->setText(text);
    const int span = std::max(1, m_slider->maximum() - m_slider->minimum());
    const int x = m_slider->mapTo(view(), QPoint(0, 0)).x() +
                  (m_slider->width() - 20) * (minutes - m_slider->minimum()) / span;
    m_timeLabel->move(x - 30, m_timeLineView->y() - 50);
}

void ORVNowViewController::timeTouchCancel()
{
    if (m_timeLabel)
        m_timeLabel->hide();
    const QDateTime t = timeLineReference().addSecs(qint64(m_slider ? m_slider->value() : 0) * 60);
    m_currentDate = t;
    syncProgramWithDate(t);
}

void ORVNowViewController::syncProgramWithDate(const QDateTime& t)
{
    for (NowBoardEntry& entry : m_board.entries())
        entry.lineIndex = NowBoard::lineIndexAt(entry, t);
    if (m_table)
        m_table->viewport()->update();
}

// Indicator and no-data -----------------------------------------------------------------------

void ORVNowViewController::addActivityIndicator()
{
    if (!m_table || m_indicator)
        return;
    m_indicator = new QWidget(m_table);
    ViewTag::set(m_indicator, IndicatorTag);
    auto* column = new QVBoxLayout(m_indicator);
    m_indicatorLabel = new QLabel(QStringLiteral("Загрузка программы... "), m_indicator);
    ViewTag::set(m_indicatorLabel, IndicatorLabelTag);
    m_indicatorLabel->setStyleSheet(QStringLiteral("font-size: 18px; color: rgba(77,77,77,1);"));
    m_indicatorLabel->setAlignment(Qt::AlignCenter);
    m_indicatorProgress = new QProgressBar(m_indicator);
    ViewTag::set(m_indicatorProgress, IndicatorProgressTag);
    m_indicatorProgress->setRange(0, 100);
    m_indicatorProgress->setValue(0);
    column->addWidget(m_indicatorLabel);
    column->addWidget(m_indicatorProgress);
    m_indicator->setGeometry((m_table->width() - 300) / 2, 100, 300, 100);
    m_indicator->show();
}

void ORVNowViewController::removeActivityIndicator()
{
    delete m_indicator;
}

QString ORVNowViewController::loadingText() const
{
    return m_indicatorLabel ? m_indicatorLabel->text() : QString();
}

int ORVNowViewController::loadingProgress() const
{
    return m_indicatorProgress ? m_indicatorProgress->value() : -1;
}

void ORVNowViewController::setNoDataState(bool noData)
{
    removeActivityIndicator();
    if (!noData) {
        delete m_noDataLabel;
        return;
    }
    if (m_noDataLabel || !m_table)
        return;
    m_noDataLabel = new QLabel(QStringLiteral("Нет данных. Проверьте подключение к сети интернет."), m_table);
    ViewTag::set(m_noDataLabel, NoDataTag);
    m_noDataLabel->setAlignment(Qt::AlignCenter);
    m_noDataLabel->setWordWrap(true);
    m_noDataLabel->setStyleSheet(QStringLiteral("font-size: 20px; color: #44485a;"));
    m_noDataLabel->setGeometry(50, 150, std::max(100, m_table->width() - 100), 100);
    m_noDataLabel->show();
}

bool ORVNowViewController::isNoDataState() const
{
    return !m_noDataLabel.isNull();
}

// Table ------------------------------------------------------------------------------------------

int ORVNowViewController::numberOfSections() const
{
    return int(m_board.entries().size());
}

int ORVNowViewController::numberOfRowsInSection(int section) const
{
    if (section < 0 || section >= m_board.entries().size())
        return 0;
    return 1 + (section == m_board.expandedSection() ? m_board.entries()[section].expandedCells : 0);
}

int ORVNowViewController::heightForRow(const IndexPath& path) const
{
    if (path.row > 0)
        return NextRowHeight;
    return path.section == m_board.expandedSection() && m_expandingCellReady ? ExpandedViewCell_iPad::Height
                                                                             : ChannelRowHeight;
}

int ORVNowViewController::heightForHeaderInSection(int) const
{
    return GapHeight;
}

QUrl ORVNowViewController::logoUrl(const NowBoardEntry& entry) const
{
    return entry.channimg.isEmpty() ? QUrl() : ContentAddresses::channelLogo(64, 64, entry.channimg);
}

void ORVNowViewController::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                    RowState state)
{
    if (path.section < 0 || path.section >= m_board.entries().size())
        return;
    const NowBoardEntry& entry = m_board.entries()[path.section];
    if (path.row > 0) {
        const int index = entry.currind + path.row;
        if (entry.currind < 0 || index >= entry.showsarr.size())
            return;
        const Show& show = *entry.showsarr[index];
        ExpandedShowCell cell;
        cell.caption = ExpandedShowCell::captionFor(show.name, show.subTitle);
        cell.description = show.description;
        cell.startTime = DateAdditions::getTime(show.startTime);
        cell.duration = DateAdditions::getBriefDurationUntilDate(show.startTime, show.endTime);
        cell.picture = show.pictureName.isEmpty()
                           ? QImage()
                           : m_images->image(ContentAddresses::picture(show.pictureName));
        if (cell.picture.isNull())
            cell.picture = Images::named(QStringLiteral("no_photo_show.png")).toImage();
        cell.highlighted = state.highlighted;
        cell.paint(painter, rect);
        return;
    }
    if (path.section == m_board.expandedSection() && m_expandingCellReady)
        return; // the details row covers it
    const Show* show = entry.shown();
    if (!show)
        return;
    const int shownIndex = entry.shownIndex();
    const Show* next =
        shownIndex + 1 < entry.showsarr.size() ? entry.showsarr[shownIndex + 1].get() : nullptr;
    TableViewCellNow_iPad cell;
    cell.channelLogo = m_images->image(logoUrl(entry));
    if (cell.channelLogo.isNull())
        cell.channelLogo = Images::named(QStringLiteral("no_photo.png")).toImage();
    cell.showPicture =
        show->bigPicture.isEmpty() ? QImage() : m_images->image(ContentAddresses::picture(show->bigPicture));
    if (cell.showPicture.isNull())
        cell.showPicture = Images::named(QStringLiteral("no_photo_show.png")).toImage();
    cell.channelName = entry.channtitle;
    cell.showName = show->composedTitle.isEmpty() ? show->name : show->composedTitle;
    cell.description = show->description;
    cell.nextShow = next ? Printf::format(QStringLiteral("Далее: %@"),
                                          {next->composedTitle.isEmpty() ? next->name : next->composedTitle})
                         : QString();
    cell.startTime = DateAdditions::getTime(show->startTime);
    cell.endTime = DateAdditions::getTime(show->endTime);
    const qint64 length = show->startTime.msecsTo(show->endTime);
    cell.progress = length > 0 ? double(show->startTime.msecsTo(m_currentDate)) / double(length) : 0;
    cell.remaining = Printf::format(QStringLiteral("Осталось %@"),
                                    {DateAdditions::getDurationUntilDate(m_currentDate, show->endTime)});
    cell.highlighted = state.highlighted;
    cell.paint(painter, rect);
}
