#include "CSelectorViewController.h"

#include "ExTableViewCellHeader.h"

#include "core/AppDelegate.h"
#include "model/Channel.h"
#include "model/ChannelsRepository.h"
#include "model/ManagedRecords.h"
#include "model/ORVManagedObjectContext.h"
#include "model/Show.h"
#include "platform/Device.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/Images.h"
#include "ui/ScreenView.h"
#include "ui/SegmentedControl.h"
#include "widgets/AsyncImageView.h"

#include <QMenu>
#include <QVBoxLayout>

namespace {

AppDelegate* app()
{
    return AppDelegate::shared();
}

} // namespace

CSelectorViewController::CSelectorViewController(QObject* parent)
    : ViewController(QStringLiteral("CSelectorViewController_iPhone"), parent)
{
    setTitle(StringTable::localized("Channels"));
}

CSelectorViewController::~CSelectorViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

ChannelsRepository CSelectorViewController::repository() const
{
    return ChannelsRepository(app() ? app()->dbContext() : nullptr);
}

ChannelList CSelectorViewController::storedFavorites() const
{
    ChannelList channels;
    if (!app() || !app()->dbContext())
        return channels;
    for (const std::shared_ptr<Channels>& record : repository().getAllFavorites()) {
        if (record && record->channel_object())
            channels.append(record->channel_object());
    }
    return channels;
}

void CSelectorViewController::loadView()
{
    m_toolBar = new QWidget;
    m_toolBar->setAutoFillBackground(true);
    QPalette palette = m_toolBar->palette();
    palette.setColor(QPalette::Window,
                     Device::isTablet() ? QColor(0x4a, 0x4a, 0x4a) : QColor(0xf4, 0xf5, 0xfa));
    m_toolBar->setPalette(palette);
    auto* bar = new QVBoxLayout(m_toolBar);
    bar->setContentsMargins(10, 7, 10, 7);
    m_segment = new SegmentedControl(
        {StringTable::localized("Favorites"), StringTable::localized("TV"), StringTable::localized("Radio")},
        m_toolBar);
    m_segment->setSelectedSegmentIndex(CSelectorSections::Favorites);
    bar->addWidget(m_segment);
    m_table = new ListTable(this, this);
    QWidget* view = ScreenView::column(nibName(), {m_toolBar, m_table});
    m_overlay = new ActivityOverlay(view);
    setView(view);
}

void CSelectorViewController::viewDidLoad()
{
    connect(m_segment, &SegmentedControl::valueChanged, this, &CSelectorViewController::segmentChanged);
    if (!Device::isTablet()) {
        navigationItem()->setLeftBarButtonItem(
            BarButtonItem::withTitle(StringTable::localized("Cancel"), [this] { cancel(); }));
    }
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.observeOnMain(this, Notifications::InternetConnectionAvailable,
                         [this](const Notification&) { getChannelInfo(); });
    center.observeOnMain(this, Notifications::UpdateCityChanging,
                         [this](const Notification&) { setUpdateOnAppear(); });
    prepareDisplayedResponse();
    if (!m_updateOnAppearCheck)
        getChannelInfo();
}

void CSelectorViewController::viewDidAppear(bool)
{
    if (!m_updateOnAppearCheck)
        return;
    m_updateOnAppearCheck = false;
    getChannelInfo();
}

int CSelectorViewController::supportedInterfaceOrientations() const
{
    return Portrait | LandscapeLeft | LandscapeRight;
}

bool CSelectorViewController::isLoading() const
{
    return m_overlay && m_overlay->isDisplaying();
}

void CSelectorViewController::getChannelInfo()
{
    if (!app() || !app()->isConnectionAvailable())
        return;
    view();
    m_overlay->displayActivity(StringTable::localized("Loading"));
    ServiceCalls::sharedManager().getChannelInfoWithChannelId(
        AppDelegate::NoChannel, Reply(this, &CSelectorViewController::onGetChannelInfoDone,
                                      &CSelectorViewController::onGetChannelInfoFailed));
}

void CSelectorViewController::onGetChannelInfoDone(const QVariant& answer)
{
    m_overlay->hide();
    if (!JsonValue::isMap(answer))
        return;
    m_sections.setAdjustedResponse(ORVChannelsArray::groupsFromChannelList(answer.toMap()));
    if (storedFavorites().isEmpty())
        m_segment->setSelectedSegmentIndex(CSelectorSections::TV);
    prepareDisplayedResponse();
}

