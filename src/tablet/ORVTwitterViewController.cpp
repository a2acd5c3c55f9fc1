#include "ORVTwitterViewController.h"

#include "ORVTweetDetailsController.h"
#include "ORVTwitterCell.h"
#include "ORVTwitterProfileController.h"

#include "core/AppDelegate.h"
#include "model/Channel.h"
#include "model/Utilities.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"
#include "social/ORVTwitterService.h"
#include "social/TweetList.h"
#include "social/TwitterRefusal.h"
#include "ui/AlertView.h"
#include "ui/BarButtonItem.h"
#include "ui/NavigationController.h"
#include "ui/NavigationItem.h"
#include "widgets/PaintedImages.h"
#include "widgets/RefreshHeader.h"

#include <QEvent>
#include <QLoggingCategory>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcTalkScreen, "orvane.twitter.talk")

namespace {

constexpr int SettleMs = 250;
constexpr qint64 PictureBytes = 16 * 1024 * 1024;

} // namespace

ORVTwitterViewController::ORVTwitterViewController(QObject* parent)
    : ORVViewController_iPad(QStringLiteral("ORVTwitterView_iPad"), parent),
      m_pictures(new PaintedImages(PictureBytes, this))
{
    connect(m_pictures, &PaintedImages::arrived, this, [this] {
        if (m_table)
            m_table->viewport()->update();
    });
}

ORVTwitterViewController::~ORVTwitterViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void ORVTwitterViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    m_segment =
        new SegmentedControl({StringTable::localized("All channels"), StringTable::localized("This channel"),
                              StringTable::localized("Timeline"), StringTable::localized("Mentions")},
                             view);
    m_segment->setSelectedSegmentIndex(AllChannels);
    connect(m_segment, &SegmentedControl::valueChanged, this, &ORVTwitterViewController::segmentChanged);
    m_table = new ListTable(this, this, view);
    m_table->setObjectName(ORVTwitterCell::ReuseIdentifier);
    m_refreshHeader = new RefreshHeader(m_table);
    connect(m_refreshHeader, &RefreshHeader::refreshRequested, this, &ORVTwitterViewController::reloadTweets);
    m_noData = new QLabel(QStringLiteral("Нет данных. Проверьте подключение к сети интернет."), m_table);
    m_noData->setAlignment(Qt::AlignCenter);
    m_noData->setWordWrap(true);
    m_noData->setStyleSheet(QStringLiteral("font: 18px 'Helvetica'; color: #70707a; background: #f7f7f7;"));
    m_noData->hide();
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_segment, 0, Qt::AlignHCenter);
    layout->addWidget(m_table, 1);
    view->installEventFilter(this);
    m_table->installEventFilter(this);
    setView(view);
}

void ORVTwitterViewController::viewDidLoad()
{
    ORVViewController_iPad::viewDidLoad();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.observeOnMain(this, Notifications::InternetConnectionAvailable, [this](const Notification& n) {
        if (n.userInfo.value(QStringLiteral("isAvailable")).toBool()) {
            showNoData(false);
            load();
        }
    });
    center.observeOnMain(this, Notifications::ChannelChanged, [this](const Notification&) {
        if (m_segment->selectedSegmentIndex() == CurrentChannel)
            reloadTweets();
    });
    center.observeOnMain(this, Notifications::TwitterLogin,
                         [this](const Notification&) { enableAccountTabs(true); });
    center.observeOnMain(this, Notifications::TwitterLogout, [this](const Notification&) {
        if (m_segment->selectedSegmentIndex() >= HomeTimeline) {
            // The user's lists are gone with the account: back to all channels' talk.
            ++m_generation;
            m_isLoading = false;
            m_prevSelectedIndex = AllChannels;
            m_segment->setSelectedSegmentIndex(AllChannels);
            m_arrayTweets.clear();
            reloadTweets();
        }
        enableAccountTabs(false);
    });
    enableAccountTabs(ORVTwitterService::checkTwAcc());
    reloadTweets();
}

