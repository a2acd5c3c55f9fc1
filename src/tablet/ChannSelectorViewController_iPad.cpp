#include "ChannSelectorViewController_iPad.h"

#include "ORVAlertView.h"
#include "ORVProgramView_iPad.h"

#include "core/AppDelegate.h"
#include "model/ChannelsRepository.h"
#include "model/ManagedRecords.h"
#include "model/ORVManagedObjectContext.h"
#include "model/Utilities.h"
#include "platform/Dispatch.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/SerialQueue.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/AlertView.h"
#include "ui/BarButtonItem.h"
#include "ui/Images.h"
#include "ui/NavigationController.h"
#include "ui/SegmentedControl.h"
#include "ui/ViewTag.h"
#include "widgets/PaintedImages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSet>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int NoDataTag = 1001;
constexpr qint64 PictureMemory = 16 * 1024 * 1024;

AppDelegate* app()
{
    return AppDelegate::shared();
}

QSet<QString> favouriteIds()
{
    QSet<QString> ids;
    if (ORVManagedObjectContext* db = app() ? app()->dbContext() : nullptr) {
        for (const auto& record : ChannelsRepository(db).getAllFavorites()) {
            if (record && record->channel_object())
                ids.insert(record->channel_object()->channelId());
        }
    }
    return ids;
}

} // namespace

ChannSelectorViewController_iPad::ChannSelectorViewController_iPad(QObject* parent)
    : ORVViewController_iPad(QStringLiteral("ChannelSelector_iPad"), parent),
      m_images(new PaintedImages(PictureMemory, this))
{}

ChannSelectorViewController_iPad::~ChannSelectorViewController_iPad()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void ChannSelectorViewController_iPad::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Filters: all, TV or radio; favourites only; the hint.
    auto* filters = new QWidget;
    filters->setObjectName(QStringLiteral("filterToolbar"));
    auto* filterRow = new QHBoxLayout(filters);
    m_segment = new SegmentedControl(
        {StringTable::localized("All"), StringTable::localized("TV"), StringTable::localized("Radio")});
    m_segment->setSelectedSegmentIndex(ChannSelectorLists::All);
    connect(m_segment, &SegmentedControl::valueChanged, this,
            &ChannSelectorViewController_iPad::segmentChanged);
    m_favouritesButton = new QToolButton;
    m_favouritesButton->setObjectName(QStringLiteral("favoritesButton"));
    m_favouritesButton->setText(QStringLiteral("Только избранные"));
    connect(m_favouritesButton, &QToolButton::clicked, this,
            &ChannSelectorViewController_iPad::pressFavorBtn);
    auto* info = new QToolButton;
    info->setText(QStringLiteral("?"));
    info->setFixedSize(40, 40);
    connect(info, &QToolButton::clicked, this, &ChannSelectorViewController_iPad::presentInfo);
    filterRow->addWidget(m_segment, 1);
    filterRow->addWidget(m_favouritesButton);
    filterRow->addWidget(info);
    column->addWidget(filters);

    // The categories, side by side.
    m_carousel = new QListWidget;
    m_carousel->setObjectName(QStringLiteral("carouselView"));
    m_carousel->setFlow(QListView::LeftToRight);
    m_carousel->setWrapping(false);
    m_carousel->setFixedHeight(64);
    m_carousel->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_carousel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_carousel->setStyleSheet(QStringLiteral(
        "QListWidget { background: #2a2d3c; border: none; } QListWidget::item { color: #d8dbe5; font-size: "
        "20px; "
        "padding: 10px 18px; border: 1px solid #555a6e; margin: 6px 4px; } QListWidget::item:selected { "
        "background: #2f5fb3; color: white; }"));
    connect(m_carousel, &QListWidget::currentRowChanged, this, [this](int) {
        m_gridChannels = gridChannels();
        if (m_grid) {
            m_grid->reloadData();
            m_grid->scrollToTop();
        }
    });
    column->addWidget(m_carousel);

    // Search mode: the big search bar in place of the categories.
    m_searchToolbar = new QWidget;
    m_searchToolbar->setObjectName(QStringLiteral("searchToolbar"));
    auto* searchRow = new QHBoxLayout(m_searchToolbar);
    m_bigSearchBar = new QLineEdit;
    m_bigSearchBar->setObjectName(QStringLiteral("bigSearchBar"));
    m_bigSearchBar->setPlaceholderText(StringTable::localized("Search"));
    auto* closeSearch = new QToolButton;
    closeSearch->setText(StringTable::localized("Cancel"));
    connect(m_bigSearchBar, &QLineEdit::returnPressed, this,
            [this] { searchMode(!m_bigSearchBar->text().trimmed().isEmpty(), m_bigSearchBar->text()); });
    connect(closeSearch, &QToolButton::clicked, this, [this] { searchMode(false, {}); });
    searchRow->addWidget(m_bigSearchBar, 1);
    searchRow->addWidget(closeSearch);
    m_searchToolbar->hide();
    column->addWidget(m_searchToolbar);

    m_grid = new GridView(this);
    m_grid->setObjectName(QStringLiteral("gmGridView"));
    connect(m_grid, &GridView::didTapOnItemAtIndex, this,
            &ChannSelectorViewController_iPad::didTapOnItemAtIndex);
    connect(m_grid, &GridView::didLongPressAtIndex, this,
            &ChannSelectorViewController_iPad::didLongPressAtIndex);
    connect(m_images, &PaintedImages::arrived, m_grid->viewport(), [this] { m_grid->viewport()->update(); });
    column->addWidget(m_grid, 1);
    setView(view);
}

