#include "ORVSearchController_iPad.h"

#include "ExpandedShowCell.h"
#include "ProgramDetailsController.h"

#include "core/AppDelegate.h"
#include "model/DateAdditions.h"
#include "platform/JsonValue.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/BarButtonItem.h"
#include "ui/Images.h"
#include "ui/NavigationController.h"
#include "widgets/PaintedImages.h"

#include <QListWidget>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr qint64 PictureMemory = 8 * 1024 * 1024;

AppDelegate* app()
{
    return AppDelegate::shared();
}

} // namespace

ORVSearchController_iPad::ORVSearchController_iPad(const QString& initString, QObject* parent)
    : ORVViewController_iPad(QStringLiteral("ORVSearchController_iPad"), parent),
      m_initialSearchString(initString), m_images(new PaintedImages(PictureMemory, this))
{
    setTitleString(QStringLiteral("Поиск"));
}

void ORVSearchController_iPad::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(12, 8, 12, 8);
    m_searchBar = new QLineEdit;
    m_searchBar->setObjectName(QStringLiteral("searchBar"));
    m_searchBar->setPlaceholderText(StringTable::localized("Search"));
    m_filterButton = new QToolButton;
    m_filterButton->setObjectName(QStringLiteral("filterButton"));
    m_filterButton->setText(QStringLiteral("Фильтр"));
    bar->addWidget(m_searchBar, 1);
    bar->addWidget(m_filterButton);
    column->addLayout(bar);
    m_table = new ListTable(this, this);
    column->addWidget(m_table, 1);
    m_overlay = new ActivityOverlay(m_table);
    connect(m_searchBar, &QLineEdit::returnPressed, this, [this] {
        if (!m_searchBar->text().trimmed().isEmpty())
            searchWithString(m_searchBar->text());
        m_searchBar->clearFocus();
    });
    connect(m_filterButton, &QToolButton::clicked, this, &ORVSearchController_iPad::filterTouch);
    connect(m_images, &PaintedImages::arrived, m_table->viewport(),
            [this] { m_table->viewport()->update(); });
    setView(view);
}

void ORVSearchController_iPad::viewDidLoad()
{
    ORVViewController_iPad::viewDidLoad();
    m_searchBar->setText(m_initialSearchString);
    if (!m_initialSearchString.trimmed().isEmpty())
        searchWithString(m_initialSearchString);
}

bool ORVSearchController_iPad::isLoading() const
{
    return m_overlay && m_overlay->isDisplaying();
}

void ORVSearchController_iPad::searchWithString(const QString& text)
{
    view();
    m_emptyProgramFlag = false;
    m_results.takeAnswer(QVariantMap(), 0);
    m_table->reloadData();
    m_overlay->displayActivity(StringTable::localized("Loading"));
    ServiceCalls::sharedManager().search(
        text.trimmed(), Reply::newest(this, &m_generation, &ORVSearchController_iPad::onSearchDone,
                                      &ORVSearchController_iPad::onSearchFailed));
}

void ORVSearchController_iPad::onSearchDone(const QVariant& answer)
{
    if (m_overlay)
        m_overlay->hide();
    m_emptyProgramFlag = JsonValue::map(answer).contains(QStringLiteral("nodata"));
    m_results.takeAnswer(m_emptyProgramFlag ? QVariant(QVariantMap()) : answer,
                         app() ? app()->roundedServerTimeDifference() : 0);
    if (m_table)
        m_table->reloadData();
}

void ORVSearchController_iPad::onSearchFailed(const Error& error)
{
    if (m_overlay)
        m_overlay->hide();
    (new AlertView(StringTable::localized("Error"), error.localizedDescription(), nullptr, {},
                   StringTable::localized("OK")))
        ->show();
}

QStringList ORVSearchController_iPad::filterItems() const
{
    QStringList items{QStringLiteral("Все")};
    for (const SearchResults::Category& category : m_results.arrayCategories())
        items << category.categoryName;
    return items;
}

