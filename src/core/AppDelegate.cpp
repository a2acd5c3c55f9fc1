#include "AppDelegate.h"

#include "ORVNavigationController.h"
#include "ReminderAlarms.h"

#include "model/Channel.h"
#include "model/ChannelsRepository.h"
#include "model/ORVManagedObjectContext.h"
#include "model/PreferenceKeys.h"
#include "model/ServerClock.h"
#include "model/Show.h"
#include "model/Utilities.h"
#include "platform/DesktopNotifications.h"
#include "platform/Device.h"
#include "platform/Dispatch.h"
#include "platform/JsonValue.h"
#include "platform/Preferences.h"
#include "platform/Reachability.h"
#include "platform/ServerConfig.h"
#include "platform/StringTable.h"
#include "platform/SystemClockMonitor.h"
#include "service/ServiceCalls.h"
#include "ui/AlertView.h"
#include "ui/TabBarController.h"
#include "ui/Window.h"
#include "widgets/Popover.h"
#include "widgets/StackedPanesController.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>

Q_LOGGING_CATEGORY(lcApp, "orvane.app")

namespace {

AppDelegate*& sharedDelegate()
{
    static AppDelegate* delegate = nullptr;
    return delegate;
}

const QString MoscowName = QStringLiteral("Москва");
constexpr int PopupAnchorHeight = 57;
constexpr int PopupLifeMs = 2000;
constexpr int WidgetChannelsFromRatings = 15;

} // namespace

AppDelegate::AppDelegate(AppSeams seams, QObject* parent) : QObject(parent), m_seams(std::move(seams))
{
    sharedDelegate() = this;
    AppContext::setCurrent(this);
}

AppDelegate::~AppDelegate()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (sharedDelegate() == this)
        sharedDelegate() = nullptr;
    if (AppContext::current() == this)
        AppContext::setCurrent(nullptr);
    delete m_window;
}

AppDelegate* AppDelegate::shared()
{
    return sharedDelegate();
}

TabBarController* AppDelegate::tabBarController() const
{
    return m_tabBarController;
}

StackedPanesController* AppDelegate::stackController() const
{
    return m_stackController;
}

Popover* AppDelegate::popover() const
{
    return m_popover;
}

void AppDelegate::post(NotificationName name, const QVariantMap& userInfo)
{
    NotificationCenter::defaultCenter().post(name, nullptr, userInfo);
}

