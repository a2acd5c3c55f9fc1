#include "FakeIdentificationServer.h"
#include "NotificationRecorder.h"
#include "TestHome.h"

#include "fingerprint/AudioCallback.h"
#include "fingerprint/SearchCalls.h"
#include "fingerprint/popRequest.h"
#include "platform/ServerConfig.h"

#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

const QList<NotificationName> Names = {Notifications::FpNotification, Notifications::CoreFingerPrint,
                                       Notifications::SaveToHistory};

QByteArray block()
{
    QByteArray data(2048, '\0');
    for (int i = 0; i < 2048; ++i)
        data[i] = char(i * 7);
    return data;
}

// The codes of one notification name, in order, optionally only from one sender class.
QList<int> codes(const NotificationRecorder& recorder, const QString& name, const char* senderClass = nullptr)
{
    QList<int> list;
    for (const auto& entry : recorder.entries()) {
        if (entry.notification.name != name)
            continue;
        if (senderClass && entry.senderClass != senderClass)
            continue;
        list << entry.notification.userInfo.value("resultSearch").toInt();
    }
    return list;
}

Notification result(const QVariant& code)
{
    Notification n{"notificationCoreFingerPrint", nullptr, {}};
    if (code.isValid())
        n.userInfo.insert("resultSearch", code);
    return n;
}

} // namespace

class TestIdentification : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeIdentificationServer> server;
    std::unique_ptr<TestHome> home;

