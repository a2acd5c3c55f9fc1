#include "SearchViewController.h"

#include "ShowDetailsLink.h"
#include "ShowDetailsViewController.h"
#include "TableViewCellProgram.h"

#include "core/AppDelegate.h"
#include "model/DateAdditions.h"
#include "model/Show.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/ActionSheet.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/Images.h"
#include "ui/ScreenView.h"
#include "widgets/AsyncImageView.h"

#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

SearchViewController::SearchViewController(QObject* parent)
    : ViewController(QStringLiteral("SearchViewController_iPhone"), parent)
{
    setTitle(StringTable::localized("Search"));
}

SearchViewController::~SearchViewController() = default;

void SearchViewController::loadView()
{
    auto* barBox = new QWidget;
    barBox->setAutoFillBackground(true);
    QPalette barPalette = barBox->palette();
    barPalette.setColor(QPalette::Window, QColor(0xd6, 0xd9, 0xe6));
    barBox->setPalette(barPalette);
    auto* barLayout = new QVBoxLayout(barBox);
    barLayout->setContentsMargins(8, 7, 8, 7);
    m_searchBar = new QLineEdit(barBox);
    m_searchBar->setMaxLength(MaximumTextLength);
    m_searchBar->setClearButtonEnabled(true);
    m_searchBar->setPlaceholderText(StringTable::localized("Search"));
    m_searchBar->setStyleSheet(
        QStringLiteral("QLineEdit { border-radius: 14px; padding: 5px 8px;"
                       " background: white; border: 1px solid #b9bdd0; font-size: 15px; }"));
    barLayout->addWidget(m_searchBar);
    m_table = new ListTable(this, this);
    QWidget* view = ScreenView::column(nibName(), {barBox, m_table});
    m_overlay = new ActivityOverlay(view);
    setView(view);
}

void SearchViewController::viewDidLoad()
{
    connect(m_searchBar, &QLineEdit::returnPressed, this,
            &SearchViewController::searchBarSearchButtonClicked);
    navigationItem()->setLeftBarButtonItem(BarButtonItem::withTitle(StringTable::localized("Cancel"), [this] {
        if (auto* delegate = dynamic_cast<SearchViewControllerDelegate*>(m_delegate.data()))
            delegate->searchViewControllerDidFinish(nullptr);
    }));
    m_table->reloadData();
}

int SearchViewController::supportedInterfaceOrientations() const
{
    return Portrait | LandscapeLeft | LandscapeRight;
}

bool SearchViewController::isSearching() const
{
    return m_overlay && m_overlay->isDisplaying();
}

void SearchViewController::searchBarSearchButtonClicked()
{
    m_searchBar->clearFocus();
    search();
}

void SearchViewController::search()
{
    view();
    m_overlay->displayActivity(StringTable::localized("Searching"));
    ServiceCalls::sharedManager().search(m_searchBar->text(), Reply(this, &SearchViewController::onSearchDone,
                                                                    &SearchViewController::onSearchFailed));
}

void SearchViewController::onSearchDone(const QVariant& answer)
{
    m_overlay->hide();
    AppDelegate* app = AppDelegate::shared();
    m_results.takeAnswer(answer, app ? app->roundedServerTimeDifference() : 0);
    reload();
    m_table->scrollToTop();
}

void SearchViewController::onSearchFailed(const Error& error)
{
    m_overlay->hide();
    qInfo("search: %s", qPrintable(error.localizedDescription()));
    AlertView::showError(error);
}

void SearchViewController::reload()
{
    m_picturesRequested.clear();
    m_table->reloadData();
}

int SearchViewController::numberOfSections() const
{
    return m_results.arrayFilteredResults().isEmpty() && m_results.arraySearchResults().isEmpty()
               ? 0
               : 1 + int(m_results.arrayFilteredResults().size());
}

int SearchViewController::numberOfRowsInSection(int) const
{
    return 1;
}

int SearchViewController::heightForRow(const IndexPath& path) const
{
    return path.section == 0 ? SelectorRowHeight : ResultRowHeight;
}

int SearchViewController::heightForHeaderInSection(int section) const
{
    return section == 1 ? 10 : section == 0 ? 2 : 1;
}

QString SearchViewController::selectedCategoryText() const
{
    const auto& selected = m_results.selectedCategory();
    return selected ? selected->categoryName : StringTable::localized("All");
}

