#include "ORVRootController.h"

#include "core/AppDelegate.h"
#include "fingerprint/AudioCallback.h"
#include "fingerprint/SearchCalls.h"
#include "model/Channel.h"
#include "model/HistoryRepository.h"
#include "model/ORVManagedObjectContext.h"
#include "model/RatingRepository.h"
#include "model/Show.h"
#include "model/Utilities.h"
#include "platform/DesktopNotifications.h"
#include "platform/Device.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"
#include "social/ORVTwitterService.h"
#include "ui/AlertView.h"
#include "ui/Images.h"
#include "ui/NavigationController.h"
#include "ui/ScreenView.h"
#include "ui/ViewTag.h"
#include "widgets/StackedPanesController.h"
#include "widgets/StatusBarOverlay.h"

#include "ChannSelectorViewController_iPad.h"
#include "ORVNowViewController.h"
#include "ORVProgramView_iPad.h"
#include "ORVSearchController_iPad.h"
#include "ORVSettingsController_iPad.h"
#include "ORVTwitterViewController.h"
#include "ProgramDetailsController.h"
#include "SpecialContentButton.h"
#include "SpecialContentController.h"

#include <QBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcRoot, "orvane.tablet.root")

namespace {

struct MenuItem
{
    const char* title;
    const char* icon;
    const char* nib;
};

const MenuItem Menu[3] = {{"Сейчас", "menu_knopka_cat.png", "ORVNowViewController"},
                          {"Каналы", "menu_knopka_cat_ch.png", "ChannelSelector_iPad"},
                          {"Twitter", "menu_knopka_cat_tw.png", "ORVTwitterView_iPad"}};

AppDelegate* app()
{
    return AppDelegate::shared();
}

std::shared_ptr<Channel> currentChannel()
{
    return app() ? app()->selectedChannel() : nullptr;
}

} // namespace

ORVRootController::ORVRootController(QObject* parent)
    : ViewController(QStringLiteral("ORVRootController"), parent)
{}

ORVRootController::~ORVRootController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

ViewController* ORVRootController::menuScreen(int item) const
{
    return item >= 0 && item < 3 ? m_menuScreens[item].data() : nullptr;
}

bool ORVRootController::isStatusTimerRunning() const
{
    return m_updateStatusTimer && m_updateStatusTimer->isActive();
}

void ORVRootController::loadView()
{
    m_menuTable = new QListWidget;
    m_menuTable->setObjectName(QStringLiteral("menuTable"));
    m_menuTable->setIconSize(QSize(35, 35));
    m_menuTable->setFixedHeight(3 * 50 + 4);
    m_menuTable->setStyleSheet(QStringLiteral(
        "QListWidget { background: #1f2130; color: rgba(255,255,255,0.7); font-size: 19px; border: none; }"
        "QListWidget::item { height: 50px; } QListWidget::item:selected { background: #34384d; color: white; "
        "}"));
    for (const MenuItem& item : Menu)
        m_menuTable->addItem(new QListWidgetItem(QIcon(Images::named(QString::fromLatin1(item.icon))),
                                                 QString::fromUtf8(item.title)));
    m_logoView = new ORVLogoView_iPad;
    m_slideView = new SlideView_iPad;
    m_socialWidget = new SocialWidget_iPad;
    connect(m_socialWidget, &SocialWidget_iPad::detailsTouched, this, [] {
        if (StackedPanesController* stack = app() ? app()->stackController() : nullptr)
            stack->collapseStack(true);
    });
    m_pauseButton = new QPushButton(QStringLiteral("Pause"));
    auto* settings = new QPushButton(StringTable::localized("Settings"));
    connect(settings, &QPushButton::clicked, this, &ORVRootController::settingsTouch);
    connect(m_pauseButton, &QPushButton::clicked, this, &ORVRootController::pauseTouch);
    auto* buttons = new QWidget;
    auto* buttonRow = new QHBoxLayout(buttons);
    buttonRow->addWidget(m_pauseButton);
    buttonRow->addWidget(settings);
    QWidget* view = ScreenView::column(
        nibName(), {m_menuTable, m_logoView, m_slideView, m_socialWidget, buttons}, QColor(0x1f, 0x21, 0x30));
    setView(view);
}

