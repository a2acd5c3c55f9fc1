#include "ProgramDetailsController.h"

#include "ModalWebController_iPad.h"
#include "MovieRatingView.h"
#include "Photos.h"
#include "PopoverWebController_iPad.h"
#include "TVScreensThumbsView.h"
#include "social/ORVTwitterService.h"

#include "core/AppDelegate.h"
#include "model/DateAdditions.h"
#include "model/DateHelper.h"
#include "model/Utilities.h"
#include "platform/JsonValue.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/DatePickerOverlay.h"
#include "ui/Images.h"
#include "widgets/AsyncImageView.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QScrollArea>
#include <QTextBrowser>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcDetails, "orvane.tablet.details")

namespace {

AppDelegate* app()
{
    return AppDelegate::shared();
}

bool connected()
{
    return app() && app()->isConnectionAvailable();
}

QLabel* textLabel(const QString& text, const QString& style)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setStyleSheet(style);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QWidget* card(QLayout* content)
{
    auto* box = new QWidget;
    box->setObjectName(QStringLiteral("detailsSection"));
    box->setStyleSheet(QStringLiteral("#detailsSection { background: white; border-radius: 8px; }"));
    box->setLayout(content);
    return box;
}

// A picture from the content server into a label, placeholder first.
void loadInto(QLabel* label, const QUrl& address, const QString& placeholder, const QSize& size)
{
    label->setFixedSize(size);
    label->setPixmap(Images::named(placeholder).scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    if (address.isEmpty())
        return;
    AsyncImageView::loadImage(address, {}, label, [label, size](const QImage& image, const QVariantMap&) {
        label->setPixmap(
            QPixmap::fromImage(image).scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    });
}

} // namespace

ProgramDetailsController::ProgramDetailsController(QObject* parent)
    : ORVViewController_iPad(QStringLiteral("ShowDetailsController_iPad"), parent)
{}

void ProgramDetailsController::loadView()
{
    auto* scroll = new QScrollArea;
    scroll->setObjectName(nibName());
    scroll->setMinimumWidth(MinimumWidth);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setStyleSheet(QStringLiteral("QScrollArea { background: #eef1f7; }"));
    m_content = new QWidget;
    m_content->setAutoFillBackground(true);
    QPalette palette = m_content->palette();
    palette.setColor(QPalette::Window, QColor(0xee, 0xf1, 0xf7));
    m_content->setPalette(palette);
    m_sections = new QVBoxLayout(m_content);
    m_sections->setContentsMargins(20, 16, 20, 16);
    m_sections->setSpacing(12);
    m_sections->addStretch(1);
    scroll->setWidget(m_content);
    m_overlay = new ActivityOverlay(scroll);
    setView(scroll);
}

bool ProgramDetailsController::isLoading() const
{
    return m_overlay && m_overlay->isDisplaying();
}

void ProgramDetailsController::openShowWithId(const QString& showId, const QString& channId,
                                              const QVariant& startTime)
{
    view(); // the screen exists before its answer can arrive
    m_currentShowId = showId;
    const QString day =
        startTime.typeId() == QMetaType::QDateTime
            ? Utilities::stringFromDate(Utilities::optimizeDateForORVProgram(startTime.toDateTime()))
            : startTime.toString();
    m_link = Printf::format(QStringLiteral("orvane://progdetails/%@/%@/%@"), {day, channId, showId});
    if (m_overlay)
        m_overlay->displayActivity(StringTable::localized("Loading"));
    ServiceCalls::sharedManager().getShowInfoWithUrl(
        m_link, Reply::newest(this, &m_generation, &ProgramDetailsController::onGetShowInfoDone,
                              &ProgramDetailsController::onGetShowInfoFailed));
}

void ProgramDetailsController::showAlert(const QString& title, const QString& message)
{
    (new AlertView(title, message, nullptr, {}, StringTable::localized("OK")))->show();
}

void ProgramDetailsController::onGetShowInfoFailed(const Error& error)
{
    if (m_overlay)
        m_overlay->hide();
    showAlert(StringTable::localized("Error"), error.localizedDescription());
}

void ProgramDetailsController::onGetShowInfoDone(const QVariant& answer)
{
    if (m_overlay)
        m_overlay->hide();
    m_info = ShowInfo::fromAnswer(answer, app() ? app()->roundedServerTimeDifference() : 0);
    if (!m_info) {
        showAlert(StringTable::localized("Error"), StringTable::localized("No data"));
        return;
    }
    const Show& show = *m_info->show;
    const QDateTime now = QDateTime::currentDateTime();
    m_isTVsign = m_info->channel->isTV();
    // The sections: channel, header, picture; then the gallery or live screens, the ratings and
    // facts, the description, each when there is something to show.
    m_tableSections = 3;
    m_isHaveGallery = !m_info->hasLiveScreens && !m_info->gallery.isEmpty();
    if (m_isHaveGallery)
        ++m_tableSections;
    m_isActualShow = show.startTime <= now && show.endTime > now;
    if (m_isActualShow)
        ++m_tableSections;
    m_cellsExist.clear();
    const bool rated = show.rating.contains(QStringLiteral("kp_rating")) ||
                       show.rating.contains(QStringLiteral("imdb_rating"));
    if (rated) {
        ++m_tableSections;
        m_cellsExist.insert(QStringLiteral("Info-Rating"), true);
    }
    if (!show.briefInfo.isEmpty()) {
        m_cellsExist.insert(QStringLiteral("Info-Brief"), true);
        if (m_tableSections == 3)
            m_tableSections = 4;
    }
    if (!show.description.isEmpty()) {
        ++m_tableSections;
        m_cellsExist.insert(QStringLiteral("Description"), true);
    }
    build();
    checkCalendarForCurrentShow();
}

void ProgramDetailsController::build()
{
    if (!m_sections || !m_info)
        return;
    while (m_sections->count() > 1) {
        QLayoutItem* item = m_sections->takeAt(0);
        delete item->widget();
        delete item;
    }
    const Channel& channel = *m_info->channel;
    const Show& show = *m_info->show;
    int at = 0;
    const auto add = [this, &at](QWidget* section) { m_sections->insertWidget(at++, section); };

    // Channel.
    auto* channelRow = new QHBoxLayout;
    auto* logo = new QLabel;
    loadInto(logo,
             channel.pictureName().isEmpty() ? QUrl()
                                             : ContentAddresses::channelLogo(60, 60, channel.pictureName()),
             QStringLiteral("no_photo.png"), QSize(60, 60));
    auto* names = new QVBoxLayout;
    names->addWidget(
        textLabel(channel.name(), QStringLiteral("font-size: 20px; font-weight: bold; color: #22242e;")));
    names->addWidget(textLabel(channel.slogan(), QStringLiteral("font-size: 13px; color: #5a5e6c;")));
    channelRow->addWidget(logo);
    channelRow->addLayout(names, 1);
    add(card(channelRow));

    // Header: name, day, date, times, duration, the category, the reminder and the tweet.
    auto* header = new QGridLayout;
    m_header = textLabel(headerText(), QStringLiteral("font-size: 24px; font-weight: bold; color: #22242e;"));
    m_header->setObjectName(QStringLiteral("headerLabel"));
    header->addWidget(m_header, 0, 0, 1, 4);
    header->addWidget(
        textLabel(DateAdditions::getDayOfWeek(show.startTime), QStringLiteral("color: #5a5e6c;")), 1, 0);
    header->addWidget(textLabel(DateAdditions::getYearDay(show.startTime), QStringLiteral("color: #5a5e6c;")),
                      1, 1);
    header->addWidget(textLabel(DateAdditions::getTimeIntervalToDate(show.startTime, show.endTime),
                                QStringLiteral("color: #2f5fb3; font-weight: bold;")),
                      2, 0);
    header->addWidget(textLabel(Printf::format(QStringLiteral("%@: %@"), {StringTable::localized("Dur"),
                                                                          DateAdditions::getDurationUntilDate(
                                                                              show.startTime, show.endTime)}),
                                QStringLiteral("color: #5a5e6c;")),
                      2, 1);
    auto* category = new QLabel;
    category->setPixmap(
        Images::named(show.iconName()).scaled(24, 24, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    header->addWidget(category, 1, 2);
    m_calendarButton = new QPushButton(StringTable::localized("Add to Calendar"));
    m_calendarButton->setObjectName(QStringLiteral("calendarButton"));
    m_calendarCheck = new QLabel(QStringLiteral("✓"));
    m_calendarCheck->setStyleSheet(QStringLiteral("color: #2e9e4f; font-size: 18px; font-weight: bold;"));
    m_calendarCheck->hide();
    auto* tweet = new QPushButton(QIcon(Images::named(QStringLiteral("tw_icon.png"))), QString());
    tweet->setObjectName(QStringLiteral("twButton"));
    connect(m_calendarButton, &QPushButton::clicked, this, &ProgramDetailsController::calendarTouch);
    connect(tweet, &QPushButton::clicked, this, &ProgramDetailsController::twTouch);
    auto* actions = new QHBoxLayout;
    actions->addWidget(m_calendarButton);
    actions->addWidget(m_calendarCheck);
    actions->addWidget(tweet);
    header->addLayout(actions, 2, 2, 1, 2);
    add(card(header));

    // The show's picture.
    auto* pictureRow = new QHBoxLayout;
    auto* picture = new QLabel;
    loadInto(picture, show.pictureName.isEmpty() ? QUrl() : ContentAddresses::picture(show.pictureName),
             QStringLiteral("no_photo_rect.png"), QSize(400, 300));
    pictureRow->addWidget(picture, 0, Qt::AlignHCenter);
    add(card(pictureRow));

    // Ratings and facts.
    const bool rated = cellExists(QStringLiteral("Info-Rating"));
    if (rated || cellExists(QStringLiteral("Info-Brief"))) {
        auto* info = new QVBoxLayout;
        m_rating = new MovieRatingView;
        m_rating->setRating(show.rating);
        connect(m_rating, &MovieRatingView::movieSiteTapped, this,
                [this](const QUrl& page) { openInfoLink(page); });
        info->addWidget(m_rating);
        auto* facts = new QTextBrowser;
        facts->setObjectName(QStringLiteral("infoWebView"));
        facts->setOpenLinks(false);
        facts->setFrameShape(QFrame::NoFrame);
        facts->setHtml(show.getHTMLBodyInfo(true, true));
        facts->setMinimumHeight(120);
        connect(facts, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) { openInfoLink(link); });
        info->addWidget(facts);
        add(card(info));
    }

    // Live screens while on air, or the gallery.
    if (m_isActualShow || m_isHaveGallery) {
        m_screens = new TVScreensThumbsView;
        Photos* photos = nullptr;
        if (m_isActualShow) {
            photos = Photos::initAsScreens(true);
            for (int d = 0; d < LivePictures; ++d)
                photos->pushPhotoUrl(ContentAddresses::showPicture(m_info->channelId, d).toString());
        } else {
            photos = Photos::initAsScreens(false);
            for (const QString& address : m_info->gallery)
                photos->pushPhotoUrl(ContentAddresses::picture(address).toString());
        }
        m_screens->setImageSource(photos, {{QStringLiteral("channid"), m_info->channelId},
                                           {QStringLiteral("channtitle"), channel.name()}});
        auto* strip = new QVBoxLayout;
        strip->addWidget(m_screens);
        add(card(strip));
    }

    if (cellExists(QStringLiteral("Description"))) {
        auto* description = new QVBoxLayout;
        description->addWidget(
            textLabel(show.description, QStringLiteral("font-size: 15px; color: #33364a;")));
        add(card(description));
    }
}

QString ProgramDetailsController::headerText() const
{
    if (!m_info)
        return {};
    const Show& show = *m_info->show;
    return show.subTitle.isEmpty() ? show.name
                                   : Printf::format(QStringLiteral("%@ (%@)"), {show.name, show.subTitle});
}

bool ProgramDetailsController::isCalendarChecked() const
{
    return m_calendarCheck && !m_calendarCheck->isHidden();
}

void ProgramDetailsController::checkCalendarForCurrentShow()
{
    if (!m_info || !m_calendarButton)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const Show& show = *m_info->show;
    if (show.startTime <= now) {
        m_calendarButton->hide();
        m_calendarCheck->hide();
        return;
    }
    if (now.secsTo(show.startTime) <= 300)
        return;
    m_calendarButton->show();
    Utilities::eventStoreRequestAccessWithDelegate(
        this,
        [this] {
            if (m_info && m_calendarCheck)
                m_calendarCheck->setVisible(
                    m_info->show->checkDuplicateEventsWithChannelName(m_info->channel->name()));
        },
        [](const Error&) {});
}

void ProgramDetailsController::calendarTouch()
{
    Utilities::eventStoreRequestAccessWithDelegate(
        this, [this] { calendarChangeAccessGranted(); },
        [this](const Error&) {
            showAlert(QStringLiteral("Нет доступа"),
                      QStringLiteral("Разрешить доступ к каледарю можно в настройках устройства"));
        });
}

void ProgramDetailsController::calendarChangeAccessGranted(const QDateTime& now)
{
    if (!m_info)
        return;
    const Show& show = *m_info->show;
    const QString channelName = m_info->channel->name();
    if (show.checkDuplicateEventsWithChannelName(channelName)) {
        if (show.deleteFromCalendarWithChanName(channelName)) {
            showAlert(StringTable::localized("Success delete!"),
                      StringTable::localized("The show has been deleted from Calendar"));
            if (m_calendarCheck)
                m_calendarCheck->hide();
        } else {
            qCWarning(lcDetails) << "the reminder could not be removed";
        }
        return;
    }
    if (show.startTime <= now) {
        showAlert(QStringLiteral("Уже началось"), QString());
        return;
    }
    if (now.secsTo(show.startTime) < 600) {
        addToCalendar(std::nullopt);
        return;
    }
    if (m_picker || !view())
        return;
    const QDateTime earliest = now.addSecs(320);
    m_picker = new DatePickerOverlay(
        view(), earliest, show.startTime.addSecs(-300), 5,
        [](const QDateTime& date) {
            return Printf::format(QStringLiteral("%@ %@"), {StringTable::localized("Notify"),
                                                            DateHelper::displayLocale().toString(
                                                                date, QStringLiteral("dd MMM HH:mm"))});
        },
        [this](const std::optional<QDateTime>& chosen) {
            if (chosen)
                addToCalendar(std::max(*chosen, QDateTime::currentDateTime().addSecs(320)));
        });
    m_picker->setDate(earliest);
}

void ProgramDetailsController::addToCalendar(const std::optional<QDateTime>& alarm)
{
    if (!m_info)
        return;
    const bool added = m_info->show->addToCalendarWithChanName(m_info->channel->name(), alarm);
    if (added)
        showAlert(StringTable::localized("Success!"),
                  StringTable::localized("The show has been successfully added to Calendar"));
    else
        showAlert(StringTable::localized("Fail!"),
                  StringTable::localized("The show already has been added to Calendar"));
    if (m_calendarCheck)
        m_calendarCheck->setVisible(
            added || m_info->show->checkDuplicateEventsWithChannelName(m_info->channel->name()));
}

QString ProgramDetailsController::tweetText(const QDateTime& now) const
{
    if (!m_info)
        return {};
    const Show& show = *m_info->show;
    const QString channel = m_info->channel->name();
    if (show.startTime > now) {
        return Printf::format(StringTable::localized("Do not miss \"%@\" - \"%@\" at %@"),
                              {show.name, channel, DateAdditions::getTime(show.startTime)});
    }
    if (show.endTime > now) {
        return Printf::format(StringTable::localized(m_isTVsign ? "On \"%@\" tv channel \"%@\" now"
                                                                : "On \"%@\" radio \"%@\" now"),
                              {channel, show.name});
    }
    return Printf::format(
        StringTable::localized(m_isTVsign ? "%@ on tv \"%@\" show \"%@\"" : "%@ on radio \"%@\" show \"%@\""),
        {DateHelper::displayLocale().toString(show.startTime, QStringLiteral("MMM dd, HH:mm")), channel,
         show.name});
}

void ProgramDetailsController::twTouch()
{
    const QString text = tweetText();
    if (!text.isEmpty())
        ORVTwitterService::sharedManager().showTweetComposeWithText(text, {}, this);
}

bool ProgramDetailsController::openInfoLink(const QUrl& link)
{
    if (link.toString() == u"about:blank" || !connected() || !m_content)
        return false;
    auto* page = new PopoverWebController_iPad(QNetworkRequest(link));
    auto* popover = new Popover(page);
    connect(page->closeBarButton(), &QToolButton::clicked, popover,
            [popover] { popover->dismissPopoverAnimated(true); });
    connect(popover, &Popover::dismissed, popover, &QObject::deleteLater);
    m_webPopover = popover;
    popover->presentPopoverFromRect(
        QRect(QCursor::pos(), QSize(1, 1)).translated(-view()->mapToGlobal(QPoint(0, 0))), view(),
        Popover::ArrowAny, true);
    return true;
}