void ChannSelectorViewController_iPad::viewDidLoad()
{
    ORVViewController_iPad::viewDidLoad();
    m_searchBar = barWidget(new QLineEdit);
    m_searchBar->setObjectName(QStringLiteral("searchBar"));
    m_searchBar->setFixedSize(200, 30);
    m_searchBar->setPlaceholderText(StringTable::localized("Search"));
    connect(m_searchBar, &QLineEdit::returnPressed, this, [this] {
        const QString text = m_searchBar->text();
        if (!text.trimmed().isEmpty())
            searchMode(true, text);
        m_searchBar->clearFocus();
    });
    navigationItem()->setRightBarButtonItem(BarButtonItem::withCustomView(m_searchBar));
    NotificationCenter::defaultCenter().observeOnMain(
        this, Notifications::InternetConnectionAvailable, [this](const Notification& n) {
            if (!n.userInfo.value(QStringLiteral("isAvailable")).toBool())
                return;
            setNoDataState(false);
            if (!m_loaded)
                getChannelInfo();
        });
    Dispatch::mainAfter(100, this, [this] { getChannelInfo(); });
}

void ChannSelectorViewController_iPad::viewWillAppear(bool)
{
    m_isFavoritesChange = false;
}

void ChannSelectorViewController_iPad::viewDidDisappear(bool)
{
    // The now board recomputes its channels once the choice is over.
    if (m_isFavoritesChange) {
        m_isFavoritesChange = false;
        NotificationCenter::defaultCenter().post(Notifications::ChangeFavorites);
    }
}

// Loading -----------------------------------------------------------------------------------------

void ChannSelectorViewController_iPad::getChannelInfo()
{
    m_loading = true;
    if (!app() || !app()->isConnectionAvailable()) {
        readCache();
        return;
    }
    const int generation = ++m_generation;
    ServiceCalls::sharedManager().getChannelInfoWithChannelId(AppDelegate::NoChannel,
                                                              Reply(
                                                                  this,
                                                                  [this, generation](const QVariant& answer) {
                                                                      if (generation == m_generation)
                                                                          onGetChannelInfoDone(answer);
                                                                  },
                                                                  [this, generation](const Error&) {
                                                                      if (generation == m_generation)
                                                                          readCache();
                                                                  }));
}

void ChannSelectorViewController_iPad::readCache()
{
    Dispatch::cacheQueue().async([this] {
        const std::optional<QVariantMap> cached = Utilities::getChannelsData();
        Dispatch::mainAsync(this, [this, cached] {
            if (cached) {
                onGetChannelInfoDone(*cached);
                return;
            }
            m_loading = false;
            setNoDataState(true);
        });
    });
}

void ChannSelectorViewController_iPad::onGetChannelInfoDone(const QVariant& answer)
{
    if (!JsonValue::isMap(answer) || answer.toMap().contains(QStringLiteral("nodata"))) {
        m_loading = false;
        setNoDataState(!m_loaded);
        return;
    }
    // Grouping a thousand channels runs off the main thread; favourites are read here first.
    const QSet<QString> favourites = favouriteIds();
    const QVariantMap map = answer.toMap();
    Dispatch::globalAsync([this, map, favourites] {
        ChannelGroups groups = ORVChannelsArray::groupsFromChannelList(map);
        for (ChannelGroup& group : groups) {
            for (const auto& channel : group.channels)
                channel->setIsFavorite(favourites.contains(channel->channelId()));
        }
        Dispatch::mainAsync(this, [this, groups] {
            m_lists.setAdjustedResponse(groups);
            m_loaded = true;
            m_loading = false;
            setNoDataState(false);
            updateRespones();
        });
    });
}