void ORVRootController::viewDidLoad()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.observeOnMain(this, Notifications::FpNotification, [this](const Notification& n) {
        fpNotification(n.userInfo.value(QStringLiteral("resultSearch")).toInt());
    });
    center.observeOnMain(this, Notifications::ChannelChanged,
                         [this](const Notification&) { channelChanged(); });
    center.observeOnMain(this, Notifications::Idle, [this](const Notification&) { idleTime(); });
    center.observeOnMain(this, Notifications::SaveToHistory, [this](const Notification& n) {
        saveToHistory(n.userInfo.value(QStringLiteral("resultSearch")).toInt());
    });
    center.observeOnMain(this, Notifications::StackExpand, [this](const Notification&) { stackExpanded(); });
    center.observeOnMain(this, Notifications::StackCollapse,
                         [this](const Notification&) { stackCollapsed(); });
    center.observeOnMain(this, Notifications::InternetConnectionAvailable, [this](const Notification& n) {
        connectionStatusDidChange(n.userInfo.value(QStringLiteral("isAvailable")).toBool());
    });
    center.observeOnMain(this, Notifications::TwitterLogin,
                         [this](const Notification& n) { twitterLogin(n.userInfo); });
    center.observeOnMain(this, Notifications::TwitterLogout,
                         [this](const Notification&) { twitterLogout(); });
    center.observeOnMain(this, Notifications::ChangeWidgetChannels,
                         [this](const Notification&) { widgetChannelChanged(); });
    center.observeOnMain(this, Notifications::LocalNotificationReceived,
                         [this](const Notification& n) { recievedLocalNotification(n.userInfo); });

    m_menuTable->setCurrentRow(0);
    connect(m_menuTable, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { didSelectMenuRow(m_menuTable->row(item)); });
    m_logoView->setDelegate(this);
    connect(m_logoView->programButton(), &QPushButton::clicked, this,
            &ORVRootController::showChannProgramFromLogoView);
    connect(m_logoView->shareButton(), &QPushButton::clicked, this, &ORVRootController::twitterShareTouch);
    connect(m_logoView->loginButton(), &QPushButton::clicked, this, &ORVRootController::twitterLoginTouch);
    connect(m_logoView->logoutButton(), &QPushButton::clicked, this, &ORVRootController::twitterLogoutTouch);
    connect(m_slideView, &SlideView_iPad::tapped, this, &ORVRootController::handleSlideViewTap);
    connect(m_slideView, &SlideView_iPad::shareTouched, this, &ORVRootController::handleSlideViewDoubleTap);
    // The account service checks the stored account and answers with a login or a logout.
    ORVTwitterService::sharedManager();
    m_slideView->widgetInit();
    if (app() && !app()->widgetChannels().isEmpty())
        m_slideView->addChannelsWithId(app()->widgetChannels());
    connectionStatusDidChange(app() && app()->isConnectionAvailable());
    // The now board opens right after loading.
    QTimer::singleShot(0, this, [this] { selectMenuItem(0); });
}

