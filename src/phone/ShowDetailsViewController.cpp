#include "ShowDetailsViewController.h"

#include "widgets/SHKTwitter.h"

#include "WebContentViewController.h"
#include "model/ShowDetailsLogic.h"

#include "core/AppDelegate.h"
#include "model/Channel.h"
#include "model/DateAdditions.h"
#include "model/DateHelper.h"
#include "model/Show.h"
#include "model/ShowInfo.h"
#include "model/Utilities.h"
#include "platform/HttpFetcher.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/DatePickerOverlay.h"
#include "ui/Images.h"
#include "ui/NavigationController.h"
#include "ui/TableView.h"
#include "ui/ViewTag.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

using namespace ShowDetailsLogic;

namespace {

AppDelegate* app()
{
    return AppDelegate::shared();
}

QLabel* textLabel(const QString& text, const QString& style, QWidget* parent = nullptr)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(style);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

void showAlert(const char* title, const QString& message)
{
    (new AlertView(StringTable::localized(title), message, nullptr, {}, StringTable::localized("OK")))
        ->show();
}

} // namespace

ShowDetailsViewController::ShowDetailsViewController(QObject* parent)
    : ViewController(QStringLiteral("ShowDetailsViewController_iPhone"), parent)
{
    setHidesBottomBarWhenPushed(true);
}

ShowDetailsViewController::~ShowDetailsViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

int ShowDetailsViewController::supportedInterfaceOrientations() const
{
    if (app() && app()->isBlockPortraitOrientation())
        return Portrait;
    return AllOrientations & ~PortraitUpsideDown;
}

void ShowDetailsViewController::setShowUrl(const QString& showUrl)
{
    if (showUrl == m_showUrl)
        return;
    m_showUrl = showUrl;
    if (isViewLoaded())
        loadShowInfo();
}

bool ShowDetailsViewController::isListShown() const
{
    return m_table && !m_table->isHidden();
}

QWidget* ShowDetailsViewController::ratingPanel(int tag) const
{
    return m_table ? ViewTag::find(m_table->widget(), tag) : nullptr;
}

QStringList ShowDetailsViewController::sectionHeaders() const
{
    QStringList headers;
    for (int section = 0; m_table && section < m_table->numberOfSections(); ++section) {
        if (const auto* label = qobject_cast<const QLabel*>(m_table->headerOfSection(section)))
            headers << label->text();
    }
    return headers;
}

void ShowDetailsViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    view->setStyleSheet(QStringLiteral("background: white;"));
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    m_table = new TableView(view);
    m_table->setDataSource(this);
    layout->addWidget(m_table);
    m_overlay = new ActivityOverlay(view);
    setView(view);
}

void ShowDetailsViewController::viewDidLoad()
{
    navigationItem()->setRightBarButtonItem(
        BarButtonItem::withImage(QStringLiteral("actions"), [this] { showMenu(); }));
    NotificationCenter& center = NotificationCenter::defaultCenter();
    using OnMain = NotificationCenter::OnMain;
    center.observeOnMain(
        this, Notifications::ShowDetailsUpdate, [this](const Notification&) { loadShowInfo(); },
        OnMain::Queued);
    for (NotificationName name :
         {Notifications::Idle, Notifications::ChannelChanged, Notifications::InternetConnectionAvailable}) {
        center.observeOnMain(
            this, name, [this](const Notification& n) { disappearSheet(n.name); }, OnMain::Queued);
    }
    loadShowInfo();
}

void ShowDetailsViewController::viewDidDisappear(bool)
{
    closeDatePicker();
    disappearSheet({});
}

void ShowDetailsViewController::loadShowInfo()
{
    if (m_showUrl.isEmpty())
        return;
    m_overlay->displayActivity(StringTable::localized("Loading"));
    m_table->hide();
    ServiceCalls::sharedManager().getShowInfoWithUrl(
        m_showUrl, Reply::newest(this, &m_generation, &ShowDetailsViewController::onGetShowInfoDone,
                                 &ShowDetailsViewController::onGetShowInfoFailed));
}

void ShowDetailsViewController::onGetShowInfoDone(const QVariant& answer)
{
    m_overlay->hide();
    const std::optional<ShowInfo> info =
        ShowInfo::fromAnswer(answer, app() ? app()->roundedServerTimeDifference() : 0);
    if (!info) {
        onGetShowInfoFailed(Error::withDescription(QStringLiteral("ShowDetails"), 1,
                                                   StringTable::localized("The show could not be read.")));
        return;
    }
    m_channel = info->channel;
    m_show = info->show;
    fill();
    m_table->show();
}

