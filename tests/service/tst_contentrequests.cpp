#include "FakeHttpServer.h"
#include "TestHome.h"
#include "service/ReplyRecorder.h"
#include "service/TestAppContext.h"

#include "model/AppContext.h"
#include "model/Channel.h"
#include "model/Utilities.h"
#include "platform/Dispatch.h"
#include "platform/SerialQueue.h"
#include "platform/ServerConfig.h"
#include "service/ContentAddresses.h"
#include "service/FileAnswerCache.h"
#include "service/ServiceCalls.h"

#include <QTest>
#include <QThread>

namespace {

std::shared_ptr<Channel> current(bool manually)
{
    auto channel = Channel::initWithArray({"C"});
    channel->setChannelId("7");
    channel->setIsSelectedManually(manually);
    return channel;
}

} // namespace

class TestContentRequests : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<FakeHttpServer> server;
    TestAppContext context;
    QString device;

    // Sends, waits for the reply, and gives the one request line's target.
    std::string sent(const std::function<void(const Reply&)>& send)
    {
        server->clearRequests();
        ReplyRecorder caller;
        send(caller.reply());
        if (!QTest::qWaitFor([&] { return caller.finished + caller.failed == 1; }, 5000))
            return "(no reply)";
        const std::vector<std::string> targets = server->targets();
        if (targets.size() != 1)
            return QStringLiteral("(%1 requests)").arg(targets.size()).toStdString();
        return targets.front();
    }

