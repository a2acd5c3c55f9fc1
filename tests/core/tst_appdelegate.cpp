#include "FakeHttpServer.h"
#include "NotificationRecorder.h"
#include "TestHome.h"

#include "core/AppDelegate.h"
#include "core/ORVNavigationController.h"
#include "model/Channel.h"
#include "model/Show.h"
#include "model/Utilities.h"
#include "platform/Device.h"
#include "platform/Preferences.h"
#include "platform/Reachability.h"
#include "platform/ServerConfig.h"
#include "ui/AlertView.h"
#include "ui/NavigationBar.h"
#include "ui/TabBarController.h"
#include "ui/Window.h"
#include "widgets/Popover.h"
#include "widgets/StackedPanesController.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <thread>

namespace {

const QString Moscow = QStringLiteral("Москва");
const QList<NotificationName> Watched = {Notifications::ChannelChanged,
                                         Notifications::Idle,
                                         Notifications::InternetConnectionAvailable,
                                         Notifications::StartGettingChannelInfo,
                                         Notifications::UpdateCityChanging,
                                         Notifications::ChangeWidgetChannels,
                                         Notifications::NowUpdate,
                                         Notifications::ChannelNotFound,
                                         Notifications::ProgramUpdate,
                                         Notifications::ShowDetailsUpdate,
                                         Notifications::LocalNotificationReceived};

std::string ratingsJson(int channels)
{
    std::string json = "{";
    for (int id = 1; id <= channels; ++id) {
        // Ratings rise with the id, except that id 3 is the best of all.
        const double rating = id == 3 ? 99.0 : id * 1.5;
        if (id > 1)
            json += ',';
        json += QStringLiteral("\"%1\":[%2,\"x\"]").arg(id).arg(rating).toStdString();
    }
    return json + "}";
}

std::string dynamicInfo(const std::string& name)
{
    return R"({"ch":")" + name +
           R"(","icon":"/logo/7.png","t":1,"slogan":"s","0":{"flag":1},"ev":123,)"
           R"("prg":"Новости","pdate":"20261207"})";
}

std::shared_ptr<Channel> handPicked(const QString& id)
{
    auto channel = Channel::initWithArray({"Hand", "/l.png", true, 1, true, ""});
    channel->setChannelId(id);
    channel->setIsSelectedManually(true);
    return channel;
}

// A launch of the application controller against a fake content server.
struct Launch
{
    TestHome home;
    FakeHttpServer server;
    NotificationRecorder notifications{Watched};
    int identificationStarts = 0;
    QList<int> cityChooserIds;
    int channelSelectorsMade = 0;
    std::unique_ptr<AppDelegate> app;

    explicit Launch(Device::Idiom idiom = Device::Idiom::Phone)
    {
        Device::setIdiom(idiom);
        ServerConfig::setContentHost(server.hostWithPort());
        server.on("/searchcontent/messages/now.php", [](const FakeHttpServer::Request&) {
            return FakeHttpServer::Response::json(
                "{\"timestamp_gmt\":" + std::to_string(QDateTime::currentSecsSinceEpoch()) + "}");
        });
        server.on("/searchcontent/get_channel_city_map_list.php",
                  FakeHttpServer::Response::json(R"({"map":{"27":"5","7":"7"}})"));
        server.on("/searchcontent/get_channel_rating.php", FakeHttpServer::Response::json(ratingsJson(20)));
        server.on("/searchcontent/get_channel_info.php",
                  FakeHttpServer::Response::json(dynamicInfo("Первый")));
    }

    AppDelegate* start()
    {
        AppSeams seams;
        seams.startIdentification = [this] { ++identificationStarts; };
        seams.createPhoneRoot = [](PhoneTab tab) { return new ViewController(phoneTabNibName(tab)); };
        seams.createTabletRoot = [] { return new ViewController("ORVRootController"); };
        seams.createCityChooser = [this](int last) {
            cityChooserIds << last;
            return new ViewController("CityChooseViewController");
        };
        seams.createChannelSelector = [this] {
            ++channelSelectorsMade;
            return new ViewController("CSelectorViewController_iPhone");
        };
        app = std::make_unique<AppDelegate>(seams);
        app->applicationDidFinishLaunchingWithOptions();
        return app.get();
    }