void ORVRootController::selectMenuItem(int item)
{
    if (item < 0 || item > 2)
        return;
    // The menu's screens are made once.
    if (!m_menuScreens[item]) {
        ORVViewController_iPad* screen = nullptr;
        if (item == 0)
            screen = new ORVNowViewController(this);
        else if (item == 1)
            screen = new ChannSelectorViewController_iPad(this);
        else
            screen = new ORVTwitterViewController(this);
        screen->setTitleString(QString::fromUtf8(Menu[item].title));
        screen->setRootDelegate(this);
        m_menuScreens[item] = screen;
    }
    StackedPanesController* stack = app() ? app()->stackController() : nullptr;
    if (!m_navController && item == 0) {
        m_navController = new NavigationController(m_menuScreens[0], this);
        // As wide as the screen in portrait, the screen less the root pane in landscape.
        const QSize screen = Device::screenSize();
        m_navController->view()->resize(
            screen.width() > screen.height() ? screen.width() - Width : screen.width(), screen.height());
        if (stack)
            stack->pushViewController(m_navController, nullptr, false);
    }
    if (m_navController) {
        if (item == 0) {
            m_navController->popToRootViewControllerAnimated(true);
        } else {
            m_navController->popToRootViewControllerAnimated(false);
            m_navController->pushViewController(m_menuScreens[item], true);
        }
    }
    if (m_isStackExpanded && stack)
        stack->collapseStack(true);
    m_currentItem = item;
}

void ORVRootController::didSelectMenuRow(int row)
{
    if (row != m_currentItem) {
        if (m_menuTable)
            m_menuTable->setCurrentRow(row);
        selectMenuItem(row);
    } else {
        popToSelectedController(m_currentItem);
    }
}

void ORVRootController::popToSelectedController(int item)
{
    if (!m_navController)
        return;
    if (item <= 0) {
        m_navController->popToRootViewControllerAnimated(true);
        return;
    }
    // Back to the second screen of the pane (the menu's screen), the last step animated.
    while (m_navController->viewControllers().size() > 2)
        m_navController->popViewControllerAnimated(m_navController->viewControllers().size() == 3);
}

void ORVRootController::openMenu()
{
    StackedPanesController* stack = app() ? app()->stackController() : nullptr;
    if (!stack)
        return;
    m_isStackExpanded ? stack->collapseStack(true) : stack->expandStack(true);
}

void ORVRootController::pauseTouch()
{
    AudioCallback* audio = SearchCalls::sharedManager() ? SearchCalls::sharedManager()->audioBack() : nullptr;
    if (!audio || !m_pauseButton)
        return;
    m_pauseButton->setText(audio->audio_pause() ? QStringLiteral("Resume") : QStringLiteral("Pause"));
}

// Identification and the current channel --------------------------------------------------

void ORVRootController::fpNotification(int result)
{
    StatusBarOverlay* overlay = StatusBarOverlay::sharedOverlay();
    if (result == -2) {
        m_logoView->animateDetected();
        if (overlay)
            overlay->postMessage(StringTable::localized("Identifying the channel…"));
        return;
    }
    // The search ended one way or the other; a found channel is told once its now-data is in.
    if (overlay && overlay->kind() == StatusBarOverlay::Kind::Activity)
        overlay->hideOverlay();
    if (result <= 0)
        return;
    const std::shared_ptr<Channel> channel = currentChannel();
    if (!channel || !m_logoView->checkShowBounds() || m_logoView->getCurrentShowData().isEmpty())
        return;
    applyCurrentShowFromLogoView(channel);
    saveChannelToHistory(channel);
}

void ORVRootController::applyCurrentShowFromLogoView(const std::shared_ptr<Channel>& channel)
{
    const QVariantMap data = m_logoView->getCurrentShowData();
    auto show = std::make_shared<Show>();
    show->showId = JsonValue::text(data.value(QStringLiteral("pid")));
    show->channelId = channel->channelId();
    show->name = JsonValue::text(data.value(QStringLiteral("t")));
    show->pDate = JsonValue::text(data.value(QStringLiteral("pd")));
    channel->setCurrentShow(show);
}

void ORVRootController::channelChanged()
{
    const std::shared_ptr<Channel> channel = currentChannel();
    if (!channel)
        return;
    const int id = channel->channelId().toInt();
    if ((id == m_lastFoundChannelId && !channel->isSelectedManually()) || id == 0)
        return;
    m_lastFoundChannelId = id;
    QTimer::singleShot(0, this, [this, channel] {
        requestNowData(Utilities::stringLocalIdFromMap(channel->channelId()).toInt());
        if (m_savedChannId >= 1 && m_savedChannId == channel->channelId().toInt() &&
            !channel->isSelectedManually()) {
            m_savedChannId = -1;
            saveChannelToHistory(channel);
        }
    });
}

