#pragma once

#include "ORVViewController_iPad.h"

#include "model/SearchResults.h"
#include "ui/ListTable.h"
#include "widgets/Popover.h"

#include <QLineEdit>
#include <QPointer>

class ActivityOverlay;
class PaintedImages;
class QToolButton;
struct Error;

// The results of a schedule search on the tablet, opened from the now board's search bar:
// shows found in start order (a show that has ended drawn disabled), a category filter in a
// popover, a new search from the bar; a tap opens the show's details.
class ORVSearchController_iPad : public ORVViewController_iPad,
                                 public ListTableSource,
                                 public ListTable::Delegate
{
    Q_OBJECT

public:
    static constexpr int RowHeight = 70;
    static constexpr int EmptyCellTag = -66;
    static constexpr int EmptyLabelTag = -55;

    ORVSearchController_iPad(const QString& initString, QObject* parent = nullptr);

    void searchWithString(const QString& text);
    void onSearchDone(const QVariant& answer);
    void onSearchFailed(const Error& error);
    // Row 0 of the filter is every category; row i the (i-1)th category found.
    void filteringResultsWithCatIndex(int row);
    void filterTouch();
    QStringList filterItems() const;
    const SearchResults& results() const { return m_results; }
    int selectedCategoryId() const;
    bool emptyProgramFlag() const { return m_emptyProgramFlag; }
    bool isLoading() const;
    QLineEdit* searchBar() const { return m_searchBar; }
    Popover* filterPopover() const { return m_filterPopover; }
    ListTable* table() const { return m_table; }

    // ListTableSource
    int numberOfSections() const override;
    int numberOfRowsInSection(int section) const override;
    int heightForRow(const IndexPath& path) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    // ListTable::Delegate
    void didSelectRowAtIndexPath(const IndexPath& path) override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    QString m_initialSearchString;
    SearchResults m_results;
    bool m_emptyProgramFlag = false;
    int m_generation = 0;
    QPointer<ListTable> m_table;
    QPointer<QLineEdit> m_searchBar;
    QPointer<ActivityOverlay> m_overlay;
    QPointer<Popover> m_filterPopover;
    QPointer<QToolButton> m_filterButton;
    PaintedImages* m_images;
};