    // Puts a show, a programme and a channel list into the file caches.
    static void seedCaches()
    {
        QVERIFY(Utilities::saveShowData(QVariantMap{{"title", "x"}}, "99"));
        QVERIFY(Utilities::saveChannProgramData(QVariantMap{{"1", QVariantMap()}}, "5",
                                                QDateTime::currentDateTime()));
        QVERIFY(Utilities::saveChannelsData(QVariantMap{{"cc", QVariantList()}}));
    }
    // Whether the show and programme caches are empty; the channel list is never cleared.
    static bool cachesCleared()
    {
        return Utilities::fileNames().isEmpty() &&
               QDir(Utilities::programsPathWithDate(std::nullopt)).isEmpty() && Utilities::getChannelsData();
    }

    int requestsTo(const std::string& prefix) const
    {
        int count = 0;
        for (const std::string& target : server.targets())
            count += target.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }

    // Posts an identification result the way the loop does: on a thread of its own.
    static void identify(const QVariant& result)
    {
        QVariantMap info;
        if (result.isValid())
            info.insert("resultSearch", result);
        std::thread loop([info] {
            NotificationCenter::defaultCenter().post(Notifications::FpNotification, nullptr, info);
        });
        loop.join();
    }
};

int secondsOf(QTimer* timer)
{
    return timer ? timer->interval() / 1000 : -1;
}

} // namespace