bool AppDelegate::applicationDidFinishLaunchingWithOptions(const QVariantMap&)
{
    Preferences& defaults = Preferences::standard();

    // 1. The database context; its alerts are the screen kit's.
    m_dbContext = new ORVManagedObjectContext(QString(), this);
    ChannelsRepository::setAlertPresenter(
        [](const QString& title, const QString& message, const QString& cancel) {
            (new AlertView(title, message, nullptr, nullptr, cancel))->show();
        });

    // 2. Connectivity: checked off the main thread, which does not wait for the network.
    // Until the first check answers the connection counts as absent; its answer arrives
    // like any later change (setIsConnectionAvailable), asking for the server time then.
    m_reachability = std::make_unique<Reachability>([] { return ServerConfig::contentServer(); });
    m_isConnectionAvailable = false;
    m_isBlockPortraitOrientation = true;
    m_reachability->start([this, context = QPointer<AppDelegate>(this)](bool reachable) {
        // On the probing thread: the answer is taken on the main thread.
        Dispatch::mainAsync([context, reachable] {
            if (context)
                context->setIsConnectionAvailable(reachable);
        });
    });

    // 3. The content-service client.
    ServiceCalls::sharedManager();

    // 4. No channel found yet; no pending widget changes.
    m_foundChannelId = NoChannel;

    // 5. No city while starting.
    m_userCityId = -1;
    m_userCityName.clear();

    // 6. Now-board priorities.
    if (defaults.contains(PreferenceKeys::NowPriority)) {
        m_nowPriorityDict = defaults.dictionary(PreferenceKeys::NowPriority);
    } else {
        m_nowPriorityDict = {{PreferenceKeys::NowFavorPriority, 0},
                             {PreferenceKeys::NowWatchedPriority, 1},
                             {PreferenceKeys::NowRatingPriority, 2}};
        defaults.setValue(PreferenceKeys::NowPriority, m_nowPriorityDict);
    }

    // 7. No channel map yet.
    m_mapListDict.clear();

    // 8. The network layer keeps no URL cache of its own: all caching is the file caches'.

    // 9. A new day clears the show and programme caches.
    const QString today = Utilities::stringFromDate(QDateTime::currentDateTime());
    if (defaults.contains(PreferenceKeys::AppLaunchDateString)) {
        if (defaults.string(PreferenceKeys::AppLaunchDateString) != today) {
            Utilities::clearShowCache();
            Utilities::clearChannProgramData();
            defaults.setValue(PreferenceKeys::AppLaunchDateString, today);
        }
    } else {
        defaults.setValue(PreferenceKeys::AppLaunchDateString, today);
    }

    // 10. City and widget list.
    if (defaults.contains(PreferenceKeys::FirstLaunch)) {
        m_userCityId = defaults.integer(PreferenceKeys::CityId);
        m_userCityName = defaults.string(PreferenceKeys::CityName);
        m_widgets.load(defaults.array(PreferenceKeys::WidgetChannels));
        if (m_userCityId <= 0) {
            m_userCityId = 1;
            m_userCityName = MoscowName;
        } else {
            m_mapListDict = defaults.dictionary(PreferenceKeys::CityMapList);
        }
    } else {
        defaults.setValue(PreferenceKeys::FirstLaunch, PreferenceKeys::FirstLaunchValue);
        m_userCityId = 1;
        m_userCityName = MoscowName;
        defaults.setValue(PreferenceKeys::CityId, 1);
        defaults.setValue(PreferenceKeys::CityName, MoscowName);
        getMapList(1);
        m_widgets.load({});
        defaults.setValue(PreferenceKeys::WidgetChannels, QVariantList());
    }

    // 11. An empty widget list is filled from the channel ratings.
    if (m_widgets.channels().isEmpty())
        setDefaultWidgetChannels();

    // 12. Notifications.
    observe();

    // 13. The server's time.
    if (m_isConnectionAvailable)
        getServerTime();

    // 14-16. The window and its screen tree.
    m_window = new Window(Device::screenSize());
    m_window->setWindowTitle(QStringLiteral("Orvane"));
    if (Device::isTablet())
        buildTabletTree();
    else
        buildPhoneTree();
    m_window->makeKeyAndVisible();

    // 17. The identification loop.
    if (m_seams.startIdentification)
        m_seams.startIdentification();
    else
        qCInfo(lcApp) << "identification is not available in this build";

    // 18. The connectivity watch.
    m_checkConnectionTimer = new QTimer(this);
    m_checkConnectionTimer->setInterval(ConnectionCheckSeconds * 1000);
    connect(m_checkConnectionTimer, &QTimer::timeout, this, &AppDelegate::checkConnection);
    m_checkConnectionTimer->start();
    return true;
}

void AppDelegate::observe()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    // Identification results arrive on the loop's thread; all handling is on the main thread.
    center.observeOnMain(this, Notifications::FpNotification,
                         [this](const Notification& n) { fpNotification(n); });
    center.observeOnMain(this, Notifications::PriorityChanged,
                         [this](const Notification& n) { changeNowPriority(n); });
    center.observeOnMain(this, Notifications::EventStoreChanged,
                         [this](const Notification& n) { handleEventStoreChanged(n); });
    // Desktop notifications: a click on one arrives as a notification the user opened.
    DesktopNotifications::shared().setActivationHandler([this](const QVariantMap& userInfo) {
        applicationDidReceiveLocalNotification(userInfo, Application::State::Inactive);
        if (m_window)
            m_window->activateWindow();
    });
    m_reminderAlarms = new ReminderAlarms(this);
    m_reminderAlarms->start();
    m_clockMonitor = new SystemClockMonitor(this);
    connect(m_clockMonitor, &SystemClockMonitor::clockChanged, this, &AppDelegate::handleSysTimeChanged);

    // The platform's life-cycle callbacks only log.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this,
                [](Qt::ApplicationState state) { qCInfo(lcApp) << "application state" << state; });
        connect(app, &QCoreApplication::aboutToQuit, this,
                [] { qCInfo(lcApp) << "application will terminate"; });
    }
}

