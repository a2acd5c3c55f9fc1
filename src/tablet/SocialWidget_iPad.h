#pragma once

#include "social/Tweet.h"
#include "ui/ListTable.h"
#include "widgets/RefreshHeader.h"

#include <QPointer>
#include <QWidget>

// The root pane's talk panel: the latest talk about the current channel from the content
// server's feed (the last 7 days, 20 at a time; "Show more" after a multiple of 20), with
// pull-to-refresh. It follows the current channel.
class SocialWidget_iPad : public QWidget, public ListTableSource, public ListTable::Delegate
{
    Q_OBJECT

public:
    static constexpr int Page = 20;
    static constexpr int RowHeight = 60;
    static constexpr int ShowMoreHeight = 30;

    explicit SocialWidget_iPad(QWidget* parent = nullptr);
    ~SocialWidget_iPad() override;

    // more: the shown number plus 20 again; otherwise 20.
    void loadTweets(bool more = false);
    const QList<Tweet>& tweets() const { return m_tweets; }
    bool isLoading() const { return m_loading; }
    ListTable* table() const { return m_table; }
    RefreshHeader* refreshHeader() const { return m_refreshHeader; }
    bool isShowMoreRow(int row) const;

    int numberOfRowsInSection(int section) const override;
    int heightForRow(const IndexPath& path) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    void didSelectRowAtIndexPath(const IndexPath& path) override;

Q_SIGNALS:
    // "Details": the navigation pane should slide back over the root pane.
    void detailsTouched();

private:
    void endLoading();

    QList<Tweet> m_tweets;
    bool m_loading = false;
    QPointer<ListTable> m_table;
    QPointer<RefreshHeader> m_refreshHeader;
};