int ORVSearchController_iPad::selectedCategoryId() const
{
    return m_results.selectedCategory() ? m_results.selectedCategory()->categoryId : 0;
}

void ORVSearchController_iPad::filteringResultsWithCatIndex(int row)
{
    const QList<SearchResults::Category>& categories = m_results.arrayCategories();
    if (row <= 0 || row > categories.size())
        m_results.selectCategory(std::nullopt);
    else
        m_results.selectCategory(categories[row - 1]);
    if (m_table)
        m_table->reloadData();
}

void ORVSearchController_iPad::filterTouch()
{
    if (m_results.arrayCategories().isEmpty() || m_filterPopover || !m_filterButton)
        return;
    auto* list = new QListWidget;
    list->setObjectName(QStringLiteral("filterTable"));
    list->setFixedSize(300, 250);
    list->addItems(filterItems());
    for (int i = 0; i < list->count(); ++i) {
        list->item(i)->setTextAlignment(Qt::AlignCenter);
        list->item(i)->setSizeHint(QSize(300, 50));
    }
    m_filterPopover = new Popover(list);
    connect(list, &QListWidget::itemClicked, this, [this, list](QListWidgetItem* item) {
        filteringResultsWithCatIndex(list->row(item));
        if (m_filterPopover)
            m_filterPopover->dismissPopoverAnimated(false);
    });
    connect(m_filterPopover, &Popover::dismissed, m_filterPopover, &QObject::deleteLater);
    m_filterPopover->presentPopoverFromRect(m_filterButton->rect(), m_filterButton, Popover::ArrowUp, true);
}

int ORVSearchController_iPad::numberOfSections() const
{
    return m_emptyProgramFlag ? 1 : int(m_results.arrayFilteredResults().size());
}

int ORVSearchController_iPad::numberOfRowsInSection(int) const
{
    return 1;
}

int ORVSearchController_iPad::heightForRow(const IndexPath&) const
{
    return RowHeight;
}

void ORVSearchController_iPad::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                        RowState state)
{
    if (m_emptyProgramFlag) {
        painter->fillRect(rect, QColor(0xf4, 0xf5, 0xf8));
        painter->setPen(QColor(0x5a, 0x5e, 0x6c));
        painter->drawText(rect, Qt::AlignCenter, QStringLiteral("Поиск не дал результатов"));
        return;
    }
    const QList<std::shared_ptr<Show>>& shows = m_results.arrayFilteredResults();
    if (path.section < 0 || path.section >= shows.size())
        return;
    const Show& show = *shows[path.section];
    ExpandedShowCell cell;
    cell.caption = show.name;
    cell.description = show.description;
    cell.startTime = DateAdditions::getTime(show.startTime);
    cell.duration = DateAdditions::getDayOfWeekImproved(show.startTime);
    cell.picture = show.pictureName.isEmpty()
                       ? QImage()
                       : m_images->image(ContentAddresses::channelLogo(54, 54, show.pictureName));
    if (cell.picture.isNull())
        cell.picture = Images::named(QStringLiteral("no_photo.png")).toImage();
    cell.enabled = show.endTime > QDateTime::currentDateTime();
    cell.highlighted = state.highlighted;
    cell.paint(painter, rect);
}

void ORVSearchController_iPad::didSelectRowAtIndexPath(const IndexPath& path)
{
    const QList<std::shared_ptr<Show>>& shows = m_results.arrayFilteredResults();
    if (m_emptyProgramFlag || path.section < 0 || path.section >= shows.size() || !navigationController())
        return;
    const Show& show = *shows[path.section];
    auto* details = new ProgramDetailsController(this);
    details->setRootDelegate(rootDelegate());
    navigationController()->pushViewController(details, true);
    details->openShowWithId(show.showId, show.channelId, show.startTime);
}