void ShowDetailsViewController::onGetShowInfoFailed(const Error& error)
{
    m_overlay->hide();
    showAlert("Error", error.localizedDescription());
}

QLabel* ShowDetailsViewController::header(const QString& text)
{
    auto* label = textLabel(text, QStringLiteral("background: #e8eaf2; color: #2b2f45; font-size: 12px; "
                                                 "font-weight: bold; border-radius: 8px; padding: 4px 10px; "
                                                 "margin: 3px 8px 2px 8px;"));
    label->setObjectName(QStringLiteral("sectionHeader"));
    return label;
}

void ShowDetailsViewController::fill()
{
    m_table->reloadData();
}

int ShowDetailsViewController::numberOfSections() const
{
    return m_show ? int(rowsPerSection(*m_show).size()) : 0;
}

int ShowDetailsViewController::numberOfRowsInSection(int section) const
{
    return m_show ? rowsPerSection(*m_show).value(section) : 0;
}

int ShowDetailsViewController::factsWidth() const
{
    // The cell's width less its margins; before the list is laid out, 300 points upright
    // and 460 turned (a phone's).
    if (m_table && m_table->viewport()->width() > 100)
        return m_table->viewport()->width() - 20;
    const QWidget* window = m_table ? m_table->window() : nullptr;
    return window && window->width() > window->height() ? 460 : 300;
}

int ShowDetailsViewController::heightForRow(int section, int row) const
{
    switch (section) {
    case ChannelSection:
        return 64;
    case ShowSection:
        return 90;
    case InfoSection:
        if (row == 0 && hasRating(m_show->rating))
            return ratingRowHeight(m_show->rating);
        {
            QTextDocument facts;
            facts.setDefaultFont(QTextBrowser().font());
            facts.setHtml(m_show->getHTMLBodyInfo());
            facts.setTextWidth(factsWidth());
            return std::clamp(int(facts.size().height()) + 8, 44, 1000);
        }
    case DescriptionSection: {
        QFont font;
        font.setPixelSize(14);
        const QRect needed = QFontMetrics(font).boundingRect(QRect(0, 0, factsWidth(), 1000),
                                                             Qt::TextWordWrap, m_show->description);
        return std::max(44, needed.height() + 16);
    }
    default:
        return 44;
    }
}

QWidget* ShowDetailsViewController::viewForHeaderInSection(int section)
{
    return header(headerText(section, *m_show));
}

int ShowDetailsViewController::heightForHeaderInSection(int section) const
{
    return section == ChannelSection ? 0 : 30;
}

QWidget* ShowDetailsViewController::cellForRow(int section, int row)
{
    switch (section) {
    case ChannelSection:
        return channelCell();
    case ShowSection:
        return showCell();
    case InfoSection:
        return row == 0 && hasRating(m_show->rating) ? ratingCell(m_show->rating) : factsCell();
    default: {
        auto* description = textLabel(m_show->description,
                                      QStringLiteral("font-size: 14px; color: #1d2033; padding: 6px 10px;"));
        description->setObjectName(QStringLiteral("sd-description cell"));
        return description;
    }
    }
}

QWidget* ShowDetailsViewController::channelCell()
{
    auto* cell = new QWidget;
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(10, 8, 10, 8);
    m_logo = new QLabel;
    m_logo->setFixedSize(48, 48);
    m_logo->setScaledContents(true);
    m_logo->setPixmap(Images::named(QStringLiteral("no_photo.png")));
    layout->addWidget(m_logo);
    auto* names = new QVBoxLayout;
    names->addWidget(
        textLabel(m_channel->name(), QStringLiteral("font-size: 17px; font-weight: bold; color: #1d2033;")));
    names->addWidget(textLabel(m_channel->slogan(), QStringLiteral("font-size: 13px; color: #6b7089;")));
    layout->addLayout(names, 1);
    if (!m_channel->thumbnail().isNull())
        m_logo->setPixmap(QPixmap::fromImage(m_channel->thumbnail()));
    else if (!m_channel->pictureName().isEmpty())
        loadPicture(m_channel->pictureName(), 48, 48, true);
    return cell;
}

