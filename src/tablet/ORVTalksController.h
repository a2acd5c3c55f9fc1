#pragma once

#include "social/ORVTwitterDelegate.h"
#include "social/Tweet.h"

#include "ui/ListTable.h"
#include "ui/ViewController.h"

#include <QImage>
#include <QPointer>

class PaintedImages;

// A conversation: from the chosen tweet back through the tweets each one answered, fetched one
// by one up to a limit (5, then 5 more for each tap on "Ещё..."), shown oldest first as
// bubbles: the starting tweet's author on the left, everyone else on the right. The walk stops
// at a tweet that is gone, an error, or a tweet already shown (a chain that loops).
class ORVTalksController : public ViewController,
                           public ListTableSource,
                           public ListTable::Delegate,
                           public ORVTwitterDelegate
{
    Q_OBJECT

public:
    static constexpr int FirstLimit = 5;
    static constexpr int MoreRowHeight = 35;
    static inline const QString MoreReuseIdentifier = QStringLiteral("contincell");
    static inline const QString BubbleReuseIdentifier = QStringLiteral("bubble-cell");

    ORVTalksController(const Tweet& first, const QImage& firstPersonImg, QObject* parent = nullptr);

    // The conversation, the starting tweet first.
    const QList<Tweet>& tweets() const { return m_tweets; }
    const QString& firstId() const { return m_firstId; }
    bool isToBeContinue() const { return m_isToBeContinue; }
    int tweetsLimit() const { return m_tweetsLimit; }
    bool isFetching() const { return m_fetching; }
    ListTable* table() const { return m_table; }
    // The tweet shown in a section (oldest first); null when the section is the "Ещё..." row.
    const Tweet* tweetInSection(int section) const;
    bool isMoreSection(int section) const { return m_isToBeContinue && section == 0; }

    int numberOfSections() const override;
    int numberOfRowsInSection(int) const override { return 1; }
    int heightForRow(const IndexPath& path) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    void didSelectRowAtIndexPath(const IndexPath& path) override;

    void twitterDidFinish() override;
    void twitterDidFinishWithOp(int op) override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    void fetchNext();
    QString nextReplyId() const;
    int bubbleWidth() const;

    QList<Tweet> m_tweets;
    QString m_firstId;
    QString m_openedTweetId;
    QImage m_firstPersonImg;
    bool m_isToBeContinue = false;
    int m_tweetsLimit = FirstLimit;
    bool m_fetching = false;
    QPointer<ListTable> m_table;
    PaintedImages* m_pictures;
};