void ChannSelectorViewController_iPad::setNoDataState(bool noData)
{
    if (!noData) {
        delete m_noDataLabel;
        return;
    }
    if (m_noDataLabel || !m_grid)
        return;
    m_noDataLabel = new QLabel(QStringLiteral("Нет данных. Проверьте подключение к сети интернет."), m_grid);
    ViewTag::set(m_noDataLabel, NoDataTag);
    m_noDataLabel->setAlignment(Qt::AlignCenter);
    m_noDataLabel->setWordWrap(true);
    m_noDataLabel->setStyleSheet(QStringLiteral("font-size: 20px; color: #44485a;"));
    m_noDataLabel->setGeometry(50, 150, std::max(100, m_grid->width() - 100), 100);
    m_noDataLabel->show();
}

bool ChannSelectorViewController_iPad::isNoDataState() const
{
    return !m_noDataLabel.isNull();
}

// Lists and filters -------------------------------------------------------------------------------

void ChannSelectorViewController_iPad::updateRespones()
{
    const bool wanted = m_lists.filterFavorOnly();
    const QString text = m_lists.isSearchMode() && m_bigSearchBar ? m_bigSearchBar->text() : QString();
    m_lists.update(m_segment ? std::max(0, m_segment->selectedSegmentIndex()) : 0, wanted, text);
    reloadCarousel();
}

void ChannSelectorViewController_iPad::reloadCarousel()
{
    if (!m_carousel)
        return;
    const int previous = std::max(0, m_carousel->currentRow());
    const QSignalBlocker quiet(m_carousel);
    m_carousel->clear();
    m_carousel->addItems(m_lists.carouselItems());
    m_carousel->setCurrentRow(std::min(previous, m_carousel->count() - 1));
    m_gridChannels = gridChannels();
    if (m_grid)
        m_grid->reloadData();
    if (m_favouritesButton)
        m_favouritesButton->setStyleSheet(m_lists.filterFavorOnly() ? QStringLiteral("color: #d9534f;")
                                                                    : QString());
}

int ChannSelectorViewController_iPad::currentCarouselIndex() const
{
    return m_carousel ? std::max(0, m_carousel->currentRow()) : 0;
}

void ChannSelectorViewController_iPad::setCarouselIndex(int index)
{
    if (m_carousel)
        m_carousel->setCurrentRow(index);
}

ChannelList ChannSelectorViewController_iPad::gridChannels() const
{
    return m_lists.gridChannels(currentCarouselIndex());
}

QString ChannSelectorViewController_iPad::favoritesButtonTitle() const
{
    return m_favouritesButton ? m_favouritesButton->text() : QString();
}

void ChannSelectorViewController_iPad::pressFavorBtn()
{
    const QString text = m_lists.isSearchMode() && m_bigSearchBar ? m_bigSearchBar->text() : QString();
    m_lists.update(m_segment ? std::max(0, m_segment->selectedSegmentIndex()) : 0, !m_lists.filterFavorOnly(),
                   text);
    if (m_carousel) {
        const QSignalBlocker quiet(m_carousel);
        m_carousel->clear();
        m_carousel->addItems(m_lists.carouselItems());
        m_carousel->setCurrentRow(0); // "Все" when the filter is on
    }
    reloadCarousel();
}

void ChannSelectorViewController_iPad::segmentChanged(int)
{
    updateRespones();
}

void ChannSelectorViewController_iPad::searchMode(bool on, const QString& text)
{
    if (on && m_searchBar && m_bigSearchBar) {
        m_bigSearchBar->setText(text);
        m_searchBar->clear();
    }
    if (!on && m_bigSearchBar)
        m_bigSearchBar->clear();
    m_lists.update(m_segment ? std::max(0, m_segment->selectedSegmentIndex()) : 0, m_lists.filterFavorOnly(),
                   on ? text : QString());
    if (m_searchToolbar)
        m_searchToolbar->setVisible(m_lists.isSearchMode());
    if (m_carousel)
        m_carousel->setVisible(!m_lists.isSearchMode());
    if (m_searchBar)
        m_searchBar->setVisible(!m_lists.isSearchMode());
    reloadCarousel();
}

