#pragma once

#include "ShowDetailsViewController.h"

#include "ui/ListTable.h"
#include "ui/ViewController.h"

#include <QPointer>

#include <memory>

class History;

// The shows watched, oldest first, from the local database; a tap opens the show's
// details on the profile's navigation stack. Hidden while there is nothing to list.
class ProfileHistoryViewController : public ViewController, public ListTableSource, public ListTable::Delegate
{
    Q_OBJECT

public:
    static constexpr int RowHeight = 60;

    explicit ProfileHistoryViewController(QObject* parent = nullptr);
    ~ProfileHistoryViewController() override;

    // The screen whose navigation stack shows the details; not owned.
    void setDelegate(ViewController* delegate) { m_delegate = delegate; }
    const QList<std::shared_ptr<History>>& arrayHistory() const { return m_arrayHistory; }
    ListTable* table() const { return m_table; }
    ShowDetailsViewController* showDetailsViewController() const { return m_showDetailsViewController; }
    // "name (channel)" and the watching time of a row.
    QString rowDescription(int row) const;
    QString rowTime(int row) const;

    void getHistoryFromDB();
    void historyCleared();

    // ListTableSource
    int numberOfRowsInSection(int section) const override { return int(m_arrayHistory.size()); }
    int heightForRow(const IndexPath& path) const override { return RowHeight; }
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    // ListTable::Delegate
    void didSelectRowAtIndexPath(const IndexPath& path) override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    QPointer<ViewController> m_delegate;
    QList<std::shared_ptr<History>> m_arrayHistory;
    QPointer<ListTable> m_table;
    QPointer<ShowDetailsViewController> m_showDetailsViewController;
};