void ORVRootController::requestNowData(int channelId)
{
    ServiceCalls::sharedManager().getNowShowsWithChannelId(
        channelId, 1, 0, std::nullopt, true,
        Reply(
            this, [this](const QVariant& answer) { onGetNowShowsDone(answer); },
            [this](const Error& error) {
                m_savedChannId = -1;
                (new AlertView(QStringLiteral("Error NOW data"), error.localizedDescription(), nullptr, {},
                               QStringLiteral("OK")))
                    ->show();
            }));
}

void ORVRootController::onGetNowShowsDone(const QVariant& answer)
{
    const QVariantMap map = JsonValue::map(answer);
    if (map.isEmpty() || map.contains(QStringLiteral("nodata")))
        return;
    m_logoView->setDetectedChannWithData(map);
    qCInfo(lcRoot).noquote() << "logo view:" << m_logoView->channelText() << "-" << m_logoView->showText();
    if (StatusBarOverlay* overlay = StatusBarOverlay::sharedOverlay();
        overlay && !m_logoView->channelText().isEmpty())
        overlay->postFinishMessage(m_logoView->channelText(), OverlaySeconds);
    const std::shared_ptr<Channel> channel = currentChannel();
    if (channel && m_savedChannId == channel->channelId().toInt()) {
        m_savedChannId = -1;
        if (!m_logoView->getCurrentShowData().isEmpty())
            applyCurrentShowFromLogoView(channel);
        saveChannelToHistory(channel);
    }
}

void ORVRootController::getUpdateToLogoView()
{
    const std::shared_ptr<Channel> channel = currentChannel();
    if (!channel || channel->channelId().toInt() == 0)
        return;
    m_savedChannId = channel->channelId().toInt();
    requestNowData(m_savedChannId);
}

void ORVRootController::idleTime()
{
    if (StatusBarOverlay* overlay = StatusBarOverlay::sharedOverlay())
        overlay->hideOverlay();
    m_lastFoundChannelId = 0;
    m_savedChannId = -1;
    m_logoView->idle();
}

void ORVRootController::saveToHistory(int result)
{
    if (result <= 0)
        return;
    m_savedChannId = result;
    const std::shared_ptr<Channel> channel = currentChannel();
    if (channel && result == channel->channelId().toInt()) {
        m_savedChannId = -1;
        saveChannelToHistory(channel);
    }
}

QString ORVRootController::watchedText(const Channel& channel)
{
    QString body = channel.isTV() ? QStringLiteral("Вы смотрели ") : QStringLiteral("Вы слушали ");
    const QString showName = channel.currentShow() ? channel.currentShow()->name : QString();
    if (!showName.isEmpty())
        body += u'"' + showName + QStringLiteral("\" на ");
    return body + channel.name();
}

void ORVRootController::saveChannelToHistory(const std::shared_ptr<Channel>& channel)
{
    if (!channel || !channel->currentShow())
        return;
    const qint64 showId = channel->currentShow()->showId.toLongLong();
    if (m_historedShowsSet.contains(showId))
        return;
    m_historedShowsSet.insert(showId);
    if (ORVManagedObjectContext* db = app() ? app()->dbContext() : nullptr) {
        HistoryRepository(db).insertShow(channel->currentShow(), channel);
        RatingRepository(db).increaseRatingWithChannId(channel->channelId().toInt());
        db->saveDataToDB();
    }
    const QString body = watchedText(*channel);
    const QVariantMap userInfo{{QStringLiteral("local_showid"), channel->currentShow()->showId},
                               {QStringLiteral("local_pd"), channel->currentShow()->pDate},
                               {QStringLiteral("local_channid"), channel->channelId()}};
    if (!DesktopNotifications::shared().notify(StringTable::localized("View Details"), body, userInfo)) {
        // Without a notification service the note goes to the log and, briefly, the status bar.
        qCInfo(lcRoot).noquote() << "watched:" << body;
        if (StatusBarOverlay* overlay = StatusBarOverlay::sharedOverlay())
            overlay->postFinishMessage(body, OverlaySeconds);
    }
}