QWidget* ShowDetailsViewController::showCell()
{
    const Show& show = *m_show;
    auto* cell = new QWidget;
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(10, 6, 10, 6);
    m_picture = new QLabel;
    m_picture->setFixedSize(100, 75);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setPixmap(Images::named(QStringLiteral("no_photo_rect.png")));
    layout->addWidget(m_picture);
    auto* times = new QVBoxLayout;
    times->addWidget(textLabel(DateAdditions::getDayOfWeek(show.startTime),
                               QStringLiteral("font-size: 14px; color: #6b7089;")));
    times->addWidget(textLabel(DateAdditions::getDateAndIntervalUntilDate(show.startTime, show.endTime),
                               QStringLiteral("font-size: 15px; font-weight: bold; color: #1d2033;")));
    times->addWidget(textLabel(Printf::format(QStringLiteral("%@: %@"), {StringTable::localized("Dur"),
                                                                         DateAdditions::getDurationUntilDate(
                                                                             show.startTime, show.endTime)}),
                               QStringLiteral("font-size: 13px; color: #6b7089;")));
    layout->addLayout(times, 1);
    auto* icon = new QLabel;
    icon->setPixmap(Images::named(show.iconName()));
    layout->addWidget(icon, 0, Qt::AlignTop);
    if (!show.thumbnail.isNull())
        m_picture->setPixmap(QPixmap::fromImage(show.thumbnail)
                                 .scaled(100, 75, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else if (!show.pictureName.isEmpty())
        loadPicture(show.pictureName, 100, 75, false);
    return cell;
}

QWidget* ShowDetailsViewController::factsCell()
{
    m_brief = new QTextBrowser;
    m_brief->setOpenLinks(false);
    m_brief->setFrameShape(QFrame::NoFrame);
    m_brief->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_brief->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_brief->setHtml(m_show->getHTMLBodyInfo());
    connect(m_brief, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        if (!link.path().isEmpty())
            WebContentViewController::open(this, link);
    });
    auto* cell = new QWidget;
    auto* layout = new QVBoxLayout(cell);
    layout->setContentsMargins(10, 0, 10, 0);
    layout->addWidget(m_brief);
    return cell;
}

QWidget* ShowDetailsViewController::ratingCell(const QVariantMap& rating)
{
    auto* holder = new QWidget;
    auto* panels = new QVBoxLayout(holder);
    panels->setContentsMargins(10, 4, 10, 4);
    panels->setSpacing(5);
    const auto panel = [&](int tag, QWidget* caption, double value) {
        auto* row = new QWidget;
        ViewTag::set(row, tag);
        row->setFixedHeight(20);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(caption, 1);
        for (const QString& star : starImages(value)) {
            auto* image = new QLabel;
            image->setObjectName(star);
            image->setFixedSize(12, 12);
            image->setScaledContents(true);
            image->setPixmap(Images::named(star));
            layout->addWidget(image);
        }
        panels->addWidget(row);
    };
    const QString style = QStringLiteral("font-size: 13px;");
    if (rating.contains(QStringLiteral("kp_rating"))) {
        const QString index = JsonValue::text(rating.value(QStringLiteral("kp_index")));
        auto* link =
            new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:#2a62c9;\">%2</a>")
                           .arg(movieSitePage(index).toString().toHtmlEscaped(),
                                Printf::format(StringTable::localized("Kinopoisk(%@)"),
                                               {JsonValue::text(rating.value(QStringLiteral("kp_votes")))})
                                    .toHtmlEscaped()));
        link->setStyleSheet(style);
        connect(link, &QLabel::linkActivated, this,
                [this](const QString& url) { WebContentViewController::open(this, QUrl(url)); });
        panel(1, link, JsonValue::number(rating.value(QStringLiteral("kp_rating"))));
    }
    if (rating.contains(QStringLiteral("imdb_rating"))) {
        auto* label = textLabel(Printf::format(StringTable::localized("IMDB(%@)"),
                                               {JsonValue::text(rating.value(QStringLiteral("imdb_votes")))}),
                                style);
        panel(2, label, JsonValue::number(rating.value(QStringLiteral("imdb_rating"))));
    }
    return holder;
}

void ShowDetailsViewController::loadPicture(const QString& path, int width, int height, bool logo)
{
    const QUrl url =
        logo ? ContentAddresses::channelLogo(width, height, path) : ContentAddresses::picture(path);
    QNetworkRequest request(url);
    request.setTransferTimeout(20000);
    const std::shared_ptr<Channel> channel = m_channel;
    const std::shared_ptr<Show> show = m_show;
    HttpFetcher::httpFetcherWithRequest(request)->beginFetch(
        this,
        [this, logo, channel, show, width, height](HttpFetcher*, const QByteArray& body) {
            QImage image;
            if (!image.loadFromData(body))
                return; // garbage stays the placeholder
            if (logo) {
                channel->setThumbnail(image);
                if (m_logo && channel == m_channel)
                    m_logo->setPixmap(QPixmap::fromImage(image));
            } else {
                show->thumbnail = image;
                if (m_picture && show == m_show)
                    m_picture->setPixmap(QPixmap::fromImage(image).scaled(width, height, Qt::KeepAspectRatio,
                                                                          Qt::SmoothTransformation));
            }
        },
        [](HttpFetcher*, int, const QByteArray&) {}, [](HttpFetcher*, const Error&) {});
}