bool ORVTwitterViewController::isConnected() const
{
    const AppDelegate* app = AppDelegate::shared();
    return app && app->isConnectionAvailable();
}

void ORVTwitterViewController::enableAccountTabs(bool enabled)
{
    m_segment->setSegmentEnabled(HomeTimeline, enabled);
    m_segment->setSegmentEnabled(Mentions, enabled);
}

void ORVTwitterViewController::showNoData(bool show)
{
    if (!m_noData)
        return;
    m_noData->setGeometry(m_table->viewport()->geometry());
    m_noData->setVisible(show);
    if (show)
        m_noData->raise();
}

void ORVTwitterViewController::segmentChanged(int index)
{
    if (index >= HomeTimeline && !ORVTwitterService::checkTwAccountWithAlert()) {
        m_segment->setSelectedSegmentIndex(m_prevSelectedIndex);
        return;
    }
    if (m_isLoading) {
        // One request at a time: the tab it belongs to stays.
        m_segment->setSelectedSegmentIndex(m_prevSelectedIndex);
        return;
    }
    m_prevSelectedIndex = index;
    m_arrayTweets.clear();
    if (m_table)
        m_table->reloadData();
    reloadTweets();
}

void ORVTwitterViewController::reloadTweets()
{
    if (m_isLoading)
        return;
    m_reloading = true;
    m_finishTweets = false;
    load();
}

void ORVTwitterViewController::loadMore()
{
    if (m_isLoading || !TweetList::wantsMore(m_arrayTweets.size(), m_finishTweets))
        return;
    load();
}

void ORVTwitterViewController::load()
{
    if (!isConnected()) {
        m_reloading = false;
        if (m_refreshHeader)
            m_refreshHeader->setLoading(false);
        showNoData(true);
        return;
    }
    if (m_isLoading)
        return;
    showNoData(false);
    m_isLoading = true;
    if (m_table)
        m_table->reloadData();
    const int tab = m_segment->selectedSegmentIndex();
    if (tab == AllChannels) {
        loadFromService(QStringLiteral("1"));
    } else if (tab == CurrentChannel) {
        const AppDelegate* app = AppDelegate::shared();
        const std::shared_ptr<Channel> channel = app ? app->selectedChannel() : nullptr;
        if (!channel || channel->channelId().isEmpty()) {
            // No current channel: nothing to talk about.
            m_arrayTweets.clear();
            m_finishTweets = true;
            loadEnded();
            return;
        }
        loadFromService(Utilities::stringLocalIdFromMap(channel->channelId()));
    } else {
        loadFromTwitter();
    }
}

void ORVTwitterViewController::loadFromService(const QString& channel)
{
    const bool fresh = m_reloading || m_arrayTweets.isEmpty();
    const QDateTime end =
        fresh || !m_lastMessageDate.isValid() ? QDateTime::currentDateTime() : m_lastMessageDate;
    const quint64 generation = ++m_generation;
    ServiceCalls::sharedManager().getTweetsForChannelId(
        channel, end.addSecs(-TweetList::TalkWindowSeconds), end, TweetList::TabletPage,
        Reply(
            this,
            [this, generation, fresh](const QVariant& answer) {
                if (generation != m_generation)
                    return;
                const AppDelegate* app = AppDelegate::shared();
                TweetList::PageMark page;
                if (TweetList::appendServiceAnswer(
                        m_arrayTweets, answer, app ? app->roundedServerTimeDifference() : 0, fresh,
                        ORVTwitterService::sharedManager().twitterAccName(), &page)) {
                    m_finishTweets = page.complete;
                    if (page.nextEnd.isValid())
                        m_lastMessageDate = page.nextEnd;
                }
                loadEnded();
            },
            [this, generation](const Error& error) {
                if (generation == m_generation)
                    listFailed(error, false);
            }));
}