// Connectivity, status, stack, Twitter, widgets -------------------------------------------

void ORVRootController::connectionStatusDidChange(bool available)
{
    if (available) {
        updateServiceStatus();
        if (!m_updateStatusTimer) {
            m_updateStatusTimer = new QTimer(this);
            m_updateStatusTimer->setInterval(StatusSeconds * 1000);
            connect(m_updateStatusTimer, &QTimer::timeout, this, &ORVRootController::updateServiceStatus);
            m_updateStatusTimer->start();
        }
        m_slideView->setOffline(false, QStringLiteral("Нет соединения"));
        return;
    }
    if (m_updateStatusTimer)
        m_updateStatusTimer->deleteLater();
    m_updateStatusTimer = nullptr;
    m_logoView->setOfflineStatus(QStringLiteral("не в сети"));
    m_slideView->setOffline(true, QStringLiteral("Нет соединения"));
}

void ORVRootController::updateServiceStatus()
{
    if (!app() || !app()->isConnectionAvailable())
        return;
    ServiceCalls::sharedManager().getAutoServiceStateWithDelegate(Reply(
        this,
        [this](const QVariant& answer) {
            const QVariantMap map = JsonValue::map(answer);
            if (map.contains(QStringLiteral("nodata")))
                return;
            if (JsonValue::integer(map.value(QStringLiteral("ss_status"))) != 1) {
                m_logoView->setOfflineStatus(QStringLiteral("не доступен"));
                return;
            }
            m_logoView->setOnlineStatus(QStringLiteral("работает"),
                                        JsonValue::integer(map.value(QStringLiteral("pon"))));
            m_slideView->setOffline(false, {});
        },
        [this](const Error&) { m_logoView->setOfflineStatus(QStringLiteral("не доступен")); }));
}

void ORVRootController::stackExpanded()
{
    m_isStackExpanded = true;
    if (app() && app()->isConnectionAvailable())
        m_slideView->setIsAutoUpdating(true);
}

void ORVRootController::stackCollapsed()
{
    m_isStackExpanded = false;
    m_slideView->setIsAutoUpdating(false);
}

void ORVRootController::widgetChannelChanged()
{
    if (!app())
        return;
    const QList<int> wanted = app()->widgetChannels();
    const QList<int>& shown = m_slideView->channelsId();
    if (wanted.size() > shown.size()) {
        QList<int> added;
        for (int id : wanted) {
            if (!shown.contains(id))
                added.append(id);
        }
        m_slideView->addChannelsWithId(added);
    } else if (wanted.size() < shown.size()) {
        QList<int> removed;
        for (int id : shown) {
            if (!wanted.contains(id))
                removed.append(id);
        }
        m_slideView->removeChannelsWithId(removed);
    }
}

void ORVRootController::handleSlideViewTap()
{
    const QString showId = m_slideView->getCurrentShowId();
    if (showId.isEmpty() || m_slideView->getCurrentChannId() == 0 || !m_navController)
        return;
    // Details of this show already in the pane: back to them.
    for (ViewController* screen : m_navController->viewControllers()) {
        auto* details = qobject_cast<ProgramDetailsController*>(screen);
        if (details && details->currentShowId() == showId) {
            m_navController->popToViewController(details, true);
            return;
        }
    }
    pushDetails(showId, QString::number(m_slideView->getCurrentChannId()), m_slideView->getCurrentShowTime());
}

bool ORVRootController::detailsOnTop(const QString& showId) const
{
    auto* top = m_navController
                    ? qobject_cast<ProgramDetailsController*>(m_navController->topViewController())
                    : nullptr;
    return top && top->currentShowId() == showId;
}

