// What the content server does with bad parameters, hostile requests and misbehaving
// clients, over plain sockets; and the pages and pictures it serves.
#include "RawHttp.h"
#include "ServerFixture.h"

#include "content/ResponseCache.h"
#include "http/HttpHead.h"
#include "http/RefusalLog.h"

#include "platform/Json.h"
#include "platform/JsonValue.h"

#include <QImage>
#include <QTest>
#include <QUrl>

#include <atomic>
#include <thread>

namespace {

HttpServer::Limits tightLimits()
{
    HttpServer::Limits limits;
    limits.maxHeaderBytes = 4096;
    limits.maxBodyBytes = 1024;
    limits.readTimeoutMs = 400;
    limits.idleTimeoutMs = 600;
    limits.maxRequestsPerConnection = 3;
    limits.maxConnections = 40;
    limits.workers = 4;
    return limits;
}

QVariantMap jsonOf(const QByteArray& response)
{
    return JsonValue::map(Json::decode(RawHttp::body(response)));
}

} // namespace

class TestServerLimits : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServerFixture> server;

    QByteArray get(const QByteArray& target) { return RawHttp::get(server->port(), target); }

private Q_SLOTS:
    void initTestCase() { server = std::make_unique<ServerFixture>(true, tightLimits()); }
    void cleanupTestCase() { server.reset(); }

    void malformedParametersAnswer400WithTheErrorFrame()
    {
        const QList<QByteArray> targets = {
            "/searchcontent/content_listview.php?i=abc&t=20261207",
            "/searchcontent/content_listview.php?t=20261207",
            "/searchcontent/content_listview.php?i=1&t=2026-12-07",
            "/searchcontent/content_listview.php?i=1&t=20261399",
            "/searchcontent/get_program_info.php?i=1",
            "/searchcontent/get_program_info.php?i=1&w=9",
            "/searchcontent/get_channel_info.php?i=-4",
            "/searchcontent/get_channel_rating.php?city=%00",
            "/searchcontent/messages/"
            "twitterjsonlimit.php?channel=1&StartTimestamp=yesterday&EndTimestamp=now&Limit=5",
            "/searchcontent/get_search_program_info.php?s=x",
        };
        for (const QByteArray& target : targets) {
            const QByteArray response = get(target);
            QVERIFY2(RawHttp::status(response) == 400, target.constData());
            const QString message =
                jsonOf(response).value("ExceptionDetail").toMap().value("Message").toString();
            QVERIFY2(!message.isEmpty(), target.constData());
        }
    }

    void unknownThingsAnswerNodataNever500()
    {
        const QList<QByteArray> targets = {
            "/searchcontent/content_listview.php?i=424242&t=20261207",
            "/searchcontent/content_listview.php?i=1&t=20261207&ev=999999999&g",
            "/searchcontent/get_channel_info.php?i=-4&city=999",
            "/searchcontent/get_channel_info.php?i=31337&p",
            "/searchcontent/get_program_info.php?i=31337&w=1&f",
            "/searchcontent/get_program_info.php?i=0&w=2&max=3&pref=9991,9992",
            "/searchcontent/get_channel_city_map_list.php?city=999",
        };
        for (const QByteArray& target : targets) {
            const QByteArray response = get(target);
            QVERIFY2(RawHttp::status(response) == 200, target.constData());
            const QVariantMap answer = jsonOf(response);
            QVERIFY2(answer.contains("nodata") || answer.value("p").toMap().contains("nodata"),
                     target.constData());
        }
        QCOMPARE(RawHttp::status(get("/searchcontent/no_such_page.php")), 404);
        QCOMPARE(RawHttp::status(get("/elsewhere/")), 404);
        QVERIFY(RawHttp::status(get("/searchcontent/gfx/../../../etc/passwd")) >= 400);
    }

    void oversizedRequestsAreRefused()
    {
        // Within the head limit but beyond what any request of the application needs.
        ServerFixture roomy(false);
        const QByteArray longSearch =
            "/searchcontent/get_search_program_info.php?city=1&s=" + QByteArray(9000, 'a');
        QCOMPARE(RawHttp::status(RawHttp::get(roomy.port(), longSearch)), 414);
        QCOMPARE(RawHttp::status(get(longSearch)), 431);

        RawHttp big(server->port());
        big.send("GET /searchcontent/get_service_status.php HTTP/1.1\r\nX-Padding: " + QByteArray(8000, 'x') +
                 "\r\n\r\n");
        QCOMPARE(RawHttp::status(big.receive()), 431);

        RawHttp body(server->port());
        body.send("POST /searchcontent/get_service_status.php HTTP/1.1\r\nContent-Length: 100000\r\n\r\n");
        QCOMPARE(RawHttp::status(body.receive()), 413);

        RawHttp chunked(server->port());
        chunked.send("POST /searchcontent/get_service_status.php HTTP/1.1\r\nTransfer-Encoding: "
                     "chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n");
        QVERIFY(RawHttp::status(chunked.receive()) >= 400);

        RawHttp garbage(server->port());
        garbage.send(QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 16));
        QCOMPARE(RawHttp::status(garbage.receive()), 400);

        QCOMPARE(RawHttp::status(get("/searchcontent/gfx/5000/5000/logos/1.png")), 400);
    }

    void silentAndSlowClientsAreDropped()
    {
        // Connected, never a byte: closed after the idle time, costing no worker meanwhile.
        RawHttp silent(server->port());
        QVERIFY(silent.isConnected());
        QVERIFY(RawHttp::status(get("/searchcontent/get_service_status.php")) == 200);
        QVERIFY(silent.closedWithin(3000));

        // Half a request: 408 after the read time-out.
        RawHttp slow(server->port());
        slow.send("GET /searchcontent/get_service_status.php HTTP/1.1\r\nHost: x\r\n");
        QCOMPARE(RawHttp::status(slow.receive(3000)), 408);
    }

    void keepAliveIsCountedAndConnectionsAreCapped()
    {
        RawHttp kept(server->port());
        const QByteArray request = "GET /searchcontent/messages/now.php HTTP/1.1\r\nHost: x\r\n\r\n";
        for (int i = 0; i < 3; ++i) {
            QVERIFY(kept.send(request));
            QCOMPARE(RawHttp::status(kept.receive()), 200);
        }
        QVERIFY(kept.closedWithin(2000)); // the third answer closed the connection

        // More idle connections than allowed: the extra ones are closed at once, and the
        // server still answers once the idle ones time out.
        std::vector<std::unique_ptr<RawHttp>> idle;
        for (int i = 0; i < 60; ++i)
            idle.push_back(std::make_unique<RawHttp>(server->port()));
        QVERIFY(idle.back()->closedWithin(1000));
        QVERIFY(server->http().openConnections() <= tightLimits().maxConnections);
        QVERIFY(QTest::qWaitFor(
            [&] { return RawHttp::status(get("/searchcontent/messages/now.php")) == 200; }, 5000));
    }

    void proxiedClientsAreCountedByTheirForwardedAddress()
    {
        // The handler answers with the client's address; "/hold" waits until released.
        std::atomic<int> holding{0};
        std::atomic<bool> release{false};
        HttpServer::Limits limits;
        limits.maxConnectionsPerPeer = 2;
        limits.workers = 4;
        limits.trustedProxies = {QStringLiteral("127.0.0.1")};
        auto handler = [&](const HttpRequest& request) {
            if (request.path == u"/hold") {
                ++holding;
                for (int i = 0; i < 500 && !release; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            return HttpResponse::json(QVariantMap{{QStringLiteral("peer"), request.peer}});
        };
        HttpServer proxied(handler, limits);
        QString error;
        QVERIFY2(proxied.listen(QStringLiteral("127.0.0.1"), 0, &error), qPrintable(error));
        const auto peerOf = [&](const QByteArray& forwarded) {
            RawHttp client(proxied.port());
            client.send("GET /peer HTTP/1.1\r\nHost: x\r\n" +
                        (forwarded.isNull() ? QByteArray() : "X-Forwarded-For: " + forwarded + "\r\n") +
                        "\r\n");
            return jsonOf(client.receive()).value(QStringLiteral("peer")).toString();
        };
        QCOMPARE(peerOf({}), QStringLiteral("127.0.0.1"));
        QCOMPARE(peerOf("198.51.100.7, 203.0.113.9"), QStringLiteral("203.0.113.9"));
        QCOMPARE(peerOf("203.0.113.9, 127.0.0.1"), QStringLiteral("203.0.113.9")); // proxies skipped
        QCOMPARE(peerOf("not-an-address, 203.0.113.9"), QStringLiteral("203.0.113.9"));
        QCOMPARE(peerOf("203.0.113.9, nonsense"), QStringLiteral("127.0.0.1")); // unreadable: the proxy
        QCOMPARE(peerOf(" 2001:db8::1 "), QStringLiteral("2001:db8::1"));

        // The proxy's own connections are not held to the per-peer cap of 2.
        std::vector<std::unique_ptr<RawHttp>> upstream;
        for (int i = 0; i < 5; ++i)
            upstream.push_back(std::make_unique<RawHttp>(proxied.port()));
        QVERIFY(!upstream.back()->closedWithin(300));
        // A client's requests in flight are: the third one at once gets 429, another client not.
        const QByteArray hold = "GET /hold HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: 203.0.113.9\r\n\r\n";
        QVERIFY(upstream[0]->send(hold));
        QVERIFY(upstream[1]->send(hold));
        QVERIFY(QTest::qWaitFor([&] { return holding.load() == 2; }, 5000));
        QVERIFY(upstream[2]->send(hold));
        QCOMPARE(RawHttp::status(upstream[2]->receive()), 429);
        QVERIFY(upstream[3]->send("GET /peer HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: 203.0.113.10\r\n\r\n"));
        QCOMPARE(RawHttp::status(upstream[3]->receive()), 200);
        release = true;
        QCOMPARE(RawHttp::status(upstream[0]->receive()), 200);
        QCOMPARE(RawHttp::status(upstream[1]->receive()), 200);
        proxied.stop();

        // Without the proxy trusted, its header is the client's word and is ignored.
        QCOMPARE(RawHttp::status(get("/searchcontent/get_service_status.php")), 200);
        HttpServer plain(handler);
        QVERIFY(plain.listen(QStringLiteral("127.0.0.1"), 0, &error));
        RawHttp spoofing(plain.port());
        spoofing.send("GET /peer HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: 203.0.113.9\r\n\r\n");
        QCOMPARE(jsonOf(spoofing.receive()).value(QStringLiteral("peer")).toString(),
                 QStringLiteral("127.0.0.1"));
        plain.stop();
    }

    void pipelinedRequestsAndHeadAreAnsweredInOrder()
    {
        RawHttp connection(server->port());
        QVERIFY(connection.send("HEAD /searchcontent/messages/now.php HTTP/1.1\r\nHost: x\r\n\r\n"
                                "GET /searchcontent/messages/now.php HTTP/1.1\r\nHost: x\r\n\r\n"));
        QByteArray both;
        QVERIFY(QTest::qWaitFor(
            [&] {
                both += connection.receive(200);
                return both.count("HTTP/1.1 200") == 2 && both.endsWith("}");
            },
            5000));
        const qsizetype firstEnd = both.indexOf("\r\n\r\n") + 4;
        QVERIFY(both.left(firstEnd).contains("Content-Length: "));
        QVERIFY(!both.left(firstEnd).contains("Content-Length: 0"));
        QVERIFY(both.mid(firstEnd).startsWith("HTTP/1.1 200")); // no body after the HEAD answer
        QVERIFY(JsonValue::map(Json::decode(RawHttp::body(both.mid(firstEnd)))).contains("timestamp_gmt"));
    }

    void headsAreParsedStrictly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status"); // 0: accepted
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("body");
        const QByteArray get = "GET /searchcontent/x.php?a=1 HTTP/1.1\r\n";
        QTest::newRow("plain") << get + "Host: a\r\n\r\n"
                               << 0 << QByteArray("/searchcontent/x.php?a=1") << QByteArray();
        QTest::newRow("several ?") << QByteArray("GET /p?s=Who?Me&x HTTP/1.1\r\n\r\n") << 0
                                   << QByteArray("/p?s=Who?Me&x") << QByteArray();
        QTest::newRow("absolute form") << QByteArray("GET http://example.org:8080/p?q=1 HTTP/1.1\r\n\r\n")
                                       << 0 << QByteArray("/p?q=1") << QByteArray();
        QTest::newRow("absolute form, no path")
            << QByteArray("GET HTTP://example.org HTTP/1.1\r\n\r\n") << 0 << QByteArray("/") << QByteArray();
        QTest::newRow("body") << QByteArray("POST /u HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello") << 0
                              << QByteArray("/u") << QByteArray("hello");
        QTest::newRow("bare LF") << QByteArray("GET /p HTTP/1.1\nHost: a\n\n") << 400 << QByteArray()
                                 << QByteArray();
        QTest::newRow("+5 as a length") << QByteArray("POST /u HTTP/1.1\r\nContent-Length: +5\r\n\r\nhello")
                                        << 400 << QByteArray() << QByteArray();
        QTest::newRow("two equal lengths")
            << QByteArray("POST /u HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 5\r\n\r\nhello") << 400
            << QByteArray() << QByteArray();
        QTest::newRow("two lengths")
            << QByteArray("POST /u HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 8\r\n\r\nhello") << 400
            << QByteArray() << QByteArray();
        QTest::newRow("a list of lengths")
            << QByteArray("POST /u HTTP/1.1\r\nContent-Length: 5, 5\r\n\r\nhello") << 400 << QByteArray()
            << QByteArray();
        QTest::newRow("length and chunks")
            << QByteArray(
                   "POST /u HTTP/1.1\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n")
            << 411 << QByteArray() << QByteArray();
        QTest::newRow("chunks") << QByteArray(
                                       "POST /u HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n")
                                << 411 << QByteArray() << QByteArray();
        QTest::newRow("two hosts") << get + "Host: a\r\nHost: b\r\n\r\n"
                                   << 400 << QByteArray() << QByteArray();
        QTest::newRow("body over the limit")
            << QByteArray("POST /u HTTP/1.1\r\nContent-Length: 70000\r\n\r\n") << 413 << QByteArray()
            << QByteArray();
        QTest::newRow("head over the limit") << get + "X: " + QByteArray(17000, 'x') + "\r\n\r\n"
                                             << 431 << QByteArray() << QByteArray();
        QTest::newRow("no path") << QByteArray("GET x HTTP/1.1\r\n\r\n") << 400 << QByteArray()
                                 << QByteArray();
        QTest::newRow("space in target")
            << QByteArray("GET /a b HTTP/1.1\r\n\r\n") << 400 << QByteArray() << QByteArray();
        QTest::newRow("no version") << QByteArray("GET /a\r\n\r\n") << 400 << QByteArray() << QByteArray();
        QTest::newRow("tls hello") << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 16)
                                   << 400 << QByteArray() << QByteArray();
    }

    void headsAreParsedStrictly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, body);
        const HttpHead::Parsed parsed = HttpHead::parse(bytes);
        QVERIFY(parsed.complete);
        QCOMPARE(parsed.refusal.status, status);
        if (status == 0) {
            QCOMPARE(parsed.request.target, target);
            QCOMPARE(parsed.request.body, body);
        } else {
            QVERIFY(!parsed.refusal.message.isEmpty());
        }
        // Cut anywhere before its end, an acceptable request is simply not complete yet.
        if (status == 0) {
            for (qsizetype cut = 1; cut < bytes.size(); ++cut) {
                const HttpHead::Parsed part = HttpHead::parse(bytes.left(cut));
                QVERIFY2(!part.complete && !part.refusal, qPrintable(QString::number(cut)));
            }
        }
    }

    void refusalsAreLoggedOncePerPeerPerMinute()
    {
        qint64 now = 1000000;
        QStringList lines;
        RefusalLog log(
            QStringLiteral("content"), [&lines](const QString& line) { lines << line; },
            [&now] { return now; });
        for (int i = 0; i < 500; ++i)
            log.refused(QStringLiteral("10.0.0.1"), QStringLiteral("408 late"));
        log.refused(QStringLiteral("10.0.0.2"), QStringLiteral("too many connections"));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].endsWith(QStringLiteral("content refused 10.0.0.1: 408 late")));
        now += 59999;
        log.refused(QStringLiteral("10.0.0.1"), QStringLiteral("408 late"));
        QCOMPARE(lines.size(), 2);
        now += 1;
        log.refused(QStringLiteral("10.0.0.1"), QStringLiteral("431 big"));
        QCOMPARE(lines.size(), 3);
        QVERIFY(
            lines[2].endsWith(QStringLiteral("431 big (and 500 more from this peer in the last minute)")));
        // Many peers: the book of peers stays bounded and each new one is still told.
        for (int i = 0; i < 10000; ++i)
            log.refused(QStringLiteral("peer %1").arg(i), QStringLiteral("x"));
        QCOMPARE(lines.size(), 3 + 10000);
    }

    void devicesArePrunedByAgeAndCount()
    {
        ServerFixture fresh(false);
        ScheduleStore& store = fresh.store();
        qint64 now = 2000000000;
        store.setClock([&now] { return now; });
        for (int i = 0; i < 3000; ++i)
            store.deviceSeen(QStringLiteral("old-%1").arg(i), i % 7 == 0 ? 5 : 0);
        QCOMPARE(store.devicesOnline(), 3000);
        QCOMPARE(store.viewRows(), qint64(429));
        // Past the window: no longer counted, and deleted at the next pruning.
        now += ScheduleStore::DeviceWindowSeconds + 1;
        QCOMPARE(store.devicesOnline(), 0);
        store.deviceSeen(QStringLiteral("new"));
        QCOMPARE(store.deviceRows(), qint64(1));
        QCOMPARE(store.devicesOnline(), 1);
        QCOMPARE(store.viewRows(), qint64(429)); // views are the statistics: kept far longer

        // More devices at once than the cap: the most recently seen are kept.
        for (int i = 0; i < ScheduleStore::MaxDevices + 2000; ++i) {
            if (i % 1000 == 0)
                ++now;
            store.deviceSeen(QStringLiteral("many-%1").arg(i));
            if (i % 250 == 249)
                QVERIFY(store.deviceRows() <= ScheduleStore::MaxDevices);
        }
        QVERIFY(store.deviceRows() <= ScheduleStore::MaxDevices);
        QCOMPARE(store.devicesOnline(), int(store.deviceRows()));
        QVERIFY(store.devicesSeenSince(now) > 0); // the newest are there
        now += ScheduleStore::ViewRetentionSeconds;
        store.deviceSeen(QStringLiteral("a year on"));
        QCOMPARE(store.viewRows(), qint64(0));
        QCOMPARE(store.deviceRows(), qint64(1));
    }

    void keptAnswersExpireAndStayBounded()
    {
        ResponseCache cache;
        const HttpResponse answer = HttpResponse::json(QVariantMap{{"a", 1}});
        cache.insert("k", answer, 1000, 5000);
        QCOMPARE(cache.find("k", 4999)->body, answer.body);
        QVERIFY(!cache.find("k", 5000));
        cache.insert("long", answer, 0, 10 * ResponseCache::MaxAgeMs); // capped
        QVERIFY(cache.find("long", ResponseCache::MaxAgeMs - 1));
        QVERIFY(!cache.find("long", ResponseCache::MaxAgeMs));
        cache.insert("error", HttpResponse::error(400, "bad"), 0, 5000);
        QVERIFY(!cache.find("error", 1));
        for (int i = 0; i < 3 * ResponseCache::MaxEntries; ++i)
            cache.insert(QString::number(i), answer, 0, 5000);
        int kept = 0;
        for (int i = 0; i < 3 * ResponseCache::MaxEntries; ++i)
            kept += cache.find(QString::number(i), 1) ? 1 : 0;
        QVERIFY(kept > 0 && kept <= ResponseCache::MaxEntries);
    }

    void aFloodIsAnsweredInFull()
    {
        // The server's own limits, not this suite's tight ones: a flood on a slow (sanitized)
        // build must not run into the 400 ms request deadline.
        ServerFixture roomy(true);
        std::atomic<int> ok{0};
        std::vector<std::thread> clients;
        const QByteArray target =
            "/searchcontent/content_listview.php?i=1&t=" + roomy.today().toLatin1() + "&s&w";
        for (int c = 0; c < 16; ++c) {
            clients.emplace_back([&] {
                for (int i = 0; i < 40; ++i) {
                    if (RawHttp::status(RawHttp::get(roomy.port(), target)) == 200)
                        ++ok;
                }
            });
        }
        for (auto& client : clients)
            client.join();
        QCOMPARE(ok.load(), 16 * 40);
    }

    void aQuestionMarkInAValueIsPartOfIt()
    {
        const QVariantMap answer = jsonOf(get("/searchcontent/get_search_program_info.php?s=Who?Me&city=1"));
        QCOMPARE(answer.value("s").toString(), QStringLiteral("Who?Me"));
        const QVariantMap bytes =
            jsonOf(get("/searchcontent/get_search_program_info.php?s=%FF%FE%C0&city=1"));
        QVERIFY(bytes.contains("nodata"));
    }

    void pagesLinkShowsAndCarryNoScripts()
    {
        for (const QByteArray& target : {QByteArray("/searchcontent/now.php?v=2&d=dev&city=1"),
                                         QByteArray("/searchcontent/now.php?v=2&m=0&d=dev&i=2&city=1"),
                                         QByteArray("/searchcontent/now.php?v=2&i=2")}) {
            const QByteArray response = get(target);
            QCOMPARE(RawHttp::status(response), 200);
            const QByteArray page = RawHttp::body(response);
            QVERIFY2(page.contains(QByteArray("orvane://progdetails/" + server->today().toLatin1() + "/")),
                     target.constData());
            QVERIFY(!page.contains("<script"));
        }
        QVERIFY(RawHttp::body(get("/searchcontent/now.php?v=2&m=1&d=dev&i=3"))
                    .contains("get_screenshot_urls.php?i=3"));
        QCOMPARE(RawHttp::status(get("/searchcontent/get_screenshot_urls.php?i=3")), 200);
        QCOMPARE(RawHttp::status(get("/searchcontent/get_user_stats.php?d=someone")), 200);
    }

    void picturesAreDrawnAtTheAskedSize()
    {
        const QImage logo =
            QImage::fromData(RawHttp::body(get("/searchcontent/gfx/48/40/logos/7.png")), "PNG");
        QCOMPARE(logo.size(), QSize(48, 40));
        const QImage frame =
            QImage::fromData(RawHttp::body(get("/searchcontent/get_tv_image.php?i=1&d=5")), "PNG");
        QVERIFY(!frame.isNull());
        QCOMPARE(RawHttp::status(get("/searchcontent/get_tv_image.php?i=1&d=-3")), 400);
        QCOMPARE(RawHttp::status(get("/searchcontent/get_tv_image.php?i=55555")), 404);

        // A show's picture from the programme answer.
        const QVariantMap day =
            jsonOf(get("/searchcontent/content_listview.php?i=1&t=" + server->today().toLatin1() + "&s&w"));
        // Its address is the server's own gfx/ folder as the request named the server.
        const QUrl picture(day.value("1").toMap().value("image").toString());
        QCOMPARE(picture.scheme(), QStringLiteral("http"));
        QVERIFY2(picture.path().startsWith("/searchcontent/gfx/shows/"), qPrintable(picture.toString()));
        QVERIFY(!QImage::fromData(RawHttp::body(get(picture.path().toLatin1())), "PNG").isNull());
        QCOMPARE(picture.host(), QStringLiteral("test")); // RawHttp's Host
        // A Host header that is no host name gives the plain path, never its text.
        RawHttp hostile(server->port());
        hostile.send("GET /searchcontent/content_listview.php?i=1&t=" + server->today().toLatin1() +
                     "&s HTTP/1.1\r\nHost: x\"><b>\r\nConnection: close\r\n\r\n");
        const QByteArray answer = hostile.receive();
        QVERIFY(!answer.contains("<b>"));
        QVERIFY(jsonOf(answer).value("1").toMap().value("image").toString().startsWith("shows/"));
    }
};

QTEST_MAIN(TestServerLimits)
#include "tst_serverlimits.moc"