void ORVTwitterViewController::loadFromTwitter()
{
    const bool fresh = m_reloading || m_arrayTweets.isEmpty();
    const QString maxId = fresh ? QString() : m_maxId;
    const quint64 generation = ++m_generation;
    const auto answered = [this, generation, fresh](const QVariant& answer) {
        if (generation != m_generation)
            return;
        if (!JsonValue::isList(answer)) {
            // Twitter's refusal ("errors"), or something that is not a list of statuses.
            listFailed(
                TwitterRefusal::error(answer, QStringLiteral("The answer of Twitter could not be read.")),
                true);
            return;
        }
        TweetList::PageMark page;
        TweetList::mergeTabletTwitterPage(m_arrayTweets, answer.toList(), fresh,
                                          ORVTwitterService::sharedManager().twitterAccName(), &page);
        m_maxId = page.maxId;
        m_finishTweets = page.complete;
        loadEnded();
    };
    const auto failed = [this, generation](const Error& error) {
        if (generation == m_generation)
            listFailed(error, true);
    };
    ORVTwitterService& service = ORVTwitterService::sharedManager();
    const QString count = QString::number(TweetList::TabletPage);
    if (m_segment->selectedSegmentIndex() == HomeTimeline)
        service.homeTimeLineSinceId({}, maxId, count, this, answered, failed);
    else
        service.getMentionsSinceId({}, maxId, count, this, answered, failed);
}

void ORVTwitterViewController::loadEnded()
{
    const quint64 generation = m_generation;
    QTimer::singleShot(SettleMs, this, [this, generation] {
        if (generation != m_generation)
            return;
        m_reloading = false;
        m_isLoading = false;
        if (m_refreshHeader)
            m_refreshHeader->setLoading(false);
        if (m_table)
            m_table->reloadData();
    });
    if (m_table)
        m_table->reloadData();
}

void ORVTwitterViewController::listFailed(const Error& error, bool twitter)
{
    if (twitter)
        qCInfo(lcTalkScreen).noquote() << Printf::format(QStringLiteral("Error when loading tweets: %@"),
                                                         {error.localizedDescription()});
    loadEnded();
    if (m_arrayTweets.isEmpty())
        showNoData(true);
    if (!error.isNull())
        (new AlertView(StringTable::localized("Error"), error.localizedDescription(), nullptr, {},
                       StringTable::localized("OK")))
            ->show();
}

// Rows ------------------------------------------------------------------------------------------

int ORVTwitterViewController::numberOfRowsInSection(int) const
{
    if (m_reloading)
        return 0;
    if (m_arrayTweets.isEmpty())
        return 1;
    return int(m_arrayTweets.size()) + 1;
}

bool ORVTwitterViewController::isEmptyRow(int row) const
{
    return !m_reloading && m_arrayTweets.isEmpty() && row == 0;
}

bool ORVTwitterViewController::isLoadingRow(int row) const
{
    return !m_reloading && !m_arrayTweets.isEmpty() && row == m_arrayTweets.size();
}

int ORVTwitterViewController::heightForRow(const IndexPath& path) const
{
    if (isEmptyRow(path.row))
        return ORVTwitterCell::EmptyHeight;
    if (isLoadingRow(path.row))
        return ORVTwitterCell::LoadingHeight;
    return path.row < m_arrayTweets.size() ? ORVTwitterCell::heightForTweet(m_arrayTweets[path.row]) : 0;
}

void ORVTwitterViewController::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                        RowState state)
{
    if (isEmptyRow(path.row)) {
        ORVTwitterCell::paintMessage(painter, rect, QStringLiteral("Нет сообщений в данной категории"));
        return;
    }
    if (isLoadingRow(path.row)) {
        ORVTwitterCell::paintLoading(painter, rect);
        // Shown: the next page, once this paint is over.
        QTimer::singleShot(0, this, &ORVTwitterViewController::askForMoreIfShown);
        return;
    }
    if (path.row >= m_arrayTweets.size())
        return;
    const Tweet& tweet = m_arrayTweets[path.row];
    ORVTwitterCell::paint(painter, rect, tweet, m_pictures->image(QUrl(tweet.profileImageUrl())), path.row,
                          state.highlighted);
}

void ORVTwitterViewController::askForMoreIfShown()
{
    // Not when every row fits on the screen: the list is all there is to show.
    if (!m_table || m_table->verticalScrollBar()->maximum() <= 0)
        return;
    loadMore();
}