void CSelectorViewController::onGetChannelInfoFailed(const Error& error)
{
    showError(error);
}

void CSelectorViewController::showError(const Error& error)
{
    m_overlay->hide();
    qInfo("channel selector: %s", qPrintable(error.localizedDescription()));
    AlertView::showError(error);
}

void CSelectorViewController::segmentChanged(int)
{
    prepareDisplayedResponse();
}

void CSelectorViewController::prepareDisplayedResponse()
{
    view();
    const int segment = std::max(0, m_segment->selectedSegmentIndex());
    m_sections.prepareDisplayedResponse(segment, segment == CSelectorSections::Favorites ? storedFavorites()
                                                                                         : ChannelList{});
    m_logosRequested.clear();
    m_table->reloadData();
}

int CSelectorViewController::numberOfSections() const
{
    return int(m_sections.displayed().size());
}

int CSelectorViewController::numberOfRowsInSection(int section) const
{
    return m_sections.numberOfRowsInSection(section);
}

int CSelectorViewController::heightForRow(const IndexPath&) const
{
    return RowHeight;
}

int CSelectorViewController::heightForHeaderInSection(int) const
{
    return 2;
}

QString CSelectorViewController::rowText(const IndexPath& path) const
{
    if (path.section < 0 || path.section >= m_sections.displayed().size())
        return {};
    const CSelectorSections::Section& section = m_sections.displayed()[path.section];
    if (path.row == 0) {
        if (section.category)
            return section.category->name();
        return StringTable::localized(section.favoritesKey == QLatin1String("TV") ? "TV" : "Radio");
    }
    const std::shared_ptr<Channel> channel = m_sections.channelAt(path.section, path.row);
    return channel ? channel->name() : QString();
}

void CSelectorViewController::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                       RowState state)
{
    if (path.section < 0 || path.section >= m_sections.displayed().size())
        return;
    const CSelectorSections::Section& section = m_sections.displayed()[path.section];
    ExTableViewCellHeader cell;
    cell.labelText = rowText(path);
    if (path.row == 0) {
        cell.isHeader = true;
        cell.isExpanded = section.isExpanded;
        QString icon;
        if (section.category)
            icon = section.category->iconName();
        else
            icon = section.favoritesKey == QLatin1String("TV") ? QStringLiteral("type_003")
                                                               : QStringLiteral("type_004");
        if (!icon.isEmpty() && Images::exists(icon))
            cell.imageViewPhoto = Images::named(icon).toImage();
        cell.paint(painter, rect, state);
        return;
    }
    const std::shared_ptr<Channel> channel = m_sections.channelAt(path.section, path.row);
    if (!channel)
        return;
    cell.imageViewPhoto = channel->thumbnail();
    if (cell.imageViewPhoto.isNull()) {
        cell.imageViewPhoto = Images::named(QStringLiteral("no_photo.png")).toImage();
        if (m_sections.segment() != CSelectorSections::Favorites && !channel->pictureName().isEmpty())
            requestLogo(channel, path);
    }
    if (channel->isAutoDetection())
        cell.accessoryImageName = QStringLiteral("avto");
    cell.paint(painter, rect, state);
}

void CSelectorViewController::requestLogo(const std::shared_ptr<Channel>& channel, const IndexPath& path)
{
    const QUrl url = ContentAddresses::channelLogo(LogoSize, LogoSize, channel->pictureName());
    if (m_logosRequested.contains(url.toString()))
        return;
    m_logosRequested.insert(url.toString());
    AsyncImageView::loadImage(
        url,
        {{QStringLiteral("section"), path.section},
         {QStringLiteral("row"), path.row},
         {QStringLiteral("index"), m_sections.segment()},
         {QStringLiteral("channel"), channel->channelId()}},
        this, [this](const QImage& image, const QVariantMap& params) { handleImage(image, params); });
}

void CSelectorViewController::handleImage(const QImage& image, const QVariantMap& params)
{
    if (image.isNull() || params.value(QStringLiteral("index")).toInt() != m_sections.segment())
        return;
    const IndexPath path{params.value(QStringLiteral("section")).toInt(),
                         params.value(QStringLiteral("row")).toInt()};
    if (path.section >= m_sections.displayed().size() || !m_sections.displayed()[path.section].isExpanded)
        return;
    const std::shared_ptr<Channel> channel = m_sections.channelAt(path.section, path.row);
    if (!channel || channel->channelId() != params.value(QStringLiteral("channel")).toString())
        return; // the row holds another channel now
    channel->setThumbnail(image);
    m_table->reloadRow(path);
}

