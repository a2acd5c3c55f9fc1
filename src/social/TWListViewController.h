#pragma once

#include "TWDetailsViewController.h"
#include "Tweet.h"

#include "ui/ActivityOverlay.h"
#include "ui/ListTable.h"
#include "ui/ViewController.h"
#include "widgets/RefreshHeader.h"

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QSet>

// What the four talk lists of the Twitter tab share: the tweets, the rows (a "Show more" row
// after a multiple of 30), pull-to-refresh, the authors' pictures (fetched once, kept on disk)
// and the details screen a tap opens. Each list says where its tweets come from (load).
class TWListViewController : public ViewController, public ListTableSource, public ListTable::Delegate
{
    Q_OBJECT

public:
    const QList<Tweet>& arrayTweets() const { return m_arrayTweets; }
    bool reloading() const { return m_reloading; }
    ListTable* table() const { return m_table; }
    RefreshHeader* refreshHeader() const { return m_refreshHeader; }
    TWDetailsViewController* twDetailsViewController() const { return m_twDetailsViewController; }
    // The container, whose navigation stack shows the details; not owned.
    void setDelegate(ViewController* delegate) { m_delegate = delegate; }
    ActivityOverlay* overlay() const { return m_overlay; }

    // A fresh first page (pull-to-refresh, first show, connection back).
    void reloadTweets();
    // The next page ("Show more").
    void loadMoreTweets();

    // ListTableSource
    int numberOfRowsInSection(int section) const override;
    int heightForRow(const IndexPath& path) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    // ListTable::Delegate
    void didSelectRowAtIndexPath(const IndexPath& path) override;
    bool isShowMoreRow(int row) const;

protected:
    TWListViewController(const QString& nibName, QObject* parent);
    ~TWListViewController() override;
    void loadView() override;
    void viewDidLoad() override;

    // Asks for the tweets: more = the next page; false when nothing was asked (offline, not
    // signed in), which ends the loading state at once.
    virtual bool load(bool more) = 0;
    // The answer's tweets replace the list; the table reloads and loading ends.
    void setTweets(QList<Tweet> tweets);
    QList<Tweet>& tweets() { return m_arrayTweets; }
    // Loading ended without tweets: the header closes; error (when not null) is shown.
    void loadFailed(const Error& error, const QString& logFormat);
    void beginLoading();
    void endLoading();
    bool isConnected() const;

private:
    void loadPicture(int row);

    QList<Tweet> m_arrayTweets;
    QSet<QString> m_picturesAsked;     // authors' picture addresses, asked once
    QHash<QString, QImage> m_pictures; // the pictures that came, by address
    bool m_reloading = false;
    QPointer<ListTable> m_table;
    QPointer<RefreshHeader> m_refreshHeader;
    QPointer<ActivityOverlay> m_overlay;
    QPointer<TWDetailsViewController> m_twDetailsViewController;
    QPointer<ViewController> m_delegate;
};
