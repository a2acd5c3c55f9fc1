// The Now screen against a fake content server: which page it asks for and when, where the
// links of a page go, the refresh turns, the city question, and pages that fail.
#include "FakeHttpServer.h"
#include "NotificationRecorder.h"
#include "TestHome.h"

#include "core/AppDelegate.h"
#include "core/ORVNavigationController.h"
#include "model/Channel.h"
#include "phone/NowViewController.h"
#include "phone/ShowDetailsViewController.h"
#include "phone/WebContentViewController.h"
#include "platform/HttpFetcher.h"
#include "platform/NotificationCenter.h"
#include "platform/ServerConfig.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/Window.h"

#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QTest>
#include <QTimer>

namespace {

const std::string Page = "<html><body><h1>Сейчас</h1>"
                         "<a href='orvane://progdetails/20261207/5/77'>Кино</a>"
                         "<a href='/searchcontent/now.php?v=2&amp;i=9'>Девятый</a>"
                         "<a href='/searchcontent/get_screenshot_urls.php?i=5'>Кадры</a>"
                         "<a href='http://example.org/wiki'>Вики</a></body></html>";

std::shared_ptr<Channel> channel(const QString& id, bool manually)
{
    auto c = std::make_shared<Channel>();
    c->setChannelId(id);
    c->setIsSelectedManually(manually);
    return c;
}

} // namespace

class TestNowScreen : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<FakeHttpServer> content;
    std::unique_ptr<AppDelegate> app;
    QPointer<ORVNavigationController> stack;
    NowViewController* now = nullptr;

    size_t pageRequests() const
    {
        size_t count = 0;
        for (const std::string& target : content->targets())
            count += target.find("/searchcontent/now.php") == 0 ? 1 : 0;
        return count;
    }
    std::string lastPage() const
    {
        std::string last;
        for (const std::string& target : content->targets())
            if (target.find("/searchcontent/now.php") == 0)
                last = target;
        return last;
    }
    // Makes the channel current the way the application controller does, and lets its
    // "channelChanged" reach the screen. (The controller keeps the id of a channel chosen
    // by hand; the kind is set afterwards.)
    std::shared_ptr<Channel> select(const QString& id, bool manually)
    {
        std::shared_ptr<Channel> current = channel(id, true);
        app->setSelectedChannel(current);
        current->setIsSelectedManually(manually);
        QTest::qWait(50);
        return current;
    }
    bool allows(const QString& address)
    {
        return now->webViewShouldStartLoadWithRequest(now->webViewNow(), QNetworkRequest(QUrl(address)),
                                                      WebView::LinkClicked);
    }