private Q_SLOTS:
    void init()
    {
        home = std::make_unique<TestHome>();
        server = std::make_unique<FakeHttpServer>();
        server->setDefault(FakeHttpServer::Response::json("{\"ok\":1}"));
        ServerConfig::setContentHost(server->hostWithPort());
        context = TestAppContext();
        AppContext::setCurrent(&context);
        ServiceCalls::sharedManager().setAnswerCache(std::make_shared<FileAnswerCache>());
        device = Utilities::getDeviceUniqueID();
    }
    void cleanup()
    {
        Dispatch::cacheQueue().sync([] {});
        AppContext::setCurrent(nullptr);
        server.reset();
        home.reset();
    }

    void requestLines()
    {
        ServiceCalls& s = ServiceCalls::sharedManager();
        const std::string d = device.toStdString();
        context.map = {{"27", "5"}};
        QCOMPARE(sent([&](const Reply& r) { s.getChannelInfoWithChannelId(-4, r); }),
                 std::string("/searchcontent/get_channel_info.php?i=-4&city=3"));
        QCOMPARE(sent([&](const Reply& r) { s.getChannelInfoWithChannelId(27, r); }),
                 std::string("/searchcontent/get_channel_info.php?i=5"));
        QCOMPARE(sent([&](const Reply& r) {
                     s.getNowShowsWithChannelId(0, 2, 3, QVariantList{1, "2", 3.0}, false, r);
                 }),
                 std::string("/searchcontent/get_program_info.php?i=0&w=2&max=3&pref=1,2,3"));
        QCOMPARE(sent([&](const Reply& r) {
                     s.getNowShowsWithChannelId(0, 2, 2, QVariantList{4, QVariantMap(), "x"}, false, r);
                 }),
                 std::string("/searchcontent/get_program_info.php?i=0&w=2&max=2&pref=4,x"));
        QCOMPARE(sent([&](const Reply& r) { s.getNowShowsWithChannelId(7, 1, 0, std::nullopt, true, r); }),
                 std::string("/searchcontent/get_program_info.php?i=7&w=1&f"));
        QCOMPARE(sent([&](const Reply& r) { s.getNowShowsWithChannelId(0, 2, 5, std::nullopt, true, r); }),
                 std::string("/searchcontent/get_program_info.php?i=0&w=2&f&max=5"));
        QCOMPARE(sent([&](const Reply& r) { s.search(" \t Вести\n", r); }),
                 std::string(
                     "/searchcontent/get_search_program_info.php?s=%D0%92%D0%B5%D1%81%D1%82%D0%B8&city=3"));
        QCOMPARE(sent([&](const Reply& r) { s.getCitiesForTimeZone(100, r); }),
                 std::string("/searchcontent/get_suggested_cities_list.php?tz=100"));
        QCOMPARE(sent([&](const Reply& r) { s.getAutoServiceStateWithDelegate(r); }),
                 std::string("/searchcontent/get_service_status.php"));
        QCOMPARE(sent([&](const Reply& r) { s.getTweetsForChannelId("5", r); }),
                 std::string("/searchcontent/messages/twitterjson.php?channel=5"));
        const QDateTime end = QDateTime::currentDateTime();
        const QDateTime start = end.addSecs(-604800);
        const std::string tweets =
            sent([&](const Reply& r) { s.getTweetsForChannelId("5", start, end, 30, r); });
        QCOMPARE(tweets,
                 "/searchcontent/messages/twitterjsonlimit.php?StartTimestamp=" +
                     Utilities::stringFromDate2(start).replace(" ", "%20").toStdString() +
                     "&EndTimestamp=" + Utilities::stringFromDate2(end).replace(" ", "%20").toStdString() +
                     "&channel=5&Limit=30");
        QCOMPARE(sent([&](const Reply& r) { s.getChannelRatingsWithCityId(3, r); }),
                 std::string("/searchcontent/get_channel_rating.php?city=3"));
    }

    void showDetailsAndTheTwoManualRules()
    {
        ServiceCalls& s = ServiceCalls::sharedManager();
        const std::string d = device.toStdString();
        const QString link = "orvane://progdetails/20261207/5/99";
        // No current channel counts as chosen by hand for details, as identified for programmes.
        QCOMPARE(sent([&](const Reply& r) { s.getShowInfoWithUrl(link, r); }),
                 "/searchcontent/content_listview.php?v=2&m=1&d=" + d + "&i=5&t=20261207&ev=99&g");
        QCOMPARE(sent([&](const Reply& r) {
                     s.getProgramForDayWithChannelId("5", QDateTime(QDate(2026, 12, 7), QTime(12, 0)), r);
                 }),
                 "/searchcontent/content_listview.php?v=2&m=0&d=" + d + "&i=5&t=20261207");
        context.channel = current(false);
        QCOMPARE(sent([&](const Reply& r) { s.getShowInfoWithUrl(link, r); }),
                 "/searchcontent/content_listview.php?v=2&m=0&d=" + d + "&i=5&t=20261207&ev=99&g");
        context.channel = current(true);
        QCOMPARE(sent([&](const Reply& r) {
                     s.getProgramForDayWithChannelId("6", QDateTime(QDate(2026, 12, 8), QTime(12, 0)), true,
                                                     true, r);
                 }),
                 "/searchcontent/content_listview.php?v=2&m=1&d=" + d + "&i=6&t=20261208&s&w");

        ReplyRecorder caller;
        s.getShowInfoWithUrl("orvane://progdetails/20261207", caller.reply());
        QTRY_COMPARE(caller.failed, 1);
        QCOMPARE(caller.error.code(), 1);
    }

    void theSecondProgrammeRequestIsAnsweredFromTheCache()
    {
        server->on("/searchcontent/content_listview.php",
                   FakeHttpServer::Response::json(R"({"1": {"title": "Утро"}, "channid": "x"})"));
        const QDateTime date = QDateTime(QDate(2026, 12, 7), QTime(12, 0));
        ReplyRecorder first;
        ServiceCalls::sharedManager().getProgramForDayWithChannelId("5", date, first.reply());
        QTRY_COMPARE(first.finished, 1);
        QCOMPARE(first.value.toMap().value("channid").toString(), QStringLiteral("5"));
        QTRY_VERIFY(Utilities::getChannProgramDataById("5", date));

        ReplyRecorder second;
        bool returned = false;
        bool afterReturn = false;
        ServiceCalls::sharedManager().getProgramForDayWithChannelId(
            "5", date, Reply(&second, [&](const QVariant& v) {
                afterReturn = returned;
                second.value = v;
                second.thread = QThread::currentThread();
                ++second.finished;
            }));
        returned = true;
        QTRY_COMPARE(second.finished, 1);
        QVERIFY(afterReturn);
        QCOMPARE(second.thread, QThread::currentThread());
        QCOMPARE(second.value.toMap().value("1").toMap().value("title").toString(), QStringLiteral("Утро"));
        QCOMPARE(server->requestCount(), size_t(1));

        // Another day, and another channel, go to the network.
        ReplyRecorder third;
        ServiceCalls::sharedManager().getProgramForDayWithChannelId("5", date.addDays(1), third.reply());
        QTRY_COMPARE(third.finished, 1);
        QCOMPARE(server->requestCount(), size_t(2));
    }

    void aDayWithoutProgrammeIsAskedAgain()
    {
        server->on("/searchcontent/content_listview.php", FakeHttpServer::Response::json(R"({"nodata": 1})"));
        const QDateTime date = QDateTime(QDate(2026, 12, 7), QTime(12, 0));
        for (int i = 1; i <= 2; ++i) {
            ReplyRecorder caller;
            ServiceCalls::sharedManager().getProgramForDayWithChannelId("5", date, caller.reply());
            QTRY_COMPARE(caller.finished, 1);
            Dispatch::cacheQueue().sync([] {});
            QCOMPARE(server->requestCount(), size_t(i));
        }
    }

    void cachedAnswersNeedNoConnection()
    {
        const QDateTime date = QDateTime(QDate(2026, 12, 7), QTime(12, 0));
        QVERIFY(Utilities::saveChannProgramData(QVariantMap{{"1", QVariantMap{{"title", "кэш"}}}}, "5",
                                                Utilities::optimizeDateForORVProgram(date)));
        server.reset(); // nobody listens any more
        ReplyRecorder caller;
        ServiceCalls::sharedManager().getProgramForDayWithChannelId("5", date, caller.reply());
        QTRY_COMPARE(caller.finished, 1);
        QCOMPARE(caller.value.toMap().value("1").toMap().value("title").toString(), QStringLiteral("кэш"));
        server = std::make_unique<FakeHttpServer>();
    }

    void channelListAndRatingsAreCached()
    {
        server->on("/searchcontent/get_channel_info.php",
                   FakeHttpServer::Response::json(
                       R"({"cc": [["-", 0], ["A", 1]], "5": ["Пятый", "/5.png", 1, 1, 1, ""]})"));
        server->on("/searchcontent/get_channel_rating.php",
                   FakeHttpServer::Response::json(R"({"5": [7.5]})"));
        ReplyRecorder channels;
        ReplyRecorder ratings;
        ServiceCalls::sharedManager().getChannelInfoWithChannelId(-4, channels.reply());
        ServiceCalls::sharedManager().getChannelRatingsWithCityId(3, ratings.reply());
        QTRY_COMPARE(channels.finished + ratings.finished, 2);
        Dispatch::cacheQueue().sync([] {});
        QCOMPARE(Utilities::getChannelsData()->value("5").toList().first().toString(),
                 QStringLiteral("Пятый"));
        QCOMPARE(Utilities::getChannRatingsData()->value("5").toList().first().toDouble(), 7.5);
    }

    void addressesThatScreensLoad()
    {
        const QString base = "http://" + server->hostWithPort() + "/searchcontent/";
        using A = ContentAddresses;
        QCOMPARE(A::nowPagePhone(3, "dev", std::nullopt).toString(QUrl::FullyEncoded),
                 base + "now.php?v=2&d=dev&city=3");
        QCOMPARE(A::nowPagePhone(0, "dev", std::nullopt).toString(QUrl::FullyEncoded),
                 base + "now.php?v=2&d=dev");
        QCOMPARE(A::nowPagePhone(-1, "dev", A::CurrentChannel{"7", true}).toString(QUrl::FullyEncoded),
                 base + "now.php?v=2&m=1&d=dev&i=7");
        QCOMPARE(A::nowPagePhone(1, "dev", A::CurrentChannel{"7", false}).toString(QUrl::FullyEncoded),
                 base + "now.php?v=2&m=0&d=dev&i=7&city=1");
        QCOMPARE(A::nowPageTablet("7").toString(QUrl::FullyEncoded), base + "now.php?v=2&i=7");
        QCOMPARE(A::statisticsPage().toString(QUrl::FullyEncoded), base + "get_user_stats.php");
        QCOMPARE(A::channelLogo(80, 60, "/logos/27.png").toString(QUrl::FullyEncoded),
                 base + "gfx/80/60/logos/27.png");
        QCOMPARE(A::channelLogo48("/logos/27.png").toString(QUrl::FullyEncoded),
                 base + "gfx/48/48/logos/27.png");
        QCOMPARE(A::picture("shows/1 2.jpg").toString(QUrl::FullyEncoded), base + "gfx/shows/1%202.jpg");
        // A picture name that is an address is loaded from there, percent escapes removed.
        QCOMPARE(A::picture("http://img.example.org/a%20b.jpg").toString(QUrl::FullyEncoded),
                 QStringLiteral("http://img.example.org/a%20b.jpg"));
        QCOMPARE(A::picture("https://img.example.org/x.png").host(), QStringLiteral("img.example.org"));
        QVERIFY(A::picture("file:///etc/passwd").toString().startsWith(base)); // only the web
        QCOMPARE(A::showPicture("27").toString(QUrl::FullyEncoded), base + "get_tv_image.php?i=27");
        QCOMPARE(A::showPicture("27", 3).toString(QUrl::FullyEncoded), base + "get_tv_image.php?i=27&d=3");
        QVERIFY(A::isScreenshotPage(base + "get_screenshot_urls.php?i=5"));
        QVERIFY(!A::isScreenshotPage(base + "now.php"));
    }
};

QTEST_GUILESS_MAIN(TestContentRequests)
#include "tst_contentrequests.moc"
