// The content server driven by the application's own request frame: every answer shape is
// checked by decoding it the way the application does.
#include "RawHttp.h"
#include "ServerFixture.h"
#include "TestHome.h"
#include "service/ReplyRecorder.h"
#include "service/TestAppContext.h"

#include "model/ChannelGroup.h"
#include "model/Show.h"
#include "model/Utilities.h"
#include "platform/Dispatch.h"
#include "platform/JsonValue.h"
#include "platform/SerialQueue.h"
#include "platform/ServerConfig.h"
#include "service/FileAnswerCache.h"
#include "service/ServiceCalls.h"

#include <QTest>

class TestContentServer : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<ServerFixture> server;
    TestAppContext context;

    ServiceCalls& calls() { return ServiceCalls::sharedManager(); }

    // The decoded answer of one request; fails the test on a failed request.
    QVariantMap ask(const std::function<void(const Reply&)>& send)
    {
        ReplyRecorder recorder;
        send(recorder.reply());
        if (!QTest::qWaitFor([&] { return recorder.reports() == 1; }, 10000))
            qWarning("no reply");
        if (recorder.failed)
            qWarning("request failed: %s", qPrintable(recorder.error.localizedDescription()));
        return recorder.finished ? JsonValue::map(recorder.value) : QVariantMap{{"failed", 1}};
    }

    static QList<std::shared_ptr<Show>> numberedShows(const QVariantMap& answer)
    {
        QList<std::shared_ptr<Show>> shows;
        for (int key = 1; answer.contains(QString::number(key)); ++key)
            shows << Show::initWithDictionary(answer.value(QString::number(key)).toMap());
        return shows;
    }