void SearchViewController::paintCategoryRow(QPainter* painter, const QRect& rect, RowState state) const
{
    painter->fillRect(rect, state.highlighted ? QColor(0xdd, 0xe3, 0xf7) : QColor(Qt::white));
    painter->setPen(QColor(0xe2, 0xe4, 0xec));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    QFont font;
    font.setPixelSize(16);
    painter->setFont(font);
    painter->setPen(QColor(0x20, 0x22, 0x2e));
    const QRect text = rect.adjusted(14, 0, -30, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, StringTable::localized("Selected Category"));
    painter->setPen(QColor(0x5b, 0x66, 0xab));
    painter->drawText(text, Qt::AlignRight | Qt::AlignVCenter, selectedCategoryText());
    painter->setPen(QColor(0xa0, 0xa4, 0xb4));
    painter->drawText(QRect(rect.right() - 24, rect.top(), 16, rect.height()), Qt::AlignCenter,
                      QStringLiteral("›"));
}

void SearchViewController::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                    RowState state)
{
    if (path.section == 0) {
        paintCategoryRow(painter, rect, state);
        return;
    }
    const auto& shown = m_results.arrayFilteredResults();
    if (path.section - 1 >= shown.size())
        return;
    const Show& show = *shown[path.section - 1];
    TableViewCellProgram cell;
    cell.labelShowName = show.name;
    cell.labelShowDescription = show.description;
    cell.labelDay =
        show.startTime.isValid() ? DateAdditions::getDayOfWeekImproved(show.startTime) : QString();
    cell.labelDuration = DateAdditions::getBriefDurationUntilDate(show.startTime, show.endTime);
    cell.labelTime = show.startTime.isValid() ? DateAdditions::getTime(show.startTime) : QString();
    cell.enabled = show.endTime.isValid() && show.endTime > QDateTime::currentDateTime();
    cell.categoryIconName = show.iconName();
    cell.imageSize = 40;
    cell.imageViewRight = show.thumbnail;
    if (cell.imageViewRight.isNull()) {
        cell.imageViewRight = Images::named(QStringLiteral("no_photo.png")).toImage();
        if (!show.pictureName.isEmpty())
            requestPicture(show);
    }
    cell.paint(painter, rect, state);
}

void SearchViewController::requestPicture(const Show& show)
{
    // One download per picture: results of one channel share its logo.
    if (m_picturesRequested.contains(show.pictureName))
        return;
    m_picturesRequested.insert(show.pictureName);
    AsyncImageView::loadImage(
        ContentAddresses::channelLogo(PictureSize, PictureSize, show.pictureName),
        {{QStringLiteral("picture"), show.pictureName}}, this,
        [this](const QImage& image, const QVariantMap& params) { handleImage(image, params); });
}

void SearchViewController::handleImage(const QImage& image, const QVariantMap& params)
{
    if (image.isNull())
        return;
    const QString picture = params.value(QStringLiteral("picture")).toString();
    bool shown = false;
    for (const std::shared_ptr<Show>& show : m_results.arraySearchResults()) {
        if (show->pictureName == picture) {
            show->thumbnail = image;
            shown = true;
        }
    }
    if (shown)
        m_table->viewport()->update();
}

void SearchViewController::didSelectRowAtIndexPath(const IndexPath& path)
{
    m_table->deselectRow(path);
    if (path.section == 0)
        showCategorySheet();
    else
        openResult(path.section - 1);
}

void SearchViewController::tableTouchTap()
{
    if (m_searchBar && m_searchBar->hasFocus())
        m_searchBar->clearFocus();
}

void SearchViewController::showCategorySheet()
{
    QStringList titles{StringTable::localized("All")};
    for (const SearchResults::Category& category : m_results.arrayCategories())
        titles << category.categoryName;
    m_sheet = new ActionSheet(
        QString(), this, [this](ActionSheet*, int index) { actionSheetClickedButtonAtIndex(index); },
        StringTable::localized("Cancel"), titles);
    m_sheet->setTag(1);
    m_sheet->showInView(view());
}

void SearchViewController::actionSheetClickedButtonAtIndex(int index)
{
    const QList<SearchResults::Category>& categories = m_results.arrayCategories();
    if (index == 0)
        m_results.selectCategory(std::nullopt);
    else if (index >= 1 && index <= categories.size())
        m_results.selectCategory(categories[index - 1]);
    else
        return; // Cancel
    reload();
}

void SearchViewController::openResult(int index)
{
    const auto& shown = m_results.arrayFilteredResults();
    if (index < 0 || index >= shown.size())
        return;
    m_selectedShow = shown[index];
    ShowDetailsLink::openKept(
        m_showDetailsViewController, this, navigationController(),
        ShowDetailsLink::make(m_selectedShow->startTime, m_selectedShow->channelId, m_selectedShow->showId));
}