class TestAppDelegate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstLaunchStoresItsDefaults()
    {
        Launch launch;
        Launch::seedCaches();
        AppDelegate* app = launch.start();
        QVERIFY(!Launch::cachesCleared()); // the first launch is not a new day
        Preferences& defaults = Preferences::standard();
        QCOMPARE(defaults.string("FIRST_LAUNCH"), QStringLiteral("IS_NOT"));
        QCOMPARE(defaults.integer("CITY_ID"), 1);
        QCOMPARE(defaults.string("CITY_NAME"), Moscow);
        QVERIFY(defaults.contains("WIDGET_CHANNS"));
        const QVariantMap priorities = defaults.dictionary("NOW_PRIORITY");
        QCOMPARE(priorities.value("now_favor_priority").toInt(), 0);
        QCOMPARE(priorities.value("now_watched_priority").toInt(), 1);
        QCOMPARE(priorities.value("now_rating_priority").toInt(), 2);
        QCOMPARE(defaults.string("APP_LAUNCH_DATE_STRING"),
                 Utilities::stringFromDate(QDateTime::currentDateTime()));
        QCOMPARE(app->userCityId(), 1);
        QCOMPARE(app->userCityName(), Moscow);
        QCOMPARE(app->foundChannelId(), -4);
        // The connection is checked off the main thread: it counts as absent until the first
        // answer, which arrives as a change (one notification, then the server time).
        QVERIFY(!app->isConnectionAvailable());
        QTRY_VERIFY(app->isConnectionAvailable());
        QVERIFY(!app->isBlockPortraitOrientation());
        QCOMPARE(launch.notifications.count("internetConnectionAvailable"), 1);
        QTRY_COMPARE(launch.requestsTo("/searchcontent/messages/now.php"), 1);
        QCOMPARE(launch.identificationStarts, 1);
        QCOMPARE(secondsOf(app->checkConnectionTimer()), 20);
        QVERIFY(app->checkConnectionTimer()->isActive() && !app->checkConnectionTimer()->isSingleShot());
        QVERIFY(app->idleTimer() == nullptr);

        // The map list of city 1 is asked for and its answer installed.
        QTRY_COMPARE(app->mapListDict().value("27").toString(), QStringLiteral("5"));
        QCOMPARE(launch.requestsTo("/searchcontent/get_channel_city_map_list.php?city=1"), 1);
        QCOMPARE(defaults.dictionary("CITY_MAP_LIST").value("27").toString(), QStringLiteral("5"));
        QTRY_COMPARE(launch.notifications.count("updateCityChanging"), 1);
        QVERIFY(Launch::cachesCleared()); // the map list cleared them
    }

    void aStoredCityOfZeroMeansMoscowWithoutTouchingTheStore()
    {
        Launch launch;
        Preferences& defaults = Preferences::standard();
        defaults.setValue("FIRST_LAUNCH", "IS_NOT");
        defaults.setValue("CITY_ID", 0);
        defaults.setValue("CITY_NAME", "Nowhere");
        defaults.setValue("CITY_MAP_LIST", QVariantMap{{"27", "9"}});
        defaults.setValue("WIDGET_CHANNS", QVariantList{4, 8});
        defaults.setValue("APP_LAUNCH_DATE_STRING", Utilities::stringFromDate(QDateTime::currentDateTime()));
        Launch::seedCaches();
        AppDelegate* app = launch.start();
        QCOMPARE(app->userCityId(), 1);
        QCOMPARE(app->userCityName(), Moscow);
        QVERIFY(app->mapListDict().isEmpty());
        QCOMPARE(defaults.integer("CITY_ID"), 0);
        QCOMPARE(defaults.string("CITY_NAME"), QStringLiteral("Nowhere"));
        QCOMPARE(app->widgetChannels(), (QList<int>{4, 8}));
        QTest::qWait(100);
        QCOMPARE(launch.requestsTo("/searchcontent/get_channel_city_map_list.php"), 0);
        QCOMPARE(launch.requestsTo("/searchcontent/get_channel_rating.php"), 0); // the list is not empty
        QVERIFY(!Launch::cachesCleared());                                       // same day
    }

    void aStoredCityLoadsItsStoredMap()
    {
        Launch launch;
        Preferences& defaults = Preferences::standard();
        defaults.setValue("FIRST_LAUNCH", "IS_NOT");
        defaults.setValue("CITY_ID", 5);
        defaults.setValue("CITY_NAME", "Казань");
        defaults.setValue("CITY_MAP_LIST", QVariantMap{{"27", "9"}});
        defaults.setValue("APP_LAUNCH_DATE_STRING", "20000101");
        Launch::seedCaches();
        AppDelegate* app = launch.start();
        QCOMPARE(app->userCityId(), 5);
        QCOMPARE(app->userCityName(), QStringLiteral("Казань"));
        QCOMPARE(app->mapListDict().value("27").toString(), QStringLiteral("9"));
        // A new day cleared the show and programme caches and stored the day.
        QVERIFY(Launch::cachesCleared());
        QCOMPARE(defaults.string("APP_LAUNCH_DATE_STRING"),
                 Utilities::stringFromDate(QDateTime::currentDateTime()));
    }

    void serverTimeOffsetIsWholeHours_data()
    {
        QTest::addColumn<int>("deviceAheadSeconds");
        QTest::addColumn<double>("offset");
        // Exact half hours are decided in the model's tests; here the answer travels the network.
        QTest::newRow("+3h20") << (3 * 3600 + 20 * 60) << 10800.0;
        QTest::newRow("+3h31") << (3 * 3600 + 31 * 60) << 14400.0;
        QTest::newRow("-3h31") << -(3 * 3600 + 31 * 60) << -14400.0;
        QTest::newRow("-10 min") << -600 << 0.0;
    }
    void serverTimeOffsetIsWholeHours()
    {
        QFETCH(int, deviceAheadSeconds);
        QFETCH(double, offset);
        Launch launch;
        launch.server.on("/searchcontent/messages/now.php", [deviceAheadSeconds](
                                                                const FakeHttpServer::Request&) {
            // The server's clock as a numeric text, as some servers send it.
            const qint64 server = QDateTime::currentSecsSinceEpoch() - deviceAheadSeconds;
            return FakeHttpServer::Response::json("{\"timestamp_gmt\":\"" + std::to_string(server) + "\"}");
        });
        AppDelegate* app = launch.start();
        QTRY_COMPARE(app->roundedServerTimeDifference(), offset);
    }

    void anUnusableServerTimeKeepsTheOffset()
    {
        Launch launch;
        launch.server.on("/searchcontent/messages/now.php", FakeHttpServer::Response::json("{\"time\": 5}"));
        AppDelegate* app = launch.start();
        QTRY_COMPARE(launch.requestsTo("/searchcontent/messages/now.php"), 1);
        QTest::qWait(100);
        QCOMPARE(app->roundedServerTimeDifference(), 0.0);
    }

    void identificationMakesTheChannelCurrent()
    {
        Launch launch;
        AppDelegate* app = launch.start();
        Launch::identify(7);
        QTRY_COMPARE(launch.notifications.count("channelChanged"), 1);
        QCOMPARE(launch.notifications.count("startGettingChannelInfo"), 1);
        QCOMPARE(launch.notifications.last("channelChanged").thread, QThread::currentThread());
        QCOMPARE(launch.requestsTo("/searchcontent/get_channel_info.php?p&i=7"), 1);
        std::shared_ptr<Channel> channel = app->selectedChannel();
        QVERIFY(channel);
        QCOMPARE(channel->channelId(), QStringLiteral("7"));
        QCOMPARE(channel->name(), QStringLiteral("Первый"));
        QVERIFY(channel->isTV());
        QVERIFY(channel->isAutoDetection());
        QCOMPARE(channel->categoryId(), 1);
        QVERIFY(!channel->isSelectedManually());
        QVERIFY(channel->currentShow());
        QCOMPARE(channel->currentShow()->showId, QStringLiteral("123"));
        QCOMPARE(channel->currentShow()->name, QStringLiteral("Новости"));
        QCOMPARE(channel->currentShow()->pDate, QStringLiteral("20261207"));
        QCOMPARE(channel->currentShow()->channelId, QStringLiteral("7"));
        QCOMPARE(app->foundChannelId(), 7);
        QCOMPARE(secondsOf(app->idleTimer()), 120);
        QVERIFY(app->idleTimer()->isSingleShot());

        // The same id again only restarts the idle timer.
        QTimer* before = app->idleTimer();
        Launch::identify(7.0);
        QTRY_VERIFY(app->idleTimer() != before);
        QCOMPARE(secondsOf(app->idleTimer()), 120);
        QTest::qWait(50);
        QCOMPARE(launch.requestsTo("/searchcontent/get_channel_info.php"), 1);
        QCOMPARE(launch.notifications.count("channelChanged"), 1);

        // A different id asks again and replaces the channel.
        launch.server.on("/searchcontent/get_channel_info.php",
                         FakeHttpServer::Response::json(dynamicInfo("Второй")));
        Launch::identify("9");
        QTRY_COMPARE(launch.notifications.count("channelChanged"), 2);
        QCOMPARE(app->selectedChannel()->name(), QStringLiteral("Второй"));
        QCOMPARE(app->selectedChannel()->channelId(), QStringLiteral("9"));
    }

    void resultsBelowOneAndMissingResultsChangeNothing()
    {
        Launch launch;
        AppDelegate* app = launch.start();
        for (const QVariant& result : {QVariant(0), QVariant(-2), QVariant(-4), QVariant(-5), QVariant()})
            Launch::identify(result);
        QTest::qWait(150);
        QVERIFY(app->idleTimer() == nullptr);
        QCOMPARE(launch.requestsTo("/searchcontent/get_channel_info.php"), 0);
        QCOMPARE(launch.notifications.count("startGettingChannelInfo"), 0);
    }

    void channelInfoThatIsNotADictionaryIsIgnored()
    {
        Launch launch;
        launch.server.on("/searchcontent/get_channel_info.php", FakeHttpServer::Response::json("[1, 2]"));
        AppDelegate* app = launch.start();
        Launch::identify(7);
        QTRY_COMPARE(launch.requestsTo("/searchcontent/get_channel_info.php"), 1);
        QTest::qWait(100);
        QVERIFY(!app->selectedChannel());
        QCOMPARE(launch.notifications.count("channelChanged"), 0);
        QCOMPARE(secondsOf(app->idleTimer()), 120); // the result itself still restarted the timer
    }

    void idleTimerDurationsByIdiomAndPath_data()
    {
        QTest::addColumn<bool>("tablet");
        QTest::addColumn<int>("afterIdentification");
        QTest::addColumn<int>("afterHandChoice");
        QTest::newRow("phone") << false << 120 << 240;
        QTest::newRow("tablet") << true << 45 << 40;
    }
    void idleTimerDurationsByIdiomAndPath()
    {
        QFETCH(bool, tablet);
        QFETCH(int, afterIdentification);
        QFETCH(int, afterHandChoice);
        Launch launch(tablet ? Device::Idiom::Tablet : Device::Idiom::Phone);
        AppDelegate* app = launch.start();
        app->startIdleTimer(); // no timer yet: nothing
        QVERIFY(app->idleTimer() == nullptr);
        app->setSelectedChannel(handPicked("12"));
        QCOMPARE(secondsOf(app->idleTimer()), afterHandChoice);
        QCOMPARE(app->selectedChannel()->channelId(), QStringLiteral("12")); // a hand choice keeps its id
        Launch::identify(7);
        QTRY_COMPARE(launch.notifications.count("channelChanged"), 2);
        QCOMPARE(secondsOf(app->idleTimer()), afterIdentification);
        app->startIdleTimer();
        QCOMPARE(secondsOf(app->idleTimer()), 120);

        // The timer forgets the channel.
        app->idleTimer()->start(10);
        QTRY_COMPARE(launch.notifications.count("idle"), 1);
        QVERIFY(!app->selectedChannel());
        QCOMPARE(app->foundChannelId(), -4);
    }

    void theSameChannelIdIsNotMadeCurrentTwice()
    {
        Launch launch;
        AppDelegate* app = launch.start();
        app->setSelectedChannel(handPicked("12"));
        QTimer* timer = app->idleTimer();
        app->setSelectedChannel(handPicked("12"));
        QCOMPARE(launch.notifications.count("channelChanged"), 1);
        QCOMPARE(app->idleTimer(), timer);
    }

    void popUpOnlyOnTheTabletAndOnlyForTwoSeconds()
    {
        {
            Launch launch(Device::Idiom::Phone);
            AppDelegate* app = launch.start();
            Launch::identify(7);
            QTRY_COMPARE(launch.notifications.count("channelChanged"), 1);
            QTest::qWait(50);
            QVERIFY(!app->popover());
        }
        Launch launch(Device::Idiom::Tablet);
        AppDelegate* app = launch.start();
        Launch::identify(7);
        QTRY_VERIFY(app->popover() && app->popover()->isPopoverVisible());
        QElapsedTimer shown;
        shown.start();
        auto* label = qobject_cast<QLabel*>(app->popover()->content());
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("Первый"));
        QCOMPARE(label->font().pixelSize(), 18);
        QVERIFY(label->font().bold());
        QCOMPARE(app->popover()->arrowDirection(), Popover::ArrowDown);
        // It stays about two seconds: not gone early, gone soon after. The clock started when
        // the bubble was seen, up to a poll interval late, hence the margin below 2 s.
        QTRY_VERIFY_WITH_TIMEOUT(!app->popover(), 3500);
        QVERIFY2(shown.elapsed() >= 1500, qPrintable(QString::number(shown.elapsed())));
        // Hand choices never show it.
        app->setSelectedChannel(handPicked("12"));
        QTest::qWait(50);
        QVERIFY(!app->popover());
    }

    void widgetChannelsFromRatings_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("14 channels") << 14 << QList<int>{};
        // Ids 6..20 rise in rating, id 3 beats them all: the 15 best are 3 and 7..20.
        QTest::newRow("20 channels") << 20
                                     << QList<int>{3, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    }
    void widgetChannelsFromRatings()
    {
        QFETCH(int, channels);
        QFETCH(QList<int>, expected);
        Launch launch;
        launch.server.on("/searchcontent/get_channel_rating.php",
                         FakeHttpServer::Response::json(ratingsJson(channels)));
        AppDelegate* app = launch.start();
        QTRY_COMPARE(launch.requestsTo("/searchcontent/get_channel_rating.php?city=1"), 1);
        if (expected.isEmpty()) {
            QTest::qWait(150);
            QVERIFY(app->widgetChannels().isEmpty());
            QCOMPARE(launch.notifications.count("changeWidgetChannels"), 0);
            return;
        }
        QTRY_COMPARE(app->widgetChannels(), expected);
        QCOMPARE(launch.notifications.count("changeWidgetChannels"), 1);
        QCOMPARE(Preferences::standard().array("WIDGET_CHANNS").size(), 15);
    }

    void widgetChangesWaitForSaving()
    {
        Launch launch;
        Preferences::standard().setValue("FIRST_LAUNCH", "IS_NOT");
        Preferences::standard().setValue("CITY_ID", 1);
        Preferences::standard().setValue("WIDGET_CHANNS", QVariantList{4, 8});
        AppDelegate* app = launch.start();
        app->addWidgetChannel(10);
        app->removeWidgetChannel(10);
        app->saveWidgetChannels();
        QCOMPARE(app->widgetChannels(), (QList<int>{4, 8}));
        app->addWidgetChannel(10);
        app->removeWidgetChannel(4);
        QCOMPARE(app->widgetChannels(), (QList<int>{4, 8})); // not yet saved
        app->resetWidgetChannels();
        app->saveWidgetChannels();
        QCOMPARE(app->widgetChannels(), (QList<int>{4, 8}));
        app->addWidgetChannel(10);
        app->removeWidgetChannel(4);
        app->saveWidgetChannels();
        QCOMPARE(app->widgetChannels(), (QList<int>{8, 10}));
        QCOMPARE(Preferences::standard().array("WIDGET_CHANNS").size(), 2);
        QCOMPARE(launch.notifications.count("changeWidgetChannels"), 3);
    }

    void cityChanges()
    {
        Launch launch;
        AppDelegate* app = launch.start();
        QTRY_COMPARE(launch.notifications.count("updateCityChanging"), 1);
        app->setSelectedChannel(handPicked("12"));
        const int mapRequests = launch.requestsTo("/searchcontent/get_channel_city_map_list.php");
        app->saveCityPrefWithId(1, "Москва");
        app->saveCityPrefWithId(-1, "None");
        QTest::qWait(100);
        QCOMPARE(launch.requestsTo("/searchcontent/get_channel_city_map_list.php"), mapRequests);
        QVERIFY(app->selectedChannel());

        // The answer for a city left since is not installed.
        launch.server.on(
            "/searchcontent/get_channel_city_map_list.php", [](const FakeHttpServer::Request& request) {
                FakeHttpServer::Response response = FakeHttpServer::Response::json(
                    request.target.find("city=2") != std::string::npos ? R"({"map":{"27":"22"}})"
                                                                       : R"({"map":{"27":"44"}})");
                if (request.target.find("city=2") != std::string::npos)
                    response.delayMs = 300;
                return response;
            });
        Launch::seedCaches();
        app->saveCityPrefWithId(2, "Тверь");
        QVERIFY(!app->selectedChannel());
        QCOMPARE(app->userCityId(), 2);
        QCOMPARE(Preferences::standard().integer("CITY_ID"), 2);
        QCOMPARE(Preferences::standard().string("CITY_NAME"), QStringLiteral("Тверь"));
        app->cityHasChoosed(4, "Омск");
        QTRY_COMPARE(app->mapListDict().value("27").toString(), QStringLiteral("44"));
        QTRY_COMPARE(launch.requestsTo("/searchcontent/get_channel_city_map_list.php?city=2"), 1);
        QTest::qWait(400);
        QCOMPARE(app->mapListDict().value("27").toString(), QStringLiteral("44"));
        QCOMPARE(Preferences::standard().dictionary("CITY_MAP_LIST").value("27").toString(),
                 QStringLiteral("44"));
        QCOMPARE(launch.notifications.count("updateCityChanging"), 2);
        QVERIFY(Launch::cachesCleared());
    }

    void connectivityChanges()
    {
        Launch launch;
        launch.server.on("/searchcontent/get_channel_rating.php",
                         FakeHttpServer::Response::json(ratingsJson(3)));
        AppDelegate* app = launch.start();
        QTRY_COMPARE(launch.requestsTo("/searchcontent/messages/now.php"), 1);
        QTRY_COMPARE(launch.requestsTo("/searchcontent/get_channel_rating.php"), 1);
        QCOMPARE(launch.notifications.count("internetConnectionAvailable"), 1); // the first answer
        app->checkConnection();                                                 // same state: nothing posted
        app->setIsConnectionAvailable(true);
        QCOMPARE(launch.notifications.count("internetConnectionAvailable"), 1);

        app->setSelectedChannel(handPicked("12"));
        QVERIFY(app->idleTimer());
        app->setIsConnectionAvailable(false);
        QVERIFY(!app->idleTimer());
        QVERIFY(app->isBlockPortraitOrientation());
        QCOMPARE(launch.notifications.count("internetConnectionAvailable"), 2);
        QCOMPARE(launch.notifications.last("internetConnectionAvailable")
                     .notification.userInfo.value("isAvailable"),
                 QVariant(false));

        // The reachability probe still finds the server: the next check brings the connection back,
        // asks for the server time and, with an empty widget list, for the ratings.
        QVERIFY(app->reachability()->isReachable());
        app->checkConnection();
        QCOMPARE(launch.notifications.count("internetConnectionAvailable"), 3);
        QCOMPARE(launch.notifications.last("internetConnectionAvailable")
                     .notification.userInfo.value("isAvailable"),
                 QVariant(true));
        QVERIFY(!app->isBlockPortraitOrientation());
        QTRY_COMPARE(launch.requestsTo("/searchcontent/messages/now.php"), 2);
        QTRY_COMPARE(launch.requestsTo("/searchcontent/get_channel_rating.php"), 2);
    }

    void noServerMeansOfflineAndNoServerTime()
    {
        quint16 port;
        {
            FakeHttpServer gone;
            port = quint16(gone.port());
        }
        Launch launch;
        ServerConfig::setContentHost(QStringLiteral("127.0.0.1:%1").arg(port));
        AppDelegate* app = launch.start();
        // The first check's answer (unreachable) changes nothing: no notification, no request.
        QTRY_VERIFY(app->reachability()->probeCount() >= 1);
        QCoreApplication::processEvents();
        QVERIFY(!app->isConnectionAvailable());
        QVERIFY(app->isBlockPortraitOrientation());
        QCOMPARE(launch.notifications.count("internetConnectionAvailable"), 0);
        QCOMPARE(launch.requestsTo("/searchcontent/"), 0);
    }

    void clockChanges()
    {
        Launch launch;
        AppDelegate* app = launch.start();
        app->handleSysTimeChanged();
        QCOMPARE(launch.notifications.names().filter(QRegularExpression("Update|NotFound")),
                 (QStringList{"channelNotFound", "programUpdate", "showDetailsUpdate"}));
        launch.notifications.clear();
        Launch::identify(7);
        QTRY_VERIFY(app->selectedChannel());
        app->handleSysTimeChanged();
        QCOMPARE(launch.notifications.names().filter(QRegularExpression("Update|NotFound")),
                 (QStringList{"nowUpdate", "programUpdate", "showDetailsUpdate"}));
        QCOMPARE(app->foundChannelId(), 7);
        QTRY_COMPARE(launch.requestsTo("/searchcontent/messages/now.php"), 3);
    }

    void localNotificationsAreRelayedOnlyWhenInactive()
    {
        Launch launch;
        AppDelegate* app = launch.start();
        const QVariantMap info{{"local_showid", "99"}, {"local_pd", "20261207"}, {"local_channid", "5"}};
        app->applicationDidReceiveLocalNotification(info, Application::State::Active);
        app->applicationDidReceiveLocalNotification(info, Application::State::Background);
        QCOMPARE(launch.notifications.count("local_notific_recv"), 0);
        app->applicationDidReceiveLocalNotification(info, Application::State::Inactive);
        QCOMPARE(launch.notifications.count("local_notific_recv"), 1);
        QCOMPARE(launch.notifications.last("local_notific_recv").notification.userInfo, info);
    }

    void channelSelectorNeedsAConnection()
    {
        Launch launch;
        AppDelegate* app = launch.start();
        QObject screen;
        app->setIsConnectionAvailable(false);
        app->showProgramSelectorWithDelegate(&screen);
        QCOMPARE(AlertView::visibleAlerts().size(), 1);
        AlertView* alert = AlertView::visibleAlerts().first();
        QCOMPARE(alert->title(), QStringLiteral("Connection Error"));
        QCOMPARE(alert->message(),
                 QStringLiteral("Cannot connect to Orvane services. Check the connection."));
        QCOMPARE(alert->buttonTitleAtIndex(0), QStringLiteral("OK"));
        QVERIFY(app->window()->modalViewControllers().isEmpty());
        alert->dismissWithClickedButtonIndex(0, false);
        QVERIFY(AlertView::visibleAlerts().isEmpty());

        app->setIsConnectionAvailable(true);
        app->showProgramSelectorWithDelegate(&screen);
        QCOMPARE(app->window()->modalViewControllers().size(), 1);
        auto* navigation =
            qobject_cast<ORVNavigationController*>(app->window()->modalViewControllers().first());
        QVERIFY(navigation);
        ViewController* selector = navigation->topViewController();
        QCOMPARE(selector->nibName(), QStringLiteral("CSelectorViewController_iPhone"));
        QCOMPARE(selector->property("delegate").value<QObject*>(), &screen);
        QPointer<ViewController> kept = selector;
        QPointer<QWidget> keptView = selector->view();
        app->changeRootController();
        QVERIFY(app->window()->modalViewControllers().isEmpty());
        // The dismissed navigation stack is deleted; the selector and its view are not.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(kept);
        QVERIFY(keptView);
        app->showProgramSelectorWithDelegate(&screen);
        QCOMPARE(launch.channelSelectorsMade, 1); // made once, kept
        auto* again = qobject_cast<ORVNavigationController*>(app->window()->modalViewControllers().first());
        QVERIFY(again);
        QCOMPARE(again->topViewController(), kept.data());
        QCOMPARE(kept->view(), keptView.data());
        QVERIFY(keptView->isVisibleTo(app->window()));
        app->changeRootController();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(kept);
    }

    void theCityPromptOpensTheCityChooser()
    {
        Launch launch;
        AppDelegate* app = launch.start();
        for (int button : {0, 1}) {
            auto* alert = new AlertView(
                "?", "", app,
                [app](AlertView* view, int index) { app->alertViewDidDismissWithButtonIndex(view, index); },
                "No", {"Yes"});
            alert->setTag(AppDelegate::CityPromptAlertTag);
            alert->show();
            alert->dismissWithClickedButtonIndex(button, false);
        }
        QCOMPARE(launch.cityChooserIds, QList<int>{1});
        QCOMPARE(app->window()->modalViewControllers().size(), 1);
        app->cityHasChoosed(1, "Москва");
        QVERIFY(app->window()->modalViewControllers().isEmpty());
    }

    void phoneTree()
    {
        Launch launch;
        AppDelegate* app = launch.start();
        QCOMPARE(app->window()->size(), QSize(390, 844));
        QVERIFY(app->window()->isVisible());
        QVERIFY(!app->stackController());
        TabBarController* tabs = app->tabBarController();
        QVERIFY(tabs);
        QCOMPARE(app->window()->rootViewController(), tabs);
        QStringList nibs;
        for (ViewController* stack : tabs->viewControllers()) {
            auto* navigation = qobject_cast<ORVNavigationController*>(stack);
            QVERIFY(navigation);
            nibs << navigation->topViewController()->nibName();
            QCOMPARE(navigation->navigationBar()->tintColor(), QColor(91, 102, 171));
            QWidget* titleView = navigation->topViewController()->navigationItem()->titleView();
            QVERIFY(titleView);
            QCOMPARE(titleView->objectName(), QStringLiteral("logo"));
        }
        QCOMPARE(nibs, (QStringList{"NowViewController_iPhone", "ProgramViewController_iPhone",
                                    "TWViewController_iPhone", "ProfileViewController_iPhone",
                                    "SettingsViewController_iPhone"}));
        QCOMPARE(tabs->selectedIndex(), 0);
    }

    void tabletTree()
    {
        Launch launch(Device::Idiom::Tablet);
        AppDelegate* app = launch.start();
        QCOMPARE(app->window()->size(), QSize(1024, 768));
        QVERIFY(!app->tabBarController());
        StackedPanesController* stack = app->stackController();
        QVERIFY(stack);
        QCOMPARE(app->window()->rootViewController(), stack);
        QCOMPARE(stack->rootViewController()->nibName(), QStringLiteral("ORVRootController"));
        QCOMPARE(stack->rootViewController()->view()->geometry(), QRect(0, 0, 300, 768));
        QCOMPARE(stack->leftInset(), 0);
        QCOMPARE(stack->largeLeftInset(), 300);
        QVERIFY(!stack->enableBounces());
        QVERIFY(!stack->enableDraggingPastInsets());
        QVERIFY(stack->enableShadows());
        QCOMPARE(stack->defaultShadowAlpha(), 0.9);
        QCOMPARE(stack->defaultShadowWidth(), 5.0);
    }

    void nowPrioritiesAreStoredOnRequest()
    {
        Launch launch;
        AppDelegate* app = launch.start();
        app->nowPriorityDict()["now_rating_priority"] = 0;
        app->nowPriorityDict()["now_favor_priority"] = 2;
        NotificationCenter::defaultCenter().post(Notifications::PriorityChanged);
        const QVariantMap stored = Preferences::standard().dictionary("NOW_PRIORITY");
        QCOMPARE(stored.value("now_rating_priority").toInt(), 0);
        QCOMPARE(stored.value("now_favor_priority").toInt(), 2);
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