ProgramDetailsController* ORVRootController::pushDetails(const QString& showId, const QString& channelId,
                                                         const QVariant& startTime)
{
    if (!m_navController)
        return nullptr;
    auto* details = new ProgramDetailsController(this);
    details->setRootDelegate(this);
    m_navController->pushViewController(details, true);
    details->openShowWithId(showId, channelId, startTime);
    return details;
}

void ORVRootController::twitterLogin(const QVariantMap& userInfo)
{
    const QString user = userInfo.value(QStringLiteral("twitteruser")).toString();
    if (!user.isEmpty())
        m_logoView->setTwitterLogin(true, user);
}

void ORVRootController::twitterLogout()
{
    m_logoView->setTwitterLogin(false, {});
}

// Opening screens ----------------------------------------------------------------------------

void ORVRootController::recievedLocalNotification(const QVariantMap& userInfo)
{
    for (const char* key : {"local_pd", "local_showid", "local_channid"}) {
        if (!userInfo.contains(QString::fromLatin1(key)))
            return;
    }
    const QString showId = userInfo.value(QStringLiteral("local_showid")).toString();
    if (showId.isEmpty() || detailsOnTop(showId))
        return;
    pushDetails(showId, userInfo.value(QStringLiteral("local_channid")).toString(),
                userInfo.value(QStringLiteral("local_pd")).toString());
}

void ORVRootController::handleLogoViewTap()
{
    const std::shared_ptr<Channel> channel = currentChannel();
    const QString showId = m_logoView->getCurrentShowId();
    if (showId.isEmpty() || m_logoView->getCurrentShowDate().isEmpty() || !channel ||
        channel->channelId().isEmpty() || detailsOnTop(showId))
        return;
    pushDetails(showId, Utilities::stringLocalIdFromMap(channel->channelId()),
                m_logoView->getCurrentShowTime());
}

void ORVRootController::showChannProgramFromLogoView()
{
    const std::shared_ptr<Channel> channel = currentChannel();
    if (channel && !channel->channelId().isEmpty())
        showProgramForChannel(channel->channelId());
}

void ORVRootController::showProgramForChannel(const QString& channelId)
{
    if (channelId.isEmpty() || !m_navController)
        return;
    auto* program = new ORVProgramView_iPad(this);
    program->setRootDelegate(this);
    program->setChannelId(channelId);
    m_navController->pushViewController(program, true);
}

void ORVRootController::showSearch(const QString& text)
{
    if (!m_navController || text.trimmed().isEmpty())
        return;
    auto* results = new ORVSearchController_iPad(text, this);
    results->setRootDelegate(this);
    m_navController->pushViewController(results, true);
}

bool ORVRootController::openShowLink(const QString& link)
{
    // "orvane://progdetails/DAY/CHANNEL/SHOW"
    static const QString prefix = QStringLiteral("orvane://progdetails/");
    if (!link.startsWith(prefix))
        return false;
    const QStringList parts = link.mid(prefix.size()).split(u'/');
    if (parts.size() != 3 || parts.contains(QString()))
        return false;
    if (!detailsOnTop(parts[2]))
        pushDetails(parts[2], parts[1], parts[0]);
    return true;
}

void ORVRootController::settingsTouch()
{
    if (!m_navController)
        return;
    for (ViewController* screen : m_navController->viewControllers()) {
        if (screen->nibName() == u"ORVSettingsController_iPad")
            return;
    }
    auto* settings = new ORVSettingsController_iPad(this);
    settings->setRootDelegate(this);
    m_navController->pushViewController(settings, true);
}

// Twitter -----------------------------------------------------------------------------------

void ORVRootController::twitterLoginTouch()
{
    QPushButton* button = m_logoView->loginButton();
    ORVTwitterService::sharedManager().showPopoverAccsSelectorFromRect(button->geometry(),
                                                                       button->parentWidget(), view());
}

void ORVRootController::twitterLogoutTouch()
{
    ORVTwitterService::sharedManager().twLogout();
}