void AppDelegate::buildPhoneTree()
{
    auto* tabs = new TabBarController;
    QList<ViewController*> stacks;
    for (PhoneTab tab : AllPhoneTabs) {
        ViewController* root = m_seams.createPhoneRoot ? m_seams.createPhoneRoot(tab) : nullptr;
        if (!root)
            root = new ViewController(phoneTabNibName(tab));
        // The Now screen asks for a city after its first page only when there is none.
        if (tab == PhoneTab::Now)
            root->setProperty("doStuffOnLaunch", m_userCityId.load() == -1);
        stacks.append(new ORVNavigationController(root));
    }
    tabs->setViewControllers(stacks);
    m_tabBarController = tabs;
    m_window->setRootViewController(tabs);
}

void AppDelegate::buildTabletTree()
{
    ViewController* root = m_seams.createTabletRoot ? m_seams.createTabletRoot() : nullptr;
    if (!root)
        root = new ViewController(QStringLiteral("ORVRootController"));
    root->view()->setGeometry(0, 0, 300, Device::screenSize().height());
    auto* stack = new StackedPanesController(root);
    stack->setLeftInset(0);
    stack->setLargeLeftInset(300);
    stack->setEnableBounces(false);
    stack->setEnableDraggingPastInsets(false);
    if (Device::compareVersions(Device::systemVersion(), QStringLiteral("6.0")) >= 0) {
        stack->setEnableShadows(true);
        stack->setDefaultShadowAlpha(0.9);
        stack->setDefaultShadowWidth(5);
    } else {
        stack->setEnableShadows(false);
        stack->setDefaultShadowAlpha(0);
        stack->setDefaultShadowWidth(0);
    }
    m_stackController = stack;
    m_window->setRootViewController(stack);
}

// Connectivity ---------------------------------------------------------------------------

void AppDelegate::checkConnection()
{
    if (m_reachability)
        setIsConnectionAvailable(m_reachability->isReachable());
}

void AppDelegate::setIsConnectionAvailable(bool available)
{
    if (available == m_isConnectionAvailable)
        return;
    qCInfo(lcApp) << "connection available:" << available;
    m_isConnectionAvailable = available;
    m_isBlockPortraitOrientation = !available;
    if (available) {
        getServerTime();
        if (m_widgets.channels().isEmpty())
            setDefaultWidgetChannels();
    } else if (m_idleTimer) {
        m_idleTimer->stop();
        m_idleTimer->deleteLater();
        m_idleTimer = nullptr;
    }
    post(Notifications::InternetConnectionAvailable, {{NotificationKeys::IsAvailable, available}});
}

// Server time ----------------------------------------------------------------------------

void AppDelegate::getServerTime()
{
    ServiceCalls::sharedManager().getServerTime(
        Reply(this, &AppDelegate::onGetServerTimeDone, &AppDelegate::onGetServerTimeFailed));
}

void AppDelegate::onGetServerTimeDone(const QVariant& answer)
{
    const std::optional<double> server = ServerClock::timestampFromAnswer(answer);
    if (!server) {
        qCWarning(lcApp) << "server time answer without a usable timestamp_gmt; offset kept";
        return;
    }
    const double now = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    m_roundedServerTimeDifference = ServerClock::roundedDifference(now, *server);
}

void AppDelegate::onGetServerTimeFailed(const Error& error)
{
    qCWarning(lcApp).noquote() << error.localizedDescription();
}

// Identification results and the current channel -----------------------------------------

