#pragma once

#include "ORVTwitterAccDelegate.h"

#include "ui/ListTable.h"
#include "ui/ViewController.h"

#include <QPointer>
#include <QVariantList>

// The account chooser: one section per account with one row, the account's full name over its
// description ("@name"), or the user name alone when the full name is not known. A tap tells
// the delegate which account was picked.
class ORVTwAccsTableController : public ViewController, public ListTableSource, public ListTable::Delegate
{
    Q_OBJECT

public:
    // twAccounts: as the account service lists them ("identifier", "username",
    // "properties" {"fullName"}, "accountDescription").
    ORVTwAccsTableController(const QVariantList& twAccounts, ORVTwitterAccDelegate* delegate,
                             QObject* parent = nullptr);

    const QVariantList& twAccounts() const { return m_twAccounts; }
    ListTable* table() const { return m_table; }
    // The cell's texts: title and detail (empty when the title is the user name alone).
    QString titleForSection(int section) const;
    QString detailForSection(int section) const;

    int numberOfSections() const override { return int(m_twAccounts.size()); }
    int numberOfRowsInSection(int) const override { return 1; }
    int heightForRow(const IndexPath&) const override { return 52; }
    int heightForHeaderInSection(int) const override { return 8; }
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    void didSelectRowAtIndexPath(const IndexPath& path) override;

protected:
    void loadView() override;

private:
    QVariantList m_twAccounts;
    ORVTwitterAccDelegate* m_delegate;
    QPointer<ListTable> m_table;
};
