#include "SocialWidget_iPad.h"

#include "core/AppDelegate.h"
#include "model/Channel.h"
#include "model/Utilities.h"
#include "platform/NotificationCenter.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"
#include "social/TableViewCellTwitter.h"
#include "social/TweetList.h"
#include "ui/AlertView.h"
#include "widgets/RefreshHeader.h"

#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

SocialWidget_iPad::SocialWidget_iPad(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SocialWidget_iPad"));
    m_table = new ListTable(this, this);
    m_refreshHeader = new RefreshHeader(m_table);
    connect(m_refreshHeader, &RefreshHeader::refreshRequested, this, [this] { loadTweets(false); });
    auto* details = new QPushButton(StringTable::localized("Details"));
    connect(details, &QPushButton::clicked, this, &SocialWidget_iPad::detailsTouched);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table, 1);
    layout->addWidget(details);
    // The talk is about the current channel: a new channel brings its talk.
    NotificationCenter::defaultCenter().observeOnMain(this, Notifications::ChannelChanged,
                                                      [this](const Notification&) { loadTweets(false); });
    loadTweets(false);
}

SocialWidget_iPad::~SocialWidget_iPad()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void SocialWidget_iPad::loadTweets(bool more)
{
    AppDelegate* app = AppDelegate::shared();
    const std::shared_ptr<Channel> channel = app ? app->selectedChannel() : nullptr;
    if (!app || !app->isConnectionAvailable() || !channel || channel->channelId().isEmpty()) {
        endLoading();
        return;
    }
    m_loading = true;
    const TweetList::TalkRequest request = TweetList::talkRequest(
        Utilities::stringLocalIdFromMap(channel->channelId()), m_tweets.size(), more, Page);
    ServiceCalls::sharedManager().getTweetsForChannelId(
        request.channel, request.start, request.end, request.limit,
        Reply(
            this,
            [this](const QVariant& answer) {
                const AppDelegate* app = AppDelegate::shared();
                if (TweetList::replaceWithServiceAnswer(m_tweets, answer,
                                                        app ? app->roundedServerTimeDifference() : 0))
                    m_table->reloadData();
                endLoading();
            },
            [this](const Error& error) {
                endLoading();
                AlertView::showError(error);
            }));
}

void SocialWidget_iPad::endLoading()
{
    m_loading = false;
    QTimer::singleShot(250, this, [this] {
        if (m_refreshHeader)
            m_refreshHeader->setLoading(false);
    });
}

bool SocialWidget_iPad::isShowMoreRow(int row) const
{
    return row == m_tweets.size() && TweetList::showsMore(m_tweets.size(), Page);
}

int SocialWidget_iPad::numberOfRowsInSection(int) const
{
    return int(m_tweets.size()) + (TweetList::showsMore(m_tweets.size(), Page) ? 1 : 0);
}

int SocialWidget_iPad::heightForRow(const IndexPath& path) const
{
    return isShowMoreRow(path.row) ? ShowMoreHeight : RowHeight;
}

void SocialWidget_iPad::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state)
{
    if (isShowMoreRow(path.row))
        TableViewCellTwitter::paintShowMore(painter, rect, state.highlighted);
    else if (path.row >= 0 && path.row < m_tweets.size())
        TableViewCellTwitter::paint(painter, rect, m_tweets[path.row], state.highlighted);
}

void SocialWidget_iPad::didSelectRowAtIndexPath(const IndexPath& path)
{
    m_table->deselectRow(path);
    if (isShowMoreRow(path.row))
        loadTweets(true);
}
