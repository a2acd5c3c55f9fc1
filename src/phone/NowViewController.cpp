#include "NowViewController.h"

#include "social/TWViewController.h"
#include "widgets/SHKTwitter.h"

#include "ShowDetailsLink.h"
#include "WebContentViewController.h"

#include "core/AppDelegate.h"
#include "core/ORVNavigationController.h"
#include "model/Channel.h"
#include "model/Show.h"
#include "model/Utilities.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/ActionSheet.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/Images.h"
#include "ui/Window.h"

#include <QEvent>
#include <QLabel>
#include <QToolButton>
#include <QTransform>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <cmath>

namespace {

constexpr int RequestUnderWay = -2;
constexpr int IdentifyNow = -5;

QNetworkRequest pageRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(NowViewController::PageTimeoutMs);
    return request;
}

AppDelegate* app()
{
    return AppDelegate::shared();
}

} // namespace

NowViewController::NowViewController(QObject* parent)
    : ViewController(QStringLiteral("NowViewController_iPhone"), parent)
{
    setTitle(StringTable::localized("Now"));
    tabBarItem().title = title();
    tabBarItem().imageName = QStringLiteral("now_tab");
}

NowViewController::~NowViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

QNetworkRequest NowViewController::initialRequest()
{
    const int city = app() ? app()->userCityId() : -1;
    return pageRequest(ContentAddresses::nowPagePhone(city, Utilities::getDeviceUniqueID(), std::nullopt));
}

QNetworkRequest NowViewController::channelRequest(const Channel& channel, const QString& id)
{
    const int city = app() ? app()->userCityId() : -1;
    return pageRequest(
        ContentAddresses::nowPagePhone(city, Utilities::getDeviceUniqueID(),
                                       ContentAddresses::CurrentChannel{id, channel.isSelectedManually()}));
}

void NowViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    m_webViewNow = new WebView(view);
    m_webViewNow->setDelegate(this);
    layout->addWidget(m_webViewNow);
    m_overlay = new ActivityOverlay(view);
    setView(view);
}

void NowViewController::viewDidLoad()
{
    // Left: search, share, channel selector; right: refresh (its image turns).
    navigationItem()->setLeftBarButtonItems(
        {BarButtonItem::withImage(QStringLiteral("search_nav_bar_icon"), [this] { showSearchController(); }),
         BarButtonItem::withImage(QStringLiteral("tweet"), [this] { tweet(); }),
         BarButtonItem::withImage(QStringLiteral("ch_manual"), [this] {
             if (app())
                 app()->showProgramSelectorWithDelegate(this);
         })});
    m_refreshButton = new QToolButton;
    m_refreshButton->setAutoRaise(true);
    m_refreshButton->setIcon(Images::named(QStringLiteral("refresh")));
    m_refreshButton->setIconSize(QSize(22, 22));
    connect(m_refreshButton, &QToolButton::clicked, this, [this] { refresh(); });
    navigationItem()->setRightBarButtonItem(BarButtonItem::withCustomView(m_refreshButton));

    m_turn = new QVariantAnimation(this);
    m_turn->setStartValue(0.0);
    m_turn->setEndValue(360.0);
    m_turn->setDuration(1000);
    connect(m_turn, &QVariantAnimation::valueChanged, this, [this](const QVariant& angle) {
        if (!m_refreshButton)
            return;
        m_refreshAngle = std::fmod(angle.toDouble(), 360.0);
        const QPixmap image = Images::named(QStringLiteral("refresh"));
        m_refreshButton->setIcon(
            image.transformed(QTransform().rotate(m_refreshAngle), Qt::SmoothTransformation));
    });

    // Every handler runs on the main thread after the posting event (page loads are queued
    // there, so that a burst of notifications loads in posting order).
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const auto observe = [this, &center](NotificationName name, NotificationCenter::Handler handler) {
        center.observeOnMain(this, name, std::move(handler), NotificationCenter::OnMain::Queued);
    };
    observe(Notifications::ChannelChanged, [this](const Notification&) { channelChanged(); });
    for (NotificationName name : {Notifications::NowUpdate, Notifications::UpdateCityChanging})
        observe(name, [this](const Notification&) { nowUpdate(); });
    for (NotificationName name : {Notifications::StartGettingChannelInfo, Notifications::FpNotification})
        observe(name, [this](const Notification& n) { startAnimatingIndicator(&n); });
    for (NotificationName name : {Notifications::ChannelNotFound, Notifications::Idle})
        observe(name, [this](const Notification&) { loadInitialPage(); });
    observe(Notifications::InternetConnectionAvailable, [this](const Notification& n) {
        internetAvailable(JsonValue::boolean(n.userInfo.value(NotificationKeys::IsAvailable)));
    });

    m_noConnectionImgView = new QLabel(view());
    m_noConnectionImgView->setPixmap(Images::named(QStringLiteral("backgrerrscreen.png")));
    m_noConnectionImgView->setScaledContents(true);
    m_noConnectionImgView->hide();
    view()->installEventFilter(this);
    if (app() && app()->isConnectionAvailable())
        loadInitialPage();
    else
        internetAvailable(false);
}

