#pragma once

#include "ORVTweetDetailsController.h"
#include "ORVViewController_iPad.h"

#include "platform/Error.h"
#include "social/ORVTwitterDelegate.h"
#include "social/Tweet.h"
#include "ui/ListTable.h"
#include "ui/NavigationController.h"
#include "ui/SegmentedControl.h"

#include <QDateTime>
#include <QLabel>
#include <QPointer>

class PaintedImages;
class RefreshHeader;

// The tablet's talk screen: four tabs, the talk about all channels and about the current
// channel (from the content server, 100 at a time, paged back by time) and the user's home
// timeline and mentions (from Twitter, 100 at a time, paged by id, only with a chosen account).
// Lists grow as their last row is shown, up to 600 tweets. A tap opens the tweet's details in
// a panel over the list, whose navigation also holds the composer, profiles and conversations.
class ORVTwitterViewController : public ORVViewController_iPad,
                                 public ListTableSource,
                                 public ListTable::Delegate,
                                 public ORVTwitterDelegate
{
    Q_OBJECT

public:
    enum Tab
    {
        AllChannels = 0,
        CurrentChannel = 1,
        HomeTimeline = 2,
        Mentions = 3
    };
    static constexpr int PanelWidth = 600;

    explicit ORVTwitterViewController(QObject* parent = nullptr);
    ~ORVTwitterViewController() override;

    const QList<Tweet>& arrayTweets() const { return m_arrayTweets; }
    SegmentedControl* segment() const { return m_segment; }
    int prevSelectedIndex() const { return m_prevSelectedIndex; }
    bool reloading() const { return m_reloading; }
    bool isLoading() const { return m_isLoading; }
    bool finishTweets() const { return m_finishTweets; }
    const QString& maxId() const { return m_maxId; }
    const QDateTime& lastMessageDate() const { return m_lastMessageDate; }
    ListTable* table() const { return m_table; }
    RefreshHeader* refreshHeader() const { return m_refreshHeader; }
    QLabel* noDataLabel() const { return m_noData; }
    ORVTweetDetailsController* twDetailsController() const { return m_twDetailsController; }
    NavigationController* detailsNavigation() const { return m_detailsNavigation; }
    bool isDetailsOpen() const;

    // Fresh load (first show, pull, tab change) or the next page.
    void reloadTweets();
    void loadMore();
    void segmentChanged(int index);
    // Opens the details panel for a tweet of the list (or any tweet, for --show).
    void openDetails(const Tweet& tweet);
    // Opens a user's profile (Twitter's user object) in the panel.
    void openProfile(const QVariantMap& user);
    void closeDetails();
    bool isEmptyRow(int row) const;
    bool isLoadingRow(int row) const;

    int numberOfRowsInSection(int section) const override;
    int heightForRow(const IndexPath& path) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    void didSelectRowAtIndexPath(const IndexPath& path) override;

    void twitterDidFinish() override;
    void twitterDidFinishWithOp(int op) override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    bool isConnected() const;
    void load();
    void loadFromService(const QString& channel);
    void loadFromTwitter();
    void loadEnded();
    void listFailed(const Error& error, bool twitter);
    void showNoData(bool show);
    void enableAccountTabs(bool enabled);
    void askForMoreIfShown();
    void layoutPanel();
    void openPanel(ViewController* root);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QList<Tweet> m_arrayTweets;
    QPointer<SegmentedControl> m_segment;
    int m_prevSelectedIndex = 0;
    bool m_reloading = false;
    bool m_isLoading = false;
    bool m_finishTweets = false;
    QString m_maxId;
    QDateTime m_lastMessageDate;
    quint64 m_generation = 0; // answers of an earlier tab or load are dropped
    int m_selectedRow = -1;
    QPointer<ListTable> m_table;
    QPointer<RefreshHeader> m_refreshHeader;
    QPointer<QLabel> m_noData;
    QPointer<QWidget> m_detailsBackground;
    QPointer<NavigationController> m_detailsNavigation;
    QPointer<ORVTweetDetailsController> m_twDetailsController;
    QPointer<ViewController> m_panelRoot;
    PaintedImages* m_pictures;
};