void ShowDetailsViewController::showMenu()
{
    closeDatePicker();
    if (!m_show)
        return;
    if (offersCalendar(m_show->startTime, QDateTime::currentDateTime())) {
        Utilities::eventStoreRequestAccessWithDelegate(
            this, [this] { showMenuWithCalendar(true); },
            [this](const Error&) { showMenuWithCalendar(false); });
    } else {
        showMenuWithCalendar(false);
    }
}

void ShowDetailsViewController::showMenuWithCalendar(bool calendar)
{
    disappearSheet({});
    const bool hasEvent = calendar && m_show->checkDuplicateEventsWithChannelName(m_channel->name());
    QStringList buttons = menuButtons(calendar, hasEvent);
    buttons.removeLast(); // "Cancel" is the sheet's own cancel button
    QStringList titles;
    for (const QString& key : buttons)
        titles << StringTable::localized(key);
    m_sheetHasCalendar = calendar;
    m_sheet = new ActionSheet(
        QString(), this, [this](ActionSheet*, int index) { actionSheetClickedButtonAtIndex(index); },
        StringTable::localized("Cancel"), titles);
    m_sheet->setTag(1);
    m_sheet->showInView(view());
}

void ShowDetailsViewController::actionSheetClickedButtonAtIndex(int index)
{
    m_sheet = nullptr;
    if (index == 0) {
        SHKTwitter::shareItem(
            SHKItem::itemWithText(shareText(m_channel->name(), *m_show, QDateTime::currentDateTime())));
        return;
    }
    if (index != 1 || !m_sheetHasCalendar)
        return; // cancel
    const bool hasEvent = m_show->checkDuplicateEventsWithChannelName(m_channel->name());
    const bool portrait = !view() || view()->height() >= view()->width();
    switch (calendarAction(hasEvent, m_show->startTime, QDateTime::currentDateTime(), portrait)) {
    case CalendarAction::Delete:
        deleteShowFromCalendar();
        break;
    case CalendarAction::PickAlarm:
        callDatePicker();
        break;
    case CalendarAction::AddNow:
        addShowToCalendarWithAlarmDate(std::nullopt);
        break;
    }
}

void ShowDetailsViewController::callDatePicker()
{
    if (m_picker)
        return;
    if (app())
        app()->setIsBlockPortraitOrientation(true);
    const QDateTime now = QDateTime::currentDateTime();
    m_picker = new DatePickerOverlay(
        view(), alarmEarliest(now), alarmLatest(m_show->startTime), 5,
        [](const QDateTime& date) {
            return Printf::format(QStringLiteral("%@ %@"), {StringTable::localized("Notify"),
                                                            DateHelper::displayLocale().toString(
                                                                date, QStringLiteral("dd MMM HH:mm"))});
        },
        [this](const std::optional<QDateTime>& chosen) {
            if (app())
                app()->setIsBlockPortraitOrientation(false);
            if (chosen)
                addShowToCalendarWithAlarmDate(std::max(*chosen, QDateTime::currentDateTime().addSecs(300)));
        });
}

void ShowDetailsViewController::closeDatePicker()
{
    if (m_picker)
        m_picker->cancel();
}

void ShowDetailsViewController::addShowToCalendarWithAlarmDate(const std::optional<QDateTime>& alarm)
{
    if (m_show->addToCalendarWithChanName(m_channel->name(), alarm))
        showAlert("Success!", StringTable::localized("The show has been successfully added to Calendar"));
    else
        showAlert("Fail!", StringTable::localized("The show already has been added to Calendar"));
}

void ShowDetailsViewController::deleteShowFromCalendar()
{
    if (m_show->deleteFromCalendarWithChanName(m_channel->name()))
        showAlert("Success delete!", StringTable::localized("The show has been deleted from Calendar"));
    else
        qInfo("the show's event could not be deleted");
}

void ShowDetailsViewController::disappearSheet(const QString& notificationName)
{
    if (m_sheet) {
        ActionSheet* sheet = m_sheet;
        m_sheet = nullptr;
        sheet->dismissWithClickedButtonIndex(sheet->cancelButtonIndex(), false);
    }
    if (notificationName == Notifications::InternetConnectionAvailable && app() &&
        app()->isConnectionAvailable())
        loadShowInfo();
}