private Q_SLOTS:
    void initTestCase() { AudioCallback::setInputSpec("none"); }

    void init()
    {
        home = std::make_unique<TestHome>();
        server = std::make_unique<FakeIdentificationServer>();
        QVERIFY(ServerConfig::setIdentificationHost(server->hostWithPort()));
        popRequest::setPollIntervalMs(20);
        popRequest::setTimeoutSeconds(10);
        SearchCalls::autoUpdateEnabled = 1;
    }
    void cleanup()
    {
        QTRY_COMPARE(popRequest::countRequest(), 0);
        server.reset();
        home.reset();
    }

    void theUploadByteForByte()
    {
        server->script("getstationidresident.php", {FakeIdentificationServer::Response::result(12)});
        NotificationRecorder recorder(Names);
        const int before = popRequest::countRequest();
        (new popRequest(block(), "i06device"))->requestServerFP();
        QCOMPARE(popRequest::countRequest(), before); // answered at once: no polling
        QCOMPARE(codes(recorder, "fpNotification"), QList<int>{-2});
        QCOMPARE(codes(recorder, "notificationCoreFingerPrint"), QList<int>{12});
        QCOMPARE(server->count("checkresident.php"), size_t(0));

        const auto request = server->requests().at(0);
        QCOMPARE(request.method, std::string("POST"));
        QCOMPARE(request.path, std::string("/searchfunctions/getstationidresident.php"));
        const QRegularExpression contentType("^multipart/form-data; boundary=([0-9A-F-]{36})$");
        const auto match = contentType.match(QString::fromStdString(request.headers.at("content-type")));
        QVERIFY2(match.hasMatch(), request.headers.at("content-type").c_str());
        const std::string b = match.captured(1).toStdString();
        const std::string expected =
            "--" + b + "\r\nContent-Disposition: form-data; name=\"UserName\"\r\n\r\ni06device\r\n" + "--" +
            b + "\r\nContent-Disposition: form-data; name=\"Position\"\r\n\r\n0\r\n" + "--" + b +
            "\r\nContent-Disposition: form-data; name=\"request\"; filename=\"temp.dat\"\r\n" +
            "Content-Type: application/octet-stream\r\n\r\n" + block().toStdString() + "\r\n--" + b +
            "--\r \n";
        QCOMPARE(request.body.size(), expected.size());
        QVERIFY(request.body == expected);
    }

    void pollsUntilAChannel()
    {
        using R = FakeIdentificationServer::Response;
        server->script("getstationidresident.php", {R::result(-1)});
        server->script("checkresident.php", {R::result(-1), R::result(-1), R::result(5)});
        NotificationRecorder recorder(Names);
        (new popRequest(block(), "dev"))->requestServerFP();
        QCOMPARE(popRequest::countRequest(), 1);
        QTRY_COMPARE(popRequest::countRequest(), 0);
        QCOMPARE(server->count("checkresident.php"), size_t(3));
        QCOMPARE(codes(recorder, "fpNotification"), (QList<int>{-2, 5}));
        QCOMPARE(codes(recorder, "notificationCoreFingerPrint"), QList<int>{5});

        // A poll body ends with the closing boundary right after the last field's value line.
        const auto poll = server->requests().back();
        const std::string b = poll.headers.at("content-type").substr(30);
        const std::string ending = "name=\"Position\"\r\n\r\n0\r\n\r\n--" + b + "--\r \n";
        QVERIFY(poll.body.size() > ending.size());
        QVERIFY(poll.body.compare(poll.body.size() - ending.size(), ending.size(), ending) == 0);
        QVERIFY(poll.body.find("temp.dat") == std::string::npos);
        QVERIFY(server->requests().front().headers.at("content-type") != poll.headers.at("content-type"));
    }

    void fivePollsWithoutAChannel()
    {
        server->script("getstationidresident.php", {FakeIdentificationServer::Response::result(-1)});
        server->script("checkresident.php", {FakeIdentificationServer::Response::result(-1)});
        NotificationRecorder recorder(Names);
        (new popRequest(block(), "dev"))->requestServerFP();
        QTRY_COMPARE(popRequest::countRequest(), 0);
        QCOMPARE(server->count("checkresident.php"), size_t(5));
        QCOMPARE(codes(recorder, "notificationCoreFingerPrint"), QList<int>{-1});
        QCOMPARE(codes(recorder, "fpNotification"), QList<int>{-2}); // nothing more from the request
    }

    void failedExchanges()
    {
        server->stop(); // refuses every connection
        NotificationRecorder recorder(Names);
        (new popRequest(block(), "dev"))->requestServerFP();
        QTRY_COMPARE(popRequest::countRequest(), 0);
        // Polls one to four fail (-4 each), the fifth fails: -4 to the loop and -4 again.
        QCOMPARE(codes(recorder, "fpNotification"), (QList<int>{-2, -4, -4, -4, -4, -4}));
        QCOMPARE(codes(recorder, "notificationCoreFingerPrint"), QList<int>{-4});
    }

    void aConnectionClosedUnderAWriteDoesNotEndTheApplication()
    {
        // Once an exchange has been made, a write into a connection whose other end is gone
        // fails (EPIPE) instead of raising SIGPIPE, which would end the process: the server may
        // hang up, or stop() close the socket, while an upload is being written.
        server->script("getstationidresident.php", {FakeIdentificationServer::Response::result(3)});
        popRequest request(block(), "dev");
        QCOMPARE(request.getStationIdResident(), 3);
        int ends[2];
        QCOMPARE(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        ::close(ends[1]);
        const char byte = 0;
        QCOMPARE(::write(ends[0], &byte, 1), ssize_t(-1));
        QCOMPARE(errno, EPIPE);
        ::close(ends[0]);
    }

    void aSlowServerTimesOut()
    {
        popRequest::setTimeoutSeconds(1);
        FakeIdentificationServer::Response slow = FakeIdentificationServer::Response::result(7);
        slow.delayMs = 2500;
        server->script("getstationidresident.php", {slow});
        server->script("checkresident.php", {FakeIdentificationServer::Response::result(7)});
        popRequest request(block(), "dev");
        QCOMPARE(request.getStationIdResident(), -4);
        QCOMPARE(request.checkResident(), 7);
    }

    void answersBecomeResults_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("result");
        QTest::newRow("number") << QByteArray(R"({"Result": 7})") << 7;
        QTest::newRow("text") << QByteArray(R"({"Result": "12"})") << 12;
        QTest::newRow("negative text") << QByteArray(R"({"Result": "-3"})") << -3;
        QTest::newRow("fraction") << QByteArray(R"({"Result": 7.9})") << 7;
        QTest::newRow("fraction text") << QByteArray(R"({"Result": "7.9"})") << 7;
        QTest::newRow("huge") << QByteArray(R"({"Result": 1e30})") << std::numeric_limits<int>::max();
        QTest::newRow("null") << QByteArray(R"({"Result": null})") << 0;
        QTest::newRow("word") << QByteArray(R"({"Result": "x"})") << 0;
        QTest::newRow("missing") << QByteArray(R"({"Other": 5})") << 0;
        QTest::newRow("array") << QByteArray("[5]") << 0;
        QTest::newRow("html") << QByteArray("<html><body>502 Bad Gateway</body></html>") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
    }
    void answersBecomeResults()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, result);
        QCOMPARE(popRequest::resultOfAnswer(body), result);
    }

    void theLadder()
    {
        SearchCalls loop; // not started: results are handed to it directly
        NotificationRecorder recorder(Names);
        QList<int> steps;
        for (int code : {7, 7, 7, 7, 7}) {
            loop.notificationCentreSearchCalls(result(code));
            steps << loop.searchStep();
        }
        QCOMPARE(steps, (QList<int>{1, 2, 3, 4, 5}));
        QCOMPARE(recorder.count("saveToHistory"), 1);
        QCOMPARE(recorder.entries().at(recorder.names().indexOf("saveToHistory")).notification.object, &loop);
        loop.notificationCentreSearchCalls(result(9));
        QCOMPARE(loop.searchStep(), 1);
        QCOMPARE(loop.oldMessage(), 9);
        loop.notificationCentreSearchCalls(result(-1));
        QCOMPARE(loop.searchStep(), 1);
        loop.notificationCentreSearchCalls(result(-1));
        QCOMPARE(loop.searchStep(), 1); // negative twice: still step 1
        for (int i = 0; i < 20; ++i)
            loop.notificationCentreSearchCalls(result(4));
        QCOMPARE(loop.searchStep(), 12);
        QCOMPARE(recorder.count("saveToHistory"), 2);
        // Every handled result gives one "fpNotification", the same user info, from the loop.
        QCOMPARE(codes(recorder, "fpNotification", "SearchCalls").size(), 5 + 1 + 2 + 20);
        loop.notificationCentreSearchCalls(result(QVariant()));
        loop.notificationCentreSearchCalls({"somethingElse", nullptr, {{"resultSearch", 3}}});
        QCOMPARE(codes(recorder, "fpNotification", "SearchCalls").size(), 28);
        // -5 with automatic identification on restarts the ladder and sends nothing by itself.
        loop.notificationCentreSearchCalls(result(-5));
        QCOMPARE(loop.searchStep(), 0);
        QCOMPARE(loop.searchCount(), 0);
        QCOMPARE(codes(recorder, "fpNotification", "SearchCalls").size(), 29);
        QCOMPARE(server->requests().size(), size_t(0));
    }

    void theLoopSendsOnItsLadder()
    {
        // The server names channel 7 every time: the ladder climbs and confirms.
        server->script("getstationidresident.php", {FakeIdentificationServer::Response::result(7)});
        SearchCalls::setTiming({20, 10});
        SearchCalls loop;
        NotificationRecorder recorder(Names);
        loop.fp_init();
        QCOMPARE(loop.deviceId().size(), 32);
        QTRY_VERIFY_WITH_TIMEOUT(server->count("getstationidresident.php") >= 4, 10000);
        QTRY_COMPARE(recorder.count("saveToHistory"), 1);
        QThread* const loopThread = loop.loopThread();
        QVERIFY(loopThread != nullptr);
        loop.stop();
        QVERIFY(loop.searchStep() >= 3);
        // Requests and the loop post on the loop's own thread, never on this one.
        const auto entries = recorder.entries();
        QVERIFY(!entries.isEmpty());
        for (const auto& entry : entries)
            QCOMPARE(entry.thread, loopThread);
        // The first upload left at the first tick; uploads carry the device id.
        QVERIFY(server->requests().front().body.find(loop.deviceId().toStdString()) != std::string::npos);
        SearchCalls::setTiming({});
    }

    void automaticModeOffWaitsForAnAskedIdentification()
    {
        server->script("getstationidresident.php", {FakeIdentificationServer::Response::result(3)});
        SearchCalls::autoUpdateEnabled = 0;
        SearchCalls::setTiming({10, 10});
        SearchCalls loop;
        loop.fp_init();
        QTest::qWait(150);
        QCOMPARE(server->requests().size(), size_t(0));
        NotificationCenter::defaultCenter().post(Notifications::CoreFingerPrint, nullptr,
                                                 {{"resultSearch", -5}});
        QTRY_COMPARE(server->count("getstationidresident.php"), size_t(1));
        QTest::qWait(100);
        QCOMPARE(server->count("getstationidresident.php"), size_t(1));
        loop.stop();
        SearchCalls::autoUpdateEnabled = 1;
        SearchCalls::setTiming({});
    }

    void theMainThreadNeverWaitsForTheLoop()
    {
        // The server holds the first upload 4 s. Meanwhile the main thread asks for an
        // identification now (-5, as the Now screen's refresh does) and switches automatic
        // identification off and on (as the settings do): neither may wait for the upload,
        // and the held upload's result must still arrive.
        using R = FakeIdentificationServer::Response;
        R held = R::result(7);
        held.delayMs = 4000;
        server->script("getstationidresident.php", {held, R::result(7)});
        SearchCalls::setTiming({10, 10});
        SearchCalls loop;
        NotificationRecorder recorder(Names);
        loop.fp_init();
        QTRY_COMPARE(server->count("getstationidresident.php"), size_t(1)); // the upload is held now

        qint64 longest = 0;
        QElapsedTimer clock;
        clock.start();
        bool on = true;
        while (codes(recorder, "fpNotification", "SearchCalls").isEmpty() && clock.elapsed() < 15000) {
            QElapsedTimer step;
            step.start();
            NotificationCenter::defaultCenter().post(
                Notifications::CoreFingerPrint, nullptr,
                {{NotificationKeys::ResultSearch, SearchCalls::IdentifyNow}});
            on = !on;
            SearchCalls::autoUpdateEnabled = on ? 1 : 0;
            longest = std::max(longest, step.elapsed());
            QTest::qWait(20);
        }
        SearchCalls::autoUpdateEnabled = 1;
        QVERIFY2(longest <= 50, qPrintable(QStringLiteral("the main thread waited %1 ms").arg(longest)));
        // The held upload's answer came back through the loop; the -5 requests queued behind
        // it were handled after it, on the loop thread (one "fpNotification" each).
        QTRY_VERIFY(codes(recorder, "fpNotification", "SearchCalls").contains(7));
        QTRY_VERIFY(codes(recorder, "fpNotification", "SearchCalls").count(SearchCalls::IdentifyNow) >= 1);
        for (const auto& entry : recorder.entries()) {
            if (entry.notification.object) // the loop's and the requests' own, not this test's
                QVERIFY(entry.thread != QThread::currentThread());
        }
        loop.stop();
    }

    void stoppingCutsAHeldUploadShort()
    {
        // A loop stopped during a held upload does not wait for the server's time-out.
        FakeIdentificationServer::Response held = FakeIdentificationServer::Response::result(7);
        held.delayMs = 8000;
        server->script("getstationidresident.php", {held});
        SearchCalls::setTiming({10, 10});
        SearchCalls loop;
        NotificationRecorder recorder(Names);
        loop.fp_init();
        QTRY_COMPARE(server->count("getstationidresident.php"), size_t(1));
        loop.stop();
        QCOMPARE(loop.loopThread(), nullptr);
        // Had stop() waited for the server, the upload would have ended with its answer 7.
        QVERIFY(!codes(recorder, "notificationCoreFingerPrint").contains(7));
        QVERIFY(!codes(recorder, "fpNotification").contains(7));
    }

    void aFloodNeverMakesMoreThanFiveRequests()
    {
        // Every answer is "no channel yet": each request polls five times, 100 ms apart,
        // while the loop ticks every 5 ms and its ladder asks for a request every 5 ticks.
        server->script("getstationidresident.php", {FakeIdentificationServer::Response::result(-1)});
        server->script("checkresident.php", {FakeIdentificationServer::Response::result(-1)});
        popRequest::setPollIntervalMs(100);
        SearchCalls::setTiming({5, 5});
        SearchCalls loop;
        loop.fp_init();
        int most = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1500) {
            most = std::max(most, popRequest::countRequest());
            QTest::qWait(2);
        }
        loop.stop();
        QVERIFY(most <= 5);
        QVERIFY(most >= 4); // the cap, not the ladder, was what held them back
        popRequest::setPollIntervalMs(20);
        SearchCalls::setTiming({});
    }
};

QTEST_GUILESS_MAIN(TestIdentification)
#include "tst_identification.moc"
