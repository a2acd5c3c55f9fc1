#pragma once

#include "model/SearchResults.h"

#include "ShowDetailsViewController.h"

#include "ui/ActionSheet.h"
#include "ui/ListTable.h"
#include "ui/ViewController.h"

#include <QLineEdit>
#include <QPointer>
#include <QSet>

class ActivityOverlay;
class SearchViewController;
struct Error;

class SearchViewControllerDelegate
{
public:
    virtual ~SearchViewControllerDelegate() = default;
    // Only on Cancel, with none; the presenting screen dismisses the search.
    virtual void searchViewControllerDidFinish(SearchViewController* controller) = 0;
};

// The schedule search of the user's city: results by start time, narrowed to one show
// category on request; a result opens its details inside the search's own navigation
// stack. Kept by the screen that presents it, with its last text and results.
class SearchViewController : public ViewController, public ListTableSource, public ListTable::Delegate
{
    Q_OBJECT

public:
    static constexpr int SelectorRowHeight = 44;
    static constexpr int ResultRowHeight = 90;
    static constexpr int PictureSize = 48;
    static constexpr int MaximumTextLength = 256;

    explicit SearchViewController(QObject* parent = nullptr);
    ~SearchViewController() override;

    // Told on Cancel; not owned.
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    QLineEdit* searchBar() const { return m_searchBar; }
    ListTable* table() const { return m_table; }
    const SearchResults& results() const { return m_results; }
    std::shared_ptr<Show> selectedShow() const { return m_selectedShow; }
    ShowDetailsViewController* showDetailsViewController() const { return m_showDetailsViewController; }
    ActionSheet* categorySheet() const { return m_sheet; }
    bool isSearching() const;
    // The detail of the category row: the chosen category's name or "All".
    QString selectedCategoryText() const;

    void searchBarSearchButtonClicked();
    void search();
    void onSearchDone(const QVariant& answer);
    void onSearchFailed(const Error& error);
    void showCategorySheet();
    void actionSheetClickedButtonAtIndex(int index);
    void openResult(int index);

    // ListTableSource
    int numberOfSections() const override;
    int numberOfRowsInSection(int section) const override;
    int heightForRow(const IndexPath& path) const override;
    int heightForHeaderInSection(int section) const override;
    void paintRow(QPainter* painter, const QRect& rect, const IndexPath& path, RowState state) override;
    // ListTable::Delegate
    void didSelectRowAtIndexPath(const IndexPath& path) override;
    void tableTouchTap() override;

    int supportedInterfaceOrientations() const override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    void paintCategoryRow(QPainter* painter, const QRect& rect, RowState state) const;
    void requestPicture(const Show& show);
    void handleImage(const QImage& image, const QVariantMap& params);
    void reload();

    QPointer<QObject> m_delegate;
    SearchResults m_results;
    std::shared_ptr<Show> m_selectedShow;
    QPointer<ShowDetailsViewController> m_showDetailsViewController;
    QPointer<QLineEdit> m_searchBar;
    QPointer<ListTable> m_table;
    QPointer<ActivityOverlay> m_overlay;
    QPointer<ActionSheet> m_sheet;
    QSet<QString> m_picturesRequested;
};