void NowViewController::viewWillAppear(bool)
{
    placeNoConnectionPicture();
}

void NowViewController::placeNoConnectionPicture()
{
    if (m_noConnectionImgView)
        m_noConnectionImgView->setGeometry(0, 0, view()->width(), std::max(0, view()->height() - 80));
}

bool NowViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view() && event->type() == QEvent::Resize)
        placeNoConnectionPicture();
    return ViewController::eventFilter(watched, event);
}

int NowViewController::supportedInterfaceOrientations() const
{
    // Upright always; turned only while there is a connection.
    const bool connected = AppDelegate::shared() && AppDelegate::shared()->isConnectionAvailable();
    return Portrait | (connected ? LandscapeLeft | LandscapeRight : 0);
}

void NowViewController::viewWillDisappear(bool)
{
    stopTurning();
}

void NowViewController::stopTurning()
{
    if (m_turn)
        m_turn->stop();
    m_refreshAngle = 0;
    if (m_refreshButton)
        m_refreshButton->setIcon(Images::named(QStringLiteral("refresh")));
}

void NowViewController::showSearchController()
{
    if (!m_searchViewController) {
        m_searchViewController = new SearchViewController(this);
        m_searchViewController->setDelegate(this);
    }
    presentModalViewController(new ORVNavigationController(m_searchViewController), true);
}

void NowViewController::searchViewControllerDidFinish(SearchViewController*)
{
    dismissModalViewControllerAnimated(true);
}

void NowViewController::cSelectorViewControllerDidFinish(CSelectorViewController*)
{
    if (app())
        app()->dismissProgramSelector();
}

bool NowViewController::isShowingNoConnection() const
{
    return m_noConnectionImgView && !m_noConnectionImgView->isHidden();
}

void NowViewController::loadInitialPage()
{
    view();
    m_lastFoundChannelId = NoChannel;
    m_webViewNow->loadRequest(initialRequest());
}

void NowViewController::channelChanged()
{
    view();
    const std::shared_ptr<Channel> channel = app() ? app()->selectedChannel() : nullptr;
    if (!channel)
        return;
    const int id = channel->channelId().toInt();
    if (id == m_lastFoundChannelId && !channel->isSelectedManually())
        return; // an identification confirming the page shown
    if (id == 0)
        return;
    m_lastFoundChannelId = id;
    stopRequestTimer();
    const QNetworkRequest request =
        channelRequest(*channel, Utilities::stringLocalIdFromMap(channel->channelId()));
    if (m_webViewNow->isLoading())
        startTimerWithRequest(request);
    else
        m_webViewNow->loadRequest(request);
}

void NowViewController::nowUpdate()
{
    view();
    const std::shared_ptr<Channel> channel = app() ? app()->selectedChannel() : nullptr;
    if (!channel) {
        loadInitialPage();
        return;
    }
    m_lastFoundChannelId = channel->channelId().toInt();
    if (!m_webViewNow->isLoading())
        m_webViewNow->loadRequest(channelRequest(*channel, channel->channelId()));
}

void NowViewController::stopRequestTimer()
{
    if (m_timerLoadRequest) {
        m_timerLoadRequest->stop();
        m_timerLoadRequest->deleteLater();
    }
    m_timerLoadRequest = nullptr;
}