void AppDelegate::fpNotification(const Notification& notification)
{
    // Observed on the main thread (the loop posts it on its own thread).
    Q_ASSERT(Dispatch::isMainThread());
    const QVariantMap& userInfo = notification.userInfo;
    if (!userInfo.contains(NotificationKeys::ResultSearch))
        return;
    const int id = JsonValue::integer(userInfo.value(NotificationKeys::ResultSearch));
    if (id < 1)
        return;
    const int current = m_selectedChannel ? JsonValue::integer(m_selectedChannel->channelId()) : 0;
    if (id != current) {
        m_foundChannelId = id;
        getChannelInfoWithId(id);
    }
    restartIdleTimer(Device::isTablet() ? IdleAfterIdentificationTablet : IdleAfterIdentificationPhone);
}

void AppDelegate::getChannelInfoWithId(int channelId)
{
    post(Notifications::StartGettingChannelInfo);
    ServiceCalls::sharedManager().getChannelInfoDinamicWithChannelId(
        channelId, Reply(this, &AppDelegate::onChannelInfoDone, &AppDelegate::onChannelInfoFailed));
}

void AppDelegate::onChannelInfoDone(const QVariant& answer)
{
    if (!JsonValue::isMap(answer))
        return;
    const QVariantMap info = answer.toMap();
    std::shared_ptr<Channel> channel = Channel::initWithDictionary2(info);
    channel->setChannelId(QString::number(m_foundChannelId));
    channel->setIsSelectedManually(false);
    auto show = std::make_shared<Show>();
    show->showId = JsonValue::text(info.value(QStringLiteral("ev")));
    show->channelId = channel->channelId();
    show->name = JsonValue::text(info.value(QStringLiteral("prg")));
    show->pDate = JsonValue::text(info.value(QStringLiteral("pdate")));
    channel->setCurrentShow(show);
    setSelectedChannel(channel);
}

void AppDelegate::onChannelInfoFailed(const Error& error)
{
    qCWarning(lcApp).noquote() << error.localizedDescription();
}

void AppDelegate::setSelectedChannel(std::shared_ptr<Channel> channel)
{
    if (m_selectedChannel && channel && m_selectedChannel->channelId() == channel->channelId())
        return;
    const bool manually = channel && channel->isSelectedManually();
    if (manually) {
        restartIdleTimer(Device::isTablet() ? IdleAfterHandChoiceTablet : IdleAfterHandChoicePhone);
    } else if (channel) {
        const QString name = channel->name();
        Dispatch::mainAsync(this, [this, name] { showPopupWithText(name); });
    }
    m_selectedChannel = std::move(channel);
    if (m_selectedChannel && !manually)
        m_selectedChannel->setChannelId(QString::number(m_foundChannelId));
    post(Notifications::ChannelChanged);
}

void AppDelegate::restartIdleTimer(int seconds)
{
    if (m_idleTimer) {
        m_idleTimer->stop();
        m_idleTimer->deleteLater();
    }
    m_idleTimer = new QTimer(this);
    m_idleTimer->setSingleShot(true);
    m_idleTimer->setInterval(seconds * 1000);
    connect(m_idleTimer, &QTimer::timeout, this, &AppDelegate::idle);
    m_idleTimer->start();
}

void AppDelegate::startIdleTimer()
{
    if (m_idleTimer)
        restartIdleTimer(IdleAfterRestart);
}

void AppDelegate::idle()
{
    m_selectedChannel.reset();
    m_foundChannelId = NoChannel;
    post(Notifications::Idle);
}

void AppDelegate::handleSysTimeChanged()
{
    getServerTime();
    if (m_selectedChannel && JsonValue::integer(m_selectedChannel->channelId()) != 0) {
        post(Notifications::NowUpdate);
    } else {
        m_foundChannelId = NoChannel;
        post(Notifications::ChannelNotFound);
    }
    post(Notifications::ProgramUpdate);
    post(Notifications::ShowDetailsUpdate);
}

void AppDelegate::handleEventStoreChanged(const Notification&)
{
    qCInfo(lcApp) << "calendar store changed";
}