void ORVTwitterViewController::didSelectRowAtIndexPath(const IndexPath& path)
{
    if (m_table)
        m_table->deselectRow(path);
    if (path.row < 0 || path.row >= m_arrayTweets.size() || m_reloading)
        return;
    m_selectedRow = path.row;
    Tweet tweet = m_arrayTweets[path.row];
    if (tweet.thumbnail().isNull())
        tweet.setThumbnail(m_pictures->image(QUrl(tweet.profileImageUrl())));
    openDetails(tweet);
}

// The details panel ------------------------------------------------------------------------------

void ORVTwitterViewController::openDetails(const Tweet& tweet)
{
    auto* details = new ORVTweetDetailsController(this);
    details->setDelegate(this);
    details->setCurrentTweet(tweet);
    openPanel(details);
    m_twDetailsController = details;
}

void ORVTwitterViewController::openProfile(const QVariantMap& user)
{
    auto* profile = new ORVTwitterProfileController(user, this);
    profile->navigationItem()->setRightBarButtonItem(
        BarButtonItem::withTitle(QStringLiteral("Закрыть"), [this] { closeDetails(); }));
    openPanel(profile);
}

void ORVTwitterViewController::openPanel(ViewController* root)
{
    closeDetails();
    view();
    m_detailsBackground = new QWidget(view());
    m_detailsBackground->setObjectName(QStringLiteral("twDetailsBackground"));
    m_detailsBackground->setAttribute(Qt::WA_StyledBackground);
    m_detailsBackground->setStyleSheet(
        QStringLiteral("#twDetailsBackground { background: rgba(0,0,0,110); }"));
    m_panelRoot = root;
    m_detailsNavigation = new NavigationController(root, this);
    m_detailsNavigation->view()->setParent(m_detailsBackground);
    layoutPanel();
    m_detailsBackground->show();
    m_detailsBackground->raise();
    m_detailsNavigation->view()->show();
    m_detailsNavigation->beginAppearance(true, false);
    m_detailsNavigation->endAppearance(true, false);
}

bool ORVTwitterViewController::isDetailsOpen() const
{
    return m_detailsBackground && m_detailsBackground->isVisible();
}

void ORVTwitterViewController::closeDetails()
{
    if (m_detailsNavigation) {
        m_detailsNavigation->beginAppearance(false, false);
        m_detailsNavigation->endAppearance(false, false);
        m_detailsNavigation->deleteLater();
    }
    if (m_panelRoot)
        m_panelRoot->deleteLater();
    if (m_detailsBackground) {
        m_detailsBackground->hide();
        m_detailsBackground->deleteLater();
    }
    m_detailsNavigation = nullptr;
    m_twDetailsController = nullptr;
    m_panelRoot = nullptr;
    m_detailsBackground = nullptr;
}

void ORVTwitterViewController::layoutPanel()
{
    if (!m_detailsBackground || !isViewLoaded())
        return;
    m_detailsBackground->setGeometry(view()->rect());
    const int width = std::min(PanelWidth, view()->width() - 40);
    const int height = std::max(200, view()->height() - 60);
    if (m_detailsNavigation)
        m_detailsNavigation->view()->setGeometry((view()->width() - width) / 2, 30, width, height);
}

bool ORVTwitterViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == view())
            layoutPanel();
        if (m_noData && m_noData->isVisible() && m_table)
            m_noData->setGeometry(m_table->viewport()->geometry());
    }
    return ORVViewController_iPad::eventFilter(watched, event);
}

void ORVTwitterViewController::twitterDidFinish()
{
    closeDetails();
}

void ORVTwitterViewController::twitterDidFinishWithOp(int op)
{
    closeDetails();
    if (op != OpDeleted)
        return;
    if (m_selectedRow >= 0 && m_selectedRow < m_arrayTweets.size()) {
        m_arrayTweets.removeAt(m_selectedRow);
        m_selectedRow = -1;
        if (m_table)
            m_table->reloadData();
    }
}