void NowViewController::startTimerWithRequest(const QNetworkRequest& request)
{
    m_timerLoadRequest = new QTimer(this);
    m_timerLoadRequest->setSingleShot(true);
    connect(m_timerLoadRequest, &QTimer::timeout, this, [this, request] {
        if (m_webViewNow->isLoading())
            m_webViewNow->stopLoading();
        m_webViewNow->loadRequest(request);
        stopRequestTimer();
    });
    m_timerLoadRequest->start(DeferMs);
}

void NowViewController::internetAvailable(bool available)
{
    view();
    if (available) {
        m_noConnectionImgView->hide();
        loadInitialPage();
        return;
    }
    // Held upright the picture stands in for the page; turned, an alert says it. The
    // window tells the device's orientation (the view may not be laid out yet).
    const QWidget* window =
        Window::keyWindow() ? static_cast<QWidget*>(Window::keyWindow()) : view()->window();
    if (window->height() >= window->width() || window == view()) {
        placeNoConnectionPicture();
        m_noConnectionImgView->show();
        m_noConnectionImgView->raise();
    } else {
        showConnectionAlert();
    }
}

void NowViewController::showConnectionAlert()
{
    (new AlertView(StringTable::localized("Connection Error"),
                   StringTable::localized("Cannot connect to Orvane services. Check the connection."),
                   nullptr, {}, StringTable::localized("OK")))
        ->show();
}

void NowViewController::refresh()
{
    NotificationCenter::defaultCenter().post(Notifications::CoreFingerPrint, nullptr,
                                             {{NotificationKeys::ResultSearch, IdentifyNow}});
    startAnimatingIndicator(nullptr);
}

void NowViewController::startAnimatingIndicator(const Notification* notification)
{
    if (!notification || !notification->userInfo.contains(NotificationKeys::ResultSearch))
        return;
    if (JsonValue::integer(notification->userInfo.value(NotificationKeys::ResultSearch)) != RequestUnderWay ||
        !m_turn)
        return;
    ++m_refreshTurns; // one full turn for each request sent
    m_turn->stop();
    m_turn->start();
}

void NowViewController::tweet()
{
    if (!app() || !app()->isConnectionAvailable()) {
        showConnectionAlert();
        return;
    }
    auto* sheet = new ActionSheet(
        QString(), this,
        [](ActionSheet*, int index) {
            if (index == 0)
                SHKTwitter::shareItem(SHKItem::itemWithText(TWViewController::watchingText()));
        },
        StringTable::localized("Cancel"), {StringTable::localized("Share a tweet")});
    sheet->setTag(1);
    sheet->showInView(view());
}

bool NowViewController::webViewShouldStartLoadWithRequest(WebView* webView, const QNetworkRequest& request,
                                                          WebView::NavigationType)
{
    if (app() && !app()->isConnectionAvailable())
        return false;
    if (!webView->hasRequest())
        return true;
    const QString address = request.url().toString();
    if (ShowDetailsLink::isShowLink(address)) {
        openShowDetailsView(address);
        return false;
    }
    if (address.contains(ServiceCalls::baseUrl()) && !ContentAddresses::isScreenshotPage(address))
        return true;
    WebContentViewController::open(this, request.url());
    return false;
}

void NowViewController::webViewDidStartLoad(WebView*)
{
    m_overlay->displayActivity(StringTable::localized("Loading"));
}

void NowViewController::webViewDidFinishLoad(WebView*)
{
    m_overlay->hide();
    if (!m_doStuffOnLaunch)
        return;
    m_doStuffOnLaunch = false;
    auto* alert = new AlertView(StringTable::localized("Choose your city"),
                                StringTable::localized("For additional details choose your city."), app(),
                                [](AlertView* alert, int index) {
                                    if (AppDelegate* delegate = app())
                                        delegate->alertViewDidDismissWithButtonIndex(alert, index);
                                },
                                StringTable::localized("Later"), {StringTable::localized("Choose")});
    alert->setTag(CityQuestionTag);
    alert->show();
}

void NowViewController::webViewDidFailLoadWithError(WebView*, const Error& error)
{
    qInfo("now page: %s", qPrintable(error.localizedDescription()));
    m_overlay->hide();
    if (app())
        app()->startIdleTimer();
}

void NowViewController::openShowDetailsView(const QString& showUrl)
{
    ShowDetailsLink::open(this, showUrl);
}