private Q_SLOTS:
    void initTestCase()
    {
        home = std::make_unique<TestHome>();
        server = std::make_unique<ServerFixture>();
        ServerConfig::setContentHost(server->hostWithPort());
        context.city = 1;
        AppContext::setCurrent(&context);
        calls().setAnswerCache(std::make_shared<FileAnswerCache>());
    }
    void cleanupTestCase()
    {
        Dispatch::cacheQueue().sync([] {});
        AppContext::setCurrent(nullptr);
        server.reset();
        home.reset();
    }

    void serverTimeIsTheMachines()
    {
        const QVariantMap answer = ask([&](const Reply& r) { calls().getServerTime(r); });
        QVERIFY(qAbs(JsonValue::number(answer.value("timestamp_gmt")) - QDateTime::currentSecsSinceEpoch()) <
                5);
    }

    void channelListDecodesIntoCategoryGroups()
    {
        const QVariantMap answer = ask([&](const Reply& r) { calls().getChannelInfoWithChannelId(-4, r); });
        const ChannelGroups groups = ORVChannelsArray::groupsFromChannelList(answer);
        QCOMPARE(groups.size(), 7);
        QCOMPARE(groups.first().category->name(), QStringLiteral("Общероссийские"));
        int tv = 0;
        int radio = 0;
        for (const ChannelGroup& group : groups) {
            QVERIFY(!group.channels.isEmpty());
            for (const auto& channel : group.channels) {
                QVERIFY(!channel->name().isEmpty());
                QVERIFY(channel->pictureName().startsWith(u'/'));
                (channel->isTV() ? tv : radio)++;
            }
        }
        QVERIFY(tv >= 20);
        QVERIFY(radio >= 6);

        // One channel by its id: its own array and the categories.
        const QVariantMap one = ask([&](const Reply& r) { calls().getChannelInfoWithChannelId(13, r); });
        const ChannelGroups single = ORVChannelsArray::groupsFromChannelList(one);
        QCOMPARE(single.size(), 1);
        QCOMPARE(single.first().channels.first()->name(), QStringLiteral("Киноман"));
        QCOMPARE(single.first().category->name(), QStringLiteral("Кино и сериалы"));
    }

    void dynamicInfoNamesWhatIsOnAir()
    {
        const QVariantMap answer =
            ask([&](const Reply& r) { calls().getChannelInfoDinamicWithChannelId(2, r); });
        const auto channel = Channel::initWithDictionary2(answer);
        QCOMPARE(channel->name(), QStringLiteral("Центральное ТВ"));
        QVERIFY(channel->isTV());
        QVERIFY(!answer.value("prg").toString().isEmpty());
        QCOMPARE(answer.value("pdate").toString(), server->today());
    }

    void programmeOfTheDayCoversItWithoutGaps()
    {
        const QVariantMap answer = ask([&](const Reply& r) {
            calls().getProgramForDayWithChannelId("1", QDateTime::currentDateTime(), r);
        });
        QCOMPARE(answer.value("t").toString(), QStringLiteral("Первый городской"));
        QVERIFY(!answer.contains("nodata"));
        const QList<std::shared_ptr<Show>> shows = numberedShows(answer);
        QVERIFY(shows.size() > 10);
        for (int i = 1; i < shows.size(); ++i) {
            QCOMPARE(shows[i]->startTime, shows[i - 1]->endTime);
            QVERIFY(shows[i]->endTime > shows[i]->startTime);
        }
        QVERIFY(shows.first()->startTime.secsTo(shows.last()->endTime) == 24 * 3600);
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(shows.first()->startTime <= now && now < shows.last()->endTime);
        // The programme is cached for the next ask, as the application expects, under its
        // programme day (before 01:00 in a zone at UTC that is still yesterday).
        Dispatch::cacheQueue().sync([] {});
        QVERIFY(FileAnswerCache()
                    .getChannProgramDataById(
                        "1", Utilities::optimizeDateForORVProgram(QDateTime::currentDateTime()))
                    .has_value());
    }

    void missingDaysAndUnknownChannelsAnswerNodata()
    {
        const QVariantMap far = ask([&](const Reply& r) {
            calls().getProgramForDayWithChannelId("1", QDateTime::currentDateTime().addDays(40), r);
        });
        QVERIFY(far.contains("nodata"));
        QCOMPARE(far.value("t").toString(), QStringLiteral("Первый городской"));
        const QVariantMap unknown = ask([&](const Reply& r) {
            calls().getProgramForDayWithChannelId("9999", QDateTime::currentDateTime(), r);
        });
        QVERIFY(unknown.contains("nodata"));
        const QVariantMap noShow = ask([&](const Reply& r) {
            calls().getShowInfoWithUrl("orvane://progdetails/" + server->today() + "/1/987654321", r);
        });
        QVERIFY(noShow.contains("nodata"));
    }

    void showDetailsFromALinkCarryTheCastAndRatings()
    {
        // A film of today on the films channel.
        const QVariantMap day = ask([&](const Reply& r) {
            calls().getProgramForDayWithChannelId("13", QDateTime::currentDateTime(), r);
        });
        const QList<std::shared_ptr<Show>> shows = numberedShows(day);
        QVERIFY(!shows.isEmpty());
        const QString link =
            QStringLiteral("orvane://progdetails/%1/13/%2").arg(server->today(), shows.first()->showId);
        const QVariantMap answer = ask([&](const Reply& r) { calls().getShowInfoWithUrl(link, r); });
        const auto channel = Channel::initWithDictionary(answer);
        QCOMPARE(channel->name(), QStringLiteral("Киноман"));
        const auto show = Show::initWithDictionary(answer.value("0").toMap());
        QCOMPARE(show->showId, shows.first()->showId);
        QCOMPARE(show->showCategory, 1);
        QVERIFY(!show->description.isEmpty());
        QCOMPARE(show->directors.size(), 1);
        QVERIFY(show->actors.size() >= 3);
        QVERIFY(show->rating.value("imdb_rating").toDouble() > 0);
        QVERIFY(show->rating.value("kp_rating").toDouble() > 0);
        QVERIFY(show->year >= 1975);
        QVERIFY(show->composeBriefInfo().contains(show->country));
    }

    void nowShowsOfBothViewTypes()
    {
        const QVariantMap one =
            ask([&](const Reply& r) { calls().getNowShowsWithChannelId(3, 1, 0, std::nullopt, true, r); });
        QCOMPARE(one.value("chann").toMap().value("ch").toString(), QStringLiteral("Столица"));
        const QVariantList shows = one.value("p").toList();
        QVERIFY(!shows.isEmpty());
        QCOMPARE(one.value("shows").toInt(), shows.size());
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        QVERIFY(shows.first().toMap().value("ts").toLongLong() <= now);
        QVERIFY(shows.first().toMap().value("tf").toLongLong() > now);

        const QVariantMap two = ask([&](const Reply& r) {
            calls().getNowShowsWithChannelId(0, 2, 2, QVariantList{5, 101, 7}, false, r);
        });
        QCOMPARE(two.value("c").toInt(), 2);
        QVERIFY(two.contains("5") && two.contains("101") && !two.contains("7"));
        const QVariantMap first = two.value("5").toList().first().toMap();
        QCOMPARE(first.value("cl").toString(), QStringLiteral("ТВ Семья"));
        QCOMPARE(two.value("101").toList().first().toMap().value("ct").toInt(), 0);
    }

    void sportShowsHaveAnExtraPage()
    {
        // Sport on air somewhere: its now entry names its page, which the server serves.
        QString page;
        for (int channel = 1; channel <= 40 && page.isEmpty(); ++channel) {
            const QVariantMap now = ask([&](const Reply& r) {
                calls().getNowShowsWithChannelId(channel, 1, 0, std::nullopt, false, r);
            });
            for (const QVariant& entry : now.value("p").toList()) {
                const QVariantMap show = entry.toMap();
                if (!show.contains("aact"))
                    continue;
                QCOMPARE(show.value("aact").toInt(), 0);
                page = show.value("aurl").toString();
                QCOMPARE(page, QStringLiteral("special/%1.html").arg(show.value("pid").toString()));
                break;
            }
        }
        QVERIFY2(!page.isEmpty(), "no sport show in the next hours of the demo data");
        const QByteArray answer = RawHttp::get(server->port(), "/searchcontent/" + page.toUtf8());
        QVERIFY(answer.startsWith("HTTP/1.1 200"));
        QVERIFY(answer.contains("text/html"));
        QVERIFY(answer.contains("<h1>"));
        // Not a sport show, not a number, a path: no page.
        for (const char* wrong :
             {"/searchcontent/special/1.html", "/searchcontent/special/x.html",
              "/searchcontent/special/1234567890123456789012.html", "/searchcontent/special/"})
            QVERIFY2(RawHttp::get(server->port(), wrong).startsWith("HTTP/1.1 404"), wrong);
    }

    void searchFindsShowsAndTakesHostileTextAsText()
    {
        const QVariantMap answer = ask([&](const Reply& r) { calls().search("новости", r); });
        QCOMPARE(answer.value("s").toString(), QStringLiteral("новости"));
        QVERIFY(!answer.contains("nodata"));
        const QList<std::shared_ptr<Show>> found = numberedShows(answer);
        QVERIFY(!found.isEmpty());
        for (const auto& show : found)
            QVERIFY(show->name.contains(QStringLiteral("Новости"), Qt::CaseInsensitive));
        QVERIFY(answer.value("1").toMap().value("icon").toString().startsWith("/logos/"));

        // Case and ё do not matter.
        QVERIFY(!ask([&](const Reply& r) { calls().search("ПРИКЛЮЧЕНИЯ ЕЖИКА", r); }).contains("nodata"));
        for (const QString& hostile :
             {QStringLiteral("'; DROP TABLE programmes; --"), QStringLiteral("\" OR 1=1 --"),
              QStringLiteral("%_%"), QStringLiteral("a?b")}) {
            const QVariantMap none = ask([&](const Reply& r) { calls().search(hostile, r); });
            QVERIFY2(none.contains("nodata"), qPrintable(hostile));
            QCOMPARE(none.value("s").toString(), hostile);
        }
        QVERIFY(server->store().programmeCount() > 1000);
    }

    void channelTalkInItsTimeWindow()
    {
        const QVariantMap all = ask([&](const Reply& r) { calls().getTweetsForChannelId("2", r); });
        const QVariantList messages = all.value("Result").toList();
        QCOMPARE(messages.size(), 12);
        // Channel 1 is the common feed: the talk about every channel, newest first.
        const QVariantList common =
            ask([&](const Reply& r) { calls().getTweetsForChannelId("1", r); }).value("Result").toList();
        QCOMPARE(common.size(), 50);
        QVERIFY(common.first().toMap().value("time").toString() >=
                common.last().toMap().value("time").toString());
        const QVariantMap first = messages.first().toMap();
        QVERIFY(!first.value("message").toMap().value("text").toString().isEmpty());
        QVERIFY(!first.value("sender_info").toMap().value("screen_name").toString().isEmpty());

        const QDateTime now = QDateTime::currentDateTime();
        const QVariantMap limited = ask(
            [&](const Reply& r) { calls().getTweetsForChannelId("1", now.addSecs(-7 * 86400), now, 5, r); });
        QCOMPARE(limited.value("Result").toList().size(), 5);
        const QVariantMap old = ask([&](const Reply& r) {
            calls().getTweetsForChannelId("1", now.addDays(-30), now.addDays(-20), 5, r);
        });
        QCOMPARE(old.value("Result").toList().size(), 0);
    }

    void citiesRatingsMapAndStatus()
    {
        const QVariantMap cities =
            ask([&](const Reply& r) { calls().getCitiesForTimeZone(3, r); }).value("cities").toMap();
        QCOMPARE(cities.value("c").toInt(), 3);
        QCOMPARE(cities.value("1").toList().value(1).toString(), QStringLiteral("Москва"));

        const QVariantMap ratings = ask([&](const Reply& r) { calls().getChannelRatingsWithCityId(1, r); });
        QCOMPARE(ratings.size(), 28);
        QCOMPARE(ratings.value("1").toList().value(1).toInt(), 1);   // TV: may be on a now board
        QCOMPARE(ratings.value("101").toList().value(1).toInt(), 0); // radio
        QVERIFY(ratings.value("1").toList().value(0).toDouble() > 0);
        QVERIFY(ask([&](const Reply& r) { calls().getChannelRatingsWithCityId(77, r); }).contains("nodata"));

        const QVariantMap map =
            ask([&](const Reply& r) { calls().getMapListForCityID(3, r); }).value("map").toMap();
        QCOMPARE(map.value("1").toString(), QStringLiteral("201"));
        QVERIFY(
            ask([&](const Reply& r) { calls().getMapListForCityID(1, r); }).value("map").toMap().isEmpty());

        const QVariantMap status = ask([&](const Reply& r) { calls().getAutoServiceStateWithDelegate(r); });
        QCOMPARE(status.value("ss_status").toInt(), 1);
        QVERIFY(status.value("pon").toInt() >= 1); // this device asked for show details above
    }

    void aRegionalCitySeesItsVariantsOnAir()
    {
        context.city = 3;
        context.map = {{"1", "201"}};
        const QVariantMap dynamic =
            ask([&](const Reply& r) { calls().getChannelInfoDinamicWithChannelId(1, r); });
        QCOMPARE(dynamic.value("ch").toString(), QStringLiteral("Первый городской (Урал)"));
        context.city = 1;
        context.map.clear();
    }
};

QTEST_MAIN(TestContentServer)
#include "tst_contentserver.moc"