// Tablet pop-up --------------------------------------------------------------------------

void AppDelegate::showPopupWithText(const QString& text)
{
    if (!Device::isTablet() || !m_window)
        return;
    QLabel* label = nullptr;
    if (!m_popover) {
        label = new QLabel;
        label->setObjectName(QStringLiteral("popupLabel"));
        label->setAlignment(Qt::AlignCenter);
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
        QFont font = label->font();
        font.setBold(true);
        font.setPixelSize(18);
        label->setFont(font);
        m_popover = new Popover(label);
        m_popupTimer = new QTimer(m_popover);
        m_popupTimer->setSingleShot(true);
        m_popupTimer->setInterval(PopupLifeMs);
        connect(m_popupTimer, &QTimer::timeout, this, &AppDelegate::hidePopup);
    } else {
        // A newer channel while the bubble is up: show its name and give it its full time.
        label = qobject_cast<QLabel*>(m_popover->content());
    }
    label->setText(text);
    label->resize(label->sizeHint() + QSize(10, 10));
    const QSize screen = Device::screenSize();
    const QRect anchor(screen.width() / 2, screen.height() - PopupAnchorHeight, 1, PopupAnchorHeight);
    m_popover->presentPopoverFromRect(anchor, m_window, Popover::ArrowDown, true);
    m_popupTimer->start();
}

void AppDelegate::hidePopup()
{
    if (!m_popover)
        return;
    m_popover->dismissPopoverAnimated(true);
    m_popover->deleteLater();
    m_popover = nullptr;
    m_popupTimer = nullptr;
}

// City -----------------------------------------------------------------------------------

void AppDelegate::cityHasChoosed(int cityId, const QString& cityName)
{
    changeRootController();
    saveCityPrefWithId(cityId, cityName);
}

void AppDelegate::saveCityPrefWithId(int cityId, const QString& cityName)
{
    if (cityId == m_userCityId || cityId == -1)
        return;
    m_selectedChannel.reset();
    m_userCityId = cityId;
    m_userCityName = cityName;
    Preferences& defaults = Preferences::standard();
    defaults.setValue(PreferenceKeys::CityId, cityId);
    defaults.setValue(PreferenceKeys::CityName, cityName);
    getMapList(cityId);
}

void AppDelegate::getMapList(int cityId)
{
    if (cityId == -1)
        return;
    Application::shared().setNetworkActivityIndicatorVisible(true);
    ServiceCalls::sharedManager().getMapListForCityID(
        cityId, Reply(
                    this,
                    [this, cityId](const QVariant& answer) {
                        Application::shared().setNetworkActivityIndicatorVisible(false);
                        // An answer for a city the user has left since would install the wrong map.
                        if (!JsonValue::isMap(answer) || cityId != m_userCityId)
                            return;
                        m_mapListDict = JsonValue::map(answer.toMap().value(QStringLiteral("map")));
                        Preferences::standard().setValue(PreferenceKeys::CityMapList, m_mapListDict);
                        Utilities::clearShowCache();
                        Utilities::clearChannProgramData();
                        post(Notifications::UpdateCityChanging);
                    },
                    [](const Error& error) {
                        Application::shared().setNetworkActivityIndicatorVisible(false);
                        qCWarning(lcApp).noquote() << error.localizedDescription();
                    }));
}

void AppDelegate::showCitySelector()
{
    if (!m_window || !m_window->rootViewController())
        return;
    ViewController* chooser = m_seams.createCityChooser ? m_seams.createCityChooser(m_userCityId) : nullptr;
    if (!chooser) {
        qCWarning(lcApp) << "no city chooser in this build";
        return;
    }
    auto* navigation = new ORVNavigationController(chooser);
    m_window->rootViewController()->presentModalViewController(navigation, true);
}

void AppDelegate::changeRootController()
{
    Application::shared().setNetworkActivityIndicatorVisible(false);
    if (m_window && m_window->rootViewController())
        m_window->rootViewController()->dismissModalViewControllerAnimated(true);
}