private Q_SLOTS:
    void init()
    {
        home = std::make_unique<TestHome>();
        content = std::make_unique<FakeHttpServer>();
        content->on("/searchcontent/now.php", FakeHttpServer::Response::text(Page, 200));
        ServerConfig::setContentHost(content->hostWithPort());
        app = std::make_unique<AppDelegate>(AppSeams{});
        app->setIsConnectionAvailable(true);
        now = new NowViewController;
        now->setDoStuffOnLaunch(false);
        stack = new ORVNavigationController(now);
        stack->view()->resize(390, 700);
        stack->view()->show(); // laid out as on a phone held upright
        stack->beginAppearance(true, false);
        stack->endAppearance(true, false);
        QVERIFY(content->waitForRequests(1));
        QTRY_VERIFY(!now->webViewNow()->isLoading());
    }
    void cleanup()
    {
        for (AlertView* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        delete stack;
        app.reset();
        content.reset();
        home.reset();
    }

    void theGeneralPageComesFirst()
    {
        QCOMPARE(now->lastFoundChannelId(), NowViewController::NoChannel);
        const std::string target = lastPage();
        QVERIFY2(target.find("v=2&d=") != std::string::npos, target.c_str());
        QVERIFY2(target.find("city=") == std::string::npos, target.c_str()); // city -1: none sent
        QVERIFY(now->webViewNow()->toPlainText().contains("Сейчас"));
    }

    void linksGoWhereTheyBelong()
    {
        const QString base = QStringLiteral("http://%1/searchcontent/").arg(content->hostWithPort());
        QVERIFY(!allows("orvane://progdetails/20261207/5/77"));
        QCOMPARE(stack->topViewController()->nibName(), QStringLiteral("ShowDetailsViewController_iPhone"));
        QCOMPARE(qobject_cast<ShowDetailsViewController*>(stack->topViewController())->showUrl(),
                 QStringLiteral("orvane://progdetails/20261207/5/77"));
        QVERIFY(stack->topViewController()->hidesBottomBarWhenPushed());
        stack->popToRootViewControllerAnimated(false);

        QVERIFY(allows(base + "now.php?v=2&i=9")); // the content server's pages, in place
        for (const QString& outside :
             {QString(base + "get_screenshot_urls.php?i=5"), QStringLiteral("http://example.org/wiki"),
              QStringLiteral("mailto:someone@example.org")}) {
            QVERIFY(!allows(outside));
            auto* browser = qobject_cast<WebContentViewController*>(stack->topViewController());
            QVERIFY2(browser, qPrintable(outside));
            QCOMPARE(browser->url(), QUrl(outside));
            stack->popToRootViewControllerAnimated(false);
        }
        // The browser asked the movie site not to send its app-store page.
        bool cookie = false;
        for (const QNetworkCookie& c :
             HttpFetcher::sharedCookieStorage()->cookiesForUrl(QUrl("https://www.kinopoisk.ru/")))
            cookie = cookie || (c.name() == "IGNORE_APPSTORE_LINK" && c.value() == "1");
        QVERIFY(cookie);

        app->setIsConnectionAvailable(false);
        QVERIFY(!allows(base + "now.php?v=2&i=9")); // nothing while offline
        QCOMPARE(stack->viewControllers().size(), 1);
    }

    void theCurrentChannelIsFollowed()
    {
        // Identified channel 7: its page. Confirmed again: no reload. Chosen by hand: reload.
        const std::shared_ptr<Channel> seven = select("7", false);
        QTRY_COMPARE(pageRequests(), size_t(2));
        QVERIFY2(lastPage().find("m=0&d=") != std::string::npos &&
                     lastPage().find("&i=7") != std::string::npos,
                 lastPage().c_str());
        QCOMPARE(now->lastFoundChannelId(), 7);
        QTRY_VERIFY(!now->webViewNow()->isLoading());
        now->channelChanged();
        QTest::qWait(200);
        QCOMPARE(pageRequests(), size_t(2));
        seven->setIsSelectedManually(true);
        now->channelChanged();
        QTRY_COMPARE(pageRequests(), size_t(3));
        QVERIFY(lastPage().find("m=1&") != std::string::npos);
        QTRY_VERIFY(!now->webViewNow()->isLoading());

        // Channel 0 is no channel.
        select("0", false);
        QCOMPARE(now->lastFoundChannelId(), 7);
        QCOMPARE(pageRequests(), size_t(3));
    }

    void changesDuringALoadWaitAndOnlyTheLastCounts()
    {
        content->on("/searchcontent/now.php", [](const FakeHttpServer::Request&) {
            FakeHttpServer::Response slow = FakeHttpServer::Response::text(Page, 200);
            slow.delayMs = 7000;
            return slow;
        });
        now->loadInitialPage();
        QTRY_COMPARE(pageRequests(), size_t(2));
        QVERIFY(now->webViewNow()->isLoading());
        select("3", false);
        QVERIFY(now->hasDeferredRequest());
        select("4", false);
        QTest::qWait(2000);
        QCOMPARE(pageRequests(), size_t(2)); // nothing yet
        content->on("/searchcontent/now.php", FakeHttpServer::Response::text(Page, 200));
        QTRY_COMPARE_WITH_TIMEOUT(pageRequests(), size_t(3), 6000);
        QVERIFY2(lastPage().find("&i=4") != std::string::npos, lastPage().c_str());
        QVERIFY(!now->hasDeferredRequest());
        QTest::qWait(300);
        QCOMPARE(pageRequests(), size_t(3)); // channel 3's request was dropped

        // A clock change while a page loads reloads nothing.
        content->on("/searchcontent/now.php", [](const FakeHttpServer::Request&) {
            FakeHttpServer::Response slow = FakeHttpServer::Response::text(Page, 200);
            slow.delayMs = 1500;
            return slow;
        });
        now->loadInitialPage();
        QTRY_COMPARE(pageRequests(), size_t(4));
        now->nowUpdate();
        QTest::qWait(300);
        QCOMPARE(pageRequests(), size_t(4));
    }

    void theRefreshImageTurnsOncePerRequest()
    {
        NotificationRecorder recorder({Notifications::CoreFingerPrint});
        now->refresh();
        QCOMPARE(recorder.count("notificationCoreFingerPrint"), 1);
        QCOMPARE(
            recorder.last("notificationCoreFingerPrint").notification.userInfo.value("resultSearch").toInt(),
            -5);
        QCOMPARE(now->refreshTurns(), 0);
        for (const int result : {-2, 5, -4, -2, -1}) {
            NotificationCenter::defaultCenter().post(Notifications::FpNotification, nullptr,
                                                     {{"resultSearch", result}});
        }
        NotificationCenter::defaultCenter().post(Notifications::StartGettingChannelInfo);
        QTRY_COMPARE(now->refreshTurns(), 2);
    }

    void leavingMidTurnLeavesTheImageUpright()
    {
        NotificationCenter::defaultCenter().post(Notifications::FpNotification, nullptr,
                                                 {{NotificationKeys::ResultSearch, -2}});
        QTRY_VERIFY(now->refreshAngle() > 0);
        stack->beginAppearance(false, false);
        stack->endAppearance(false, false);
        QCOMPARE(now->refreshAngle(), 0.0);
        QTest::qWait(50); // no frame of the stopped turn comes after
        QCOMPARE(now->refreshAngle(), 0.0);
    }

    void theSearchScreenIsMadeOnceAndKept()
    {
        auto window = std::make_unique<Window>(QSize(390, 844));
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
        now->showSearchController();
        QCOMPARE(window->modalViewControllers().size(), 1);
        auto* first = qobject_cast<ORVNavigationController*>(window->modalViewControllers().first());
        QVERIFY(first);
        QPointer<ViewController> search = first->topViewController();
        QCOMPARE(search->nibName(), QStringLiteral("SearchViewController_iPhone"));
        QPointer<QWidget> searchView = search->view();
        now->dismissModalViewControllerAnimated(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the stack goes
        QVERIFY(search && searchView);
        now->showSearchController();
        auto* second = qobject_cast<ORVNavigationController*>(window->modalViewControllers().first());
        QVERIFY(second);
        QCOMPARE(second->topViewController(), search.data());
        QCOMPARE(search->view(), searchView.data());
        now->dismissModalViewControllerAnimated(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(search);
        // The test's stack goes back to the test.
        window->setRootViewController(nullptr);
        stack->setParent(nullptr);
        stack->view()->setParent(nullptr);
    }

    void theCityQuestionComesOnceAfterAPage()
    {
        now->setDoStuffOnLaunch(true);
        now->loadInitialPage();
        QTRY_COMPARE(AlertView::visibleAlerts().size(), 1);
        QCOMPARE(AlertView::visibleAlerts().first()->tag(), NowViewController::CityQuestionTag);
        QVERIFY(!now->doStuffOnLaunch());
        AlertView::visibleAlerts().first()->dismissWithClickedButtonIndex(0, false);
        now->loadInitialPage();
        QTRY_VERIFY(!now->webViewNow()->isLoading());
        QTest::qWait(100);
        QCOMPARE(AlertView::visibleAlerts().size(), 0);
    }

    void failingPagesEndTheLoadAndStartTheIdleTimer()
    {
        select("5", true); // a channel chosen by hand: the idle timer runs
        QTRY_VERIFY(!now->webViewNow()->isLoading());
        for (const FakeHttpServer::Response& bad :
             {FakeHttpServer::Response::text("gone", 404),
              FakeHttpServer::Response::text(std::string(5 << 20, 'x'), 200)}) {
            content->on("/searchcontent/now.php", bad);
            if (app->idleTimer())
                app->idleTimer()->stop();
            now->loadInitialPage();
            QTRY_VERIFY(!now->webViewNow()->isLoading());
            QVERIFY(app->idleTimer() && app->idleTimer()->isActive());
            QVERIFY(!now->view()->findChild<ActivityOverlay*>()->isDisplaying());
        }
        // Not markup: shown as text.
        content->on("/searchcontent/now.php",
                    FakeHttpServer::Response::text("\x01\x02 plain \xff", 200, "application/octet-stream"));
        now->loadInitialPage();
        QTRY_VERIFY(!now->webViewNow()->isLoading());
        QVERIFY(now->webViewNow()->toPlainText().contains("plain"));
    }

    void withoutAConnectionThePictureStandsIn()
    {
        // The application controller's "internetConnectionAvailable" drives the screen.
        app->setIsConnectionAvailable(false);
        QTRY_VERIFY(now->isShowingNoConnection());
        const size_t before = pageRequests();
        app->setIsConnectionAvailable(true);
        QTRY_VERIFY(!now->isShowingNoConnection());
        QTRY_VERIFY(pageRequests() > before); // the general page again
        QCOMPARE(now->lastFoundChannelId(), NowViewController::NoChannel);
    }
};

QTEST_MAIN(TestNowScreen)
#include "tst_nowscreen.moc"
