#include "TWListViewController.h"

#include "TWDetailsViewController.h"
#include "TableViewCellTwitter.h"
#include "TweetList.h"

#include "core/AppDelegate.h"
#include "platform/NotificationCenter.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/NavigationController.h"
#include "ui/ScreenView.h"
#include "widgets/AsyncImageView.h"
#include "widgets/RefreshHeader.h"

#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcTalk, "orvane.talk")

namespace {

constexpr int CloseHeaderDelayMs = 250;

} // namespace

TWListViewController::TWListViewController(const QString& nibName, QObject* parent)
    : ViewController(nibName, parent)
{}

TWListViewController::~TWListViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void TWListViewController::loadView()
{
    m_table = new ListTable(this, this);
    QWidget* view = ScreenView::column(nibName(), {m_table});
    m_refreshHeader = new RefreshHeader(m_table);
    connect(m_refreshHeader, &RefreshHeader::refreshRequested, this, [this] {
        m_reloading = true;
        if (!load(false))
            endLoading();
    });
    m_overlay = new ActivityOverlay(view);
    setView(view);
}

void TWListViewController::viewDidLoad()
{
    NotificationCenter::defaultCenter().observeOnMain(
        this, Notifications::InternetConnectionAvailable, [this](const Notification& n) {
            if (n.userInfo.value(QStringLiteral("isAvailable")).toBool())
                reloadTweets();
        });
    reloadTweets();
}

bool TWListViewController::isConnected() const
{
    AppDelegate* app = AppDelegate::shared();
    return app && app->isConnectionAvailable();
}

void TWListViewController::reloadTweets()
{
    if (!load(false))
        endLoading();
}

void TWListViewController::loadMoreTweets()
{
    if (!load(true))
        endLoading();
}

void TWListViewController::beginLoading()
{
    if (m_overlay)
        m_overlay->displayActivity(StringTable::localized("Loading"));
}

void TWListViewController::endLoading()
{
    if (m_overlay)
        m_overlay->hide();
    QTimer::singleShot(CloseHeaderDelayMs, this, [this] {
        m_reloading = false;
        if (m_refreshHeader)
            m_refreshHeader->setLoading(false);
    });
}

void TWListViewController::setTweets(QList<Tweet> tweets)
{
    m_arrayTweets = std::move(tweets);
    for (Tweet& tweet : m_arrayTweets) {
        if (tweet.thumbnail().isNull())
            tweet.setThumbnail(m_pictures.value(tweet.profileImageUrl()));
    }
    if (m_table)
        m_table->reloadData();
    endLoading();
}

void TWListViewController::loadFailed(const Error& error, const QString& logFormat)
{
    endLoading();
    if (error.isNull())
        return;
    qCInfo(lcTalk).noquote() << Printf::format(logFormat, {error.localizedDescription()});
    AlertView::showError(error);
}

int TWListViewController::numberOfRowsInSection(int) const
{
    const int count = int(m_arrayTweets.size());
    return count + (TweetList::showsMore(count) ? 1 : 0);
}

bool TWListViewController::isShowMoreRow(int row) const
{
    return row == m_arrayTweets.size() && TweetList::showsMore(m_arrayTweets.size());
}

int TWListViewController::heightForRow(const IndexPath& path) const
{
    return isShowMoreRow(path.row) ? TableViewCellTwitter::ShowMoreHeight : TableViewCellTwitter::RowHeight;
}

void TWListViewController::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                    RowState state)
{
    if (isShowMoreRow(path.row)) {
        TableViewCellTwitter::paintShowMore(painter, rect, state.highlighted);
        return;
    }
    if (path.row < 0 || path.row >= m_arrayTweets.size())
        return;
    const Tweet& tweet = m_arrayTweets[path.row];
    if (tweet.thumbnail().isNull())
        loadPicture(path.row);
    TableViewCellTwitter::paint(painter, rect, tweet, state.highlighted);
}

void TWListViewController::loadPicture(int row)
{
    const Tweet& tweet = m_arrayTweets[row];
    const QUrl url(QUrl::fromPercentEncoding(tweet.profileImageUrl().toUtf8()));
    if (!url.isValid() || url.scheme().isEmpty() ||
        findChild<AsyncImageView*>(tweet.tweetId(), Qt::FindDirectChildrenOnly))
        return;
    AsyncImageView* loader = AsyncImageView::loadImage(
        url,
        {{QStringLiteral("row"), row},
         {QStringLiteral("id"), tweet.tweetId()},
         {AsyncImageView::OnDiskKey, true}},
        this, [this](const QImage& image, const QVariantMap& params) {
            // handleImage: the row may be gone or hold another tweet by now.
            const int at = params.value(QStringLiteral("row")).toInt();
            if (at >= m_arrayTweets.size() ||
                m_arrayTweets[at].tweetId() != params.value(QStringLiteral("id")).toString())
                return;
            m_arrayTweets[at].setThumbnail(image);
            if (m_table)
                m_table->reloadRow({0, at});
        });
    loader->setObjectName(tweet.tweetId());
}

void TWListViewController::didSelectRowAtIndexPath(const IndexPath& path)
{
    if (m_table)
        m_table->deselectRow(path);
    if (isShowMoreRow(path.row)) {
        loadMoreTweets();
        return;
    }
    if (path.row < 0 || path.row >= m_arrayTweets.size())
        return;
    if (!m_twDetailsViewController)
        m_twDetailsViewController = new TWDetailsViewController(this);
    m_twDetailsViewController->setTweet(m_arrayTweets[path.row]);
    NavigationController* navigation =
        m_delegate ? m_delegate->navigationController() : navigationController();
    if (navigation)
        navigation->pushViewController(m_twDetailsViewController, true);
}
