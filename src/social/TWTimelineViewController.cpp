#include "TWTimelineViewController.h"

#include "TweetList.h"

#include "model/PreferenceKeys.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "widgets/SHKTwitter.h"
#include "widgets/TwitterSession.h"

TWTimelineViewController::TWTimelineViewController(const QString& nibName, QObject* parent)
    : TWListViewController(nibName, parent), m_sharer(new SHKTwitter(this))
{
    m_sharer->setDelegate(this);
}

bool TWTimelineViewController::load(bool more)
{
    if (!isConnected() || !SHKTwitter::isAuthorized())
        return false;
    beginLoading();
    if (!more)
        m_maxId.clear();
    m_loadingMore = more && !arrayTweets().isEmpty();
    request(m_sharer, m_loadingMore ? m_maxId : QString(),
            TweetList::twitterPageCount(!more, arrayTweets().size()));
    return true;
}

void TWTimelineViewController::loadTweetsDidFinish(const QVariantList& statuses)
{
    QString own = Preferences::standard().string(PreferenceKeys::TwitterUserId);
    if (own.isEmpty()) {
        if (const auto account = TwitterSession::shared().account())
            own = account->userId;
    }
    QList<Tweet> list = arrayTweets();
    m_maxId = TweetList::mergeTwitterPage(list, statuses, !m_loadingMore, own);
    setTweets(std::move(list));
}

void TWTimelineViewController::loadTweetsDidFailWithError(const Error& error)
{
    loadFailed(error, QStringLiteral("Error when loading tweets: %@"));
}

void TWUserMentionsViewController::request(SHKTwitter* sharer, const QString& maxId, int count)
{
    sharer->loadUserMentionsWithSinceId({}, maxId, count);
}

void TWUserTweetsViewController::viewDidLoad()
{
    TWTimelineViewController::viewDidLoad();
    NotificationCenter::defaultCenter().observeOnMain(this, Notifications::TweetDeleted,
                                                      [this](const Notification&) { reloadTweets(); });
}

void TWUserTweetsViewController::request(SHKTwitter* sharer, const QString& maxId, int count)
{
    sharer->loadTimeLineWithSinceId({}, maxId, count);
}