void CSelectorViewController::didSelectRowAtIndexPath(const IndexPath& path)
{
    m_table->deselectRow(path);
    if (path.row == 0) {
        const int channels = int(m_sections.displayed().value(path.section).channels.size());
        const bool expanded = m_sections.toggleSection(path.section);
        if (expanded)
            m_table->insertRows(path.section, 1, channels);
        else
            m_table->deleteRows(path.section, 1, channels);
        return;
    }
    const std::shared_ptr<Channel> channel = m_sections.channelAt(path.section, path.row);
    if (!channel)
        return;
    m_selectedChannelId = channel->channelId().toInt();
    m_overlay->displayActivity(StringTable::localized("Loading"));
    ServiceCalls::sharedManager().getChannelInfoDinamicWithChannelId(
        m_selectedChannelId, Reply(this, &CSelectorViewController::onGetDynamicChannelInfoDone,
                                   &CSelectorViewController::onGetDynamicChannelInfoFailed));
}

std::shared_ptr<Channel> CSelectorViewController::channelFromDynamicInfo(const QVariant& answer,
                                                                         int channelId)
{
    if (!JsonValue::isMap(answer))
        return nullptr;
    const QVariantMap dictionary = answer.toMap();
    std::shared_ptr<Channel> channel = Channel::initWithDictionary2(dictionary);
    channel->setChannelId(QString::number(channelId));
    channel->setIsSelectedManually(true);
    auto show = std::make_shared<Show>();
    show->showId = JsonValue::text(dictionary.value(QStringLiteral("ev")));
    show->name = JsonValue::text(dictionary.value(QStringLiteral("prg")));
    channel->setCurrentShow(show);
    return channel;
}

void CSelectorViewController::onGetDynamicChannelInfoDone(const QVariant& answer)
{
    m_overlay->hide();
    const std::shared_ptr<Channel> channel = channelFromDynamicInfo(answer, m_selectedChannelId);
    if (!channel)
        return;
    if (app())
        app()->setSelectedChannel(channel);
    if (auto* delegate = dynamic_cast<CSelectorViewControllerDelegate*>(m_delegate.data()))
        delegate->cSelectorViewControllerDidFinish(this);
}

void CSelectorViewController::onGetDynamicChannelInfoFailed(const Error& error)
{
    showError(error);
}

void CSelectorViewController::didLongPressRowAtIndexPath(const IndexPath& path, const QPoint& globalPosition)
{
    if (path.row == 0 || !m_sections.channelAt(path.section, path.row))
        return;
    m_table->selectRow(path);
    const bool favorites = m_sections.segment() == CSelectorSections::Favorites;
    auto* menu = new QMenu(m_table);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (favorites)
        menu->addAction(StringTable::localized("Remove from favorites"), this,
                        [this] { removeFromFavorites(); });
    else
        menu->addAction(StringTable::localized("Add to favorites"), this, [this] { addToFavorites(); });
    menu->popup(globalPosition);
}

void CSelectorViewController::addToFavorites()
{
    const IndexPath path = m_table->indexPathForSelectedRow();
    const std::shared_ptr<Channel> channel = m_sections.channelAt(path.section, path.row);
    if (!channel || m_sections.segment() == CSelectorSections::Favorites || !app() || !app()->dbContext())
        return;
    repository().insertChannelIntoToFavorites(channel);
    app()->dbContext()->saveDataToDB();
    m_table->deselectRow(path);
}

void CSelectorViewController::removeFromFavorites()
{
    const IndexPath path = m_table->indexPathForSelectedRow();
    const std::shared_ptr<Channel> channel = m_sections.channelAt(path.section, path.row);
    if (!channel || m_sections.segment() != CSelectorSections::Favorites || !app() || !app()->dbContext())
        return;
    repository().deleteChannelFromFavorites(channel);
    app()->dbContext()->saveDataToDB();
    if (m_sections.removeChannelRow(path.section, path.row))
        prepareDisplayedResponse();
    else
        m_table->deleteRows(path.section, path.row, 1);
}

void CSelectorViewController::cancel()
{
    if (auto* delegate = dynamic_cast<CSelectorViewControllerDelegate*>(m_delegate.data()))
        delegate->cSelectorViewControllerDidFinish(nullptr);
}