QString ORVRootController::slideShareText() const
{
    const QString channel = m_slideView->getCurrentChannName();
    const QString show = m_slideView->getCurrentShowName();
    if (m_slideView->getCurrentShowImage().isEmpty() || channel.isEmpty() || show.isEmpty() ||
        !m_slideView->getCurrentIsScreensSign())
        return {};
    return Printf::format(StringTable::localized("On \"%@\" tv channel \"%@\" now"), {channel, show});
}

QString ORVRootController::logoShareText() const
{
    const std::shared_ptr<Channel> channel = currentChannel();
    const bool tv = !channel || channel->isTV();
    return Printf::format(
        StringTable::localized(tv ? "I'm watching \"%@\" - \"%@\"" : "I'm listen \"%@\" - \"%@\""),
        {m_logoView->channelText(), m_logoView->showText()});
}

void ORVRootController::handleSlideViewDoubleTap()
{
    const QString text = slideShareText();
    if (!text.isEmpty())
        ORVTwitterService::sharedManager().showTweetComposeWithText(
            text, m_slideView->getCurrentShowPicture(), this);
}

void ORVRootController::twitterShareTouch()
{
    ORVTwitterService::sharedManager().showTweetComposeWithText(logoShareText(), {}, this);
}

// Special content ---------------------------------------------------------------------------

QPushButton* ORVRootController::specialContentButton() const
{
    // One may still be closing while a new one opens: the open one is the answer.
    if (QWidget* pane = m_logoView->parentWidget()) {
        for (auto* button : pane->findChildren<SpecialContentButton*>()) {
            if (ViewTag::of(button) == SpecialContentButton::Tag && !button->isHiding())
                return button;
        }
    }
    return nullptr;
}

void ORVRootController::showSpecialContentButtonWithDuration(double seconds)
{
    if (specialContentButton() || !m_logoView->parentWidget())
        return;
    auto* column = qobject_cast<QBoxLayout*>(m_logoView->parentWidget()->layout());
    if (!column)
        return;
    auto* button = new SpecialContentButton;
    connect(button, &QPushButton::clicked, this, &ORVRootController::showSpecialContent);
    column->insertWidget(column->indexOf(m_logoView) + 1, button);
    button->showWithDuration(seconds);
}

void ORVRootController::hideSpecialContentButtonWithDuration(double seconds)
{
    if (auto* button = qobject_cast<SpecialContentButton*>(specialContentButton()))
        button->hideWithDuration(seconds);
}

void ORVRootController::showSpecialContent()
{
    if (m_logoView->specialContentUrl().isEmpty() || !app() || !app()->isConnectionAvailable())
        return;
    showSpecialContentWithUrl(m_logoView->specialContentUrl());
}

void ORVRootController::showSpecialContentWithUrl(const QString& url)
{
    if (m_contentController || url.isEmpty())
        return;
    StackedPanesController* stack = app() ? app()->stackController() : nullptr;
    m_contentController = new SpecialContentController(0, url, stack ? stack->view() : nullptr);
    m_contentController->setFinishDelegate(this);
    m_contentController->showFromPoint({0, 0});
}

void ORVRootController::contentControllerDidFinish()
{
    if (m_contentController)
        m_contentController->deleteLater();
    m_contentController = nullptr;
}

void ORVRootController::logoViewDidAnimateStartDetectionStateWithDuration(double seconds)
{
    if (m_logoView->isHaveSpecialContent())
        showSpecialContentButtonWithDuration(seconds);
}

void ORVRootController::logoViewWillAnimateFinishDetectionStateWithDuration(double seconds)
{
    // A button left over an idle logo view would offer content of a show no longer detected.
    hideSpecialContentButtonWithDuration(seconds);
}

void ORVRootController::logoViewCurrentShowDidChange()
{
    const bool wanted = m_logoView->isHaveSpecialContent();
    if (wanted && !specialContentButton())
        showSpecialContentButtonWithDuration(0.5);
    else if (!wanted && specialContentButton())
        hideSpecialContentButtonWithDuration(0.5);
}