void AppDelegate::alertViewDidDismissWithButtonIndex(AlertView* alertView, int buttonIndex)
{
    if (alertView->tag() == CityPromptAlertTag && buttonIndex == 1)
        showCitySelector();
}

// Phone channel selector -----------------------------------------------------------------

void AppDelegate::showProgramSelectorWithDelegate(QObject* delegate)
{
    if (!m_isConnectionAvailable) {
        auto* alert = new AlertView(
            StringTable::localized("Connection Error"),
            StringTable::localized("Cannot connect to Orvane services. Check the connection."), this,
            [this](AlertView* view, int index) { alertViewDidDismissWithButtonIndex(view, index); },
            StringTable::localized("OK"));
        alert->show();
        return;
    }
    if (!m_window || !m_window->rootViewController())
        return;
    if (!m_programSelector) {
        m_programSelector = m_seams.createChannelSelector ? m_seams.createChannelSelector() : nullptr;
        if (!m_programSelector) {
            qCWarning(lcApp) << "no channel selector in this build";
            return;
        }
        m_programSelector->setParent(this);
    }
    m_programSelector->setProperty("delegate", QVariant::fromValue(delegate));
    auto* navigation = new ORVNavigationController(m_programSelector);
    m_window->rootViewController()->presentModalViewController(navigation, true);
}

ViewController* AppDelegate::programSelector() const
{
    return m_programSelector;
}

void AppDelegate::dismissProgramSelector()
{
    if (!m_programSelector)
        return;
    if (NavigationController* stack = m_programSelector->navigationController())
        stack->dismissModalViewControllerAnimated(true);
}

// Widget channels ------------------------------------------------------------------------

void AppDelegate::setDefaultWidgetChannels()
{
    if (!m_isConnectionAvailable)
        return;
    ServiceCalls::sharedManager().getChannelRatingsWithCityId(m_userCityId,
                                                              Reply(this, &AppDelegate::onRatingsDone));
}

void AppDelegate::onRatingsDone(const QVariant& answer)
{
    if (!JsonValue::isMap(answer))
        return;
    const QVariantMap ratings = answer.toMap();
    struct Rated
    {
        QString key;
        float rating;
    };
    QList<Rated> rated;
    for (auto it = ratings.begin(); it != ratings.end(); ++it) {
        const QVariantList entry = JsonValue::list(it.value());
        rated.append({it.key(), float(entry.isEmpty() ? 0.0 : JsonValue::number(entry.first()))});
    }
    std::stable_sort(rated.begin(), rated.end(),
                     [](const Rated& a, const Rated& b) { return a.rating > b.rating; });
    QList<int> best;
    for (const Rated& channel : rated) {
        best.append(JsonValue::integer(channel.key));
        if (best.size() == WidgetChannelsFromRatings) {
            m_widgets.append(best);
            saveWidgetChannels();
            return;
        }
    }
}

void AppDelegate::addWidgetChannel(int channelId)
{
    m_widgets.add(channelId);
}

void AppDelegate::removeWidgetChannel(int channelId)
{
    m_widgets.remove(channelId);
}

void AppDelegate::saveWidgetChannels()
{
    if (!m_widgets.applyPending())
        return;
    Preferences::standard().setValue(PreferenceKeys::WidgetChannels, m_widgets.toVariantList());
    post(Notifications::ChangeWidgetChannels);
}

void AppDelegate::resetWidgetChannels()
{
    m_widgets.load(Preferences::standard().array(PreferenceKeys::WidgetChannels));
}

// Now-board priorities, local notifications ----------------------------------------------

void AppDelegate::changeNowPriority(const Notification&)
{
    Preferences::standard().setValue(PreferenceKeys::NowPriority, m_nowPriorityDict);
}

void AppDelegate::applicationDidReceiveLocalNotification(const QVariantMap& userInfo,
                                                         Application::State state)
{
    if (state == Application::State::Inactive)
        post(Notifications::LocalNotificationReceived, userInfo);
}