// Tiles -----------------------------------------------------------------------------------------------

int ChannSelectorViewController_iPad::numberOfItemsInGridView(const GridView*) const
{
    return int(m_gridChannels.size());
}

QSize ChannSelectorViewController_iPad::cellSize() const
{
    return {TileWidth, TileHeight};
}

void ChannSelectorViewController_iPad::paintCell(QPainter* painter, const QRect& rect, int index,
                                                 bool pressed)
{
    if (index < 0 || index >= m_gridChannels.size())
        return;
    const Channel& channel = *m_gridChannels[index];
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect tile = rect.adjusted(4, 4, -4, -4);
    painter->setPen(QColor(0xdc, 0xde, 0xe5));
    painter->setBrush(pressed ? QColor(0xe4, 0xe9, 0xf4) : QColor(Qt::white));
    painter->drawRoundedRect(tile, 8, 8);
    const QRect picture(tile.center().x() - 32, tile.top() + 12, 64, 64);
    QImage logo = channel.pictureName().isEmpty()
                      ? QImage()
                      : m_images->image(ContentAddresses::channelLogo(64, 64, channel.pictureName()));
    if (logo.isNull())
        logo = Images::named(QStringLiteral("no_photo.png")).toImage();
    painter->drawImage(picture, logo.scaled(picture.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    QFont font = painter->font();
    font.setPixelSize(15);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(QColor(0x22, 0x24, 0x2e));
    const QRect name(tile.left() + 6, picture.bottom() + 6, tile.width() - 12, 20);
    painter->drawText(name, Qt::AlignCenter,
                      painter->fontMetrics().elidedText(channel.name(), Qt::ElideRight, name.width()));
    font.setPixelSize(12);
    font.setBold(false);
    painter->setFont(font);
    painter->setPen(QColor(0x8a, 0x8e, 0x9c));
    const QString label =
        channel.channLabelString().isEmpty() ? QStringLiteral("метка канала") : channel.channLabelString();
    painter->drawText(name.translated(0, 22), Qt::AlignCenter,
                      painter->fontMetrics().elidedText(label, Qt::ElideRight, name.width()));
    // The favourite and automatic-detection marks in the corners, as the hint explains them.
    if (channel.isFavorite())
        painter->drawPixmap(QRect(tile.left() + 6, tile.top() + 6, 20, 20),
                            Images::named(QStringLiteral("favorite_chann_icon.png")));
    if (channel.isAutoDetection())
        painter->drawPixmap(QRect(tile.right() - 22, tile.top() + 6, 16, 16),
                            Images::named(QStringLiteral("auto_chann_icon.png")));
}

void ChannSelectorViewController_iPad::didTapOnItemAtIndex(int index)
{
    if (index < 0 || index >= m_gridChannels.size() || !navigationController())
        return;
    auto* program = new ORVProgramView_iPad(this);
    program->setRootDelegate(rootDelegate());
    program->setChannelId(m_gridChannels[index]->channelId());
    navigationController()->pushViewController(program, true);
}

void ChannSelectorViewController_iPad::didLongPressAtIndex(int index)
{
    if (index < 0 || index >= m_gridChannels.size() || !app() || !app()->dbContext())
        return;
    const std::shared_ptr<Channel>& channel = m_gridChannels[index];
    ChannelsRepository repository(app()->dbContext());
    if (channel->isFavorite())
        repository.deleteChannelFromFavorites(channel);
    else
        repository.insertChannelIntoToFavorites(channel);
    channel->setIsFavorite(!channel->isFavorite());
    app()->dbContext()->saveDataToDB();
    m_isFavoritesChange = true;
    if (m_grid)
        m_grid->viewport()->update();
}

void ChannSelectorViewController_iPad::presentInfo()
{
    auto* hint = new ORVAlertView(QStringLiteral("Подсказка"), QString(), StringTable::localized("OK"));
    hint->addImage(Images::named(QStringLiteral("favorite_chann_icon.png")),
                   QStringLiteral("избранные каналы"));
    hint->addImage(Images::named(QStringLiteral("auto_chann_icon.png")),
                   QStringLiteral("каналы с автоопределением"));
    hint->show();
}
