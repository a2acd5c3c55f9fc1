#include "FakeHttpServer.h"
#include "service/ReplyRecorder.h"
#include "service/TestAppContext.h"

#include "model/AppContext.h"
#include "model/Channel.h"
#include "platform/Dispatch.h"
#include "platform/HttpFetcher.h"
#include "platform/SerialQueue.h"
#include "platform/ServerConfig.h"
#include "service/AnswerCache.h"
#include "service/FileAnswerCache.h"
#include "service/PercentEscaping.h"
#include "service/ServiceCalls.h"

#include <QNetworkReply>
#include <QTest>
#include <QThread>

#include <mutex>

namespace {

// Records the cache writes and the thread they run on.
class RecordingCache final : public AnswerCache
{
public:
    struct Write
    {
        int code;
        QVariantMap answer;
        QString channelId;
        QDateTime day;
        QThread* thread;
    };
    bool saveChannProgramData(const QVariantMap& answer, const QString& id, const QDateTime& day) override
    {
        return record({1, answer, id, day, QThread::currentThread()});
    }
    bool saveChannRatingsData(const QVariantMap& answer) override
    {
        return record({2, answer, {}, {}, QThread::currentThread()});
    }
    bool saveChannelsData(const QVariantMap& answer) override
    {
        return record({3, answer, {}, {}, QThread::currentThread()});
    }
    std::optional<QVariantMap> getChannProgramDataById(const QString&, const QDateTime&) override
    {
        return std::nullopt;
    }
    QList<Write> writes() const
    {
        std::lock_guard guard(lock);
        return list;
    }

private:
    bool record(const Write& write)
    {
        std::lock_guard guard(lock);
        list.append(write);
        return true;
    }
    mutable std::mutex lock;
    QList<Write> list;
};

} // namespace

class TestServiceCalls : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> server;
    TestAppContext context;
    std::shared_ptr<RecordingCache> cache;

    std::string base() const { return "/searchcontent/"; }

    // Sends a request whose answer is scripted for /searchcontent/x.php.
    void sendScripted(const FakeHttpServer::Response& response, ReplyRecorder* caller, CallbackRecord record = {})
    {
        server->on(base() + "x.php", response);
        record.reply = caller->reply();
        ServiceCalls::sharedManager().sendRequest(ServiceCalls::baseUrl() + "x.php", std::move(record));
    }

private Q_SLOTS:
    void init()
    {
        server = std::make_unique<FakeHttpServer>();
        QVERIFY(ServerConfig::setContentHost(server->hostWithPort()));
        context = TestAppContext();
        AppContext::setCurrent(&context);
        cache = std::make_shared<RecordingCache>();
        ServiceCalls::sharedManager().setAnswerCache(cache);
        HttpFetcher::setDefaultTimeout(60000);
        HttpFetcher::setMaximumBodySize(32 * 1024 * 1024);
    }
    void cleanup()
    {
        Dispatch::cacheQueue().sync([] {});
        AppContext::setCurrent(nullptr);
        ServiceCalls::sharedManager().setAnswerCache(std::make_shared<FileAnswerCache>());
        server.reset();
    }

    void requestUrlsByteForByte()
    {
        ReplyRecorder caller;
        context.map = {{"27", "5"}};
        ServiceCalls& service = ServiceCalls::sharedManager();
        service.getServerTime(caller.reply());
        service.getChannelInfoDinamicWithChannelId(-4, caller.reply());
        service.getChannelInfoDinamicWithChannelId(27, caller.reply());
        service.getChannelInfoDinamicWithChannelId(28, caller.reply());
        service.getChannelRatingsWithCityId(3, caller.reply());
        service.getMapListForCityID(12, caller.reply());
        QTRY_COMPARE(caller.reports(), 6);
        std::vector<std::string> targets = server->targets();
        std::sort(targets.begin(), targets.end());
        std::vector<std::string> expected = {
            "/searchcontent/messages/now.php",
            "/searchcontent/get_channel_info.php?p&i=-4&city=3",
            "/searchcontent/get_channel_info.php?p&i=5",
            "/searchcontent/get_channel_info.php?p&i=28",
            "/searchcontent/get_channel_rating.php?city=3",
            "/searchcontent/get_channel_city_map_list.php?city=12",
        };
        std::sort(expected.begin(), expected.end());
        QCOMPARE(targets, expected);
        QCOMPARE(QString(ServiceCalls::baseUrl()), "http://" + server->hostWithPort() + "/searchcontent/");
    }

    void percentEscapingKeepsTheUrlShape_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("escaped");
        QTest::newRow("plain") << "http://h:22222/a.php?i=5&city=3"
                               << QByteArray("http://h:22222/a.php?i=5&city=3");
        QTest::newRow("reserved kept") << "a;/?:@&=+$,-_.!~*'()" << QByteArray("a;/?:@&=+$,-_.!~*'()");
        QTest::newRow("space and cyrillic")
            << "s=Вести 24" << QByteArray("s=%D0%92%D0%B5%D1%81%D1%82%D0%B8%2024");
        QTest::newRow("percent and hash") << "100%#x" << QByteArray("100%25%23x");
        QTest::newRow("unsafe") << "\"<>[\\]^`{|}" << QByteArray("%22%3C%3E%5B%5C%5D%5E%60%7B%7C%7D");
        QTest::newRow("control") << QString("a\nb") << QByteArray("a%0Ab");
    }
    void percentEscapingKeepsTheUrlShape()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, escaped);
        QCOMPARE(PercentEscaping::addingPercentEscapes(text), escaped);
    }

    void escapedTextReachesTheServerAsEscaped()
    {
        ReplyRecorder caller;
        server->on(base() + "get_search_program_info.php", FakeHttpServer::Response::json("{\"nodata\":1}"));
        ServiceCalls::sharedManager().sendRequest(
            ServiceCalls::baseUrl() + QStringLiteral("get_search_program_info.php?s=Вести 24 #1 100%&city=3"),
            ServiceCalls::callbackDictionaryForDelegate(caller.reply()));
        QTRY_COMPARE(caller.reports(), 1);
        QCOMPARE(caller.finished, 1);
        QCOMPARE(server->targets().size(), size_t(1));
        QCOMPARE(server->targets().at(0),
                 std::string("/searchcontent/get_search_program_info.php?s=%D0%92%D0%B5%D1%81"
                             "%D1%82%D0%B8%2024%20%231%20100%25&city=3"));
    }

    void deliveryIsOnTheMainThreadAfterTheCallReturns()
    {
        ReplyRecorder caller;
        bool returned = false;
        bool answeredAfterReturn = false;
        server->on(base() + "messages/now.php", FakeHttpServer::Response::json("{\"timestamp_gmt\":1}"));
        Reply reply(&caller, [&](const QVariant&) {
            answeredAfterReturn = returned;
            ++caller.finished;
        });
        ServiceCalls::sharedManager().getServerTime(reply);
        returned = true;
        QTRY_COMPARE(caller.finished, 1);
        QVERIFY(answeredAfterReturn);
    }

    void errorForms()
    {
        using R = FakeHttpServer::Response;
        struct Case
        {
            const char* name;
            R response;
            bool finished;
            QString domain;
            int code;
            QString description; // null: none
        };
        const QList<Case> cases = {
            {"not utf-8", R::json("{\"a\":\"\xff\xfe\"}"), false, "error domain", 1,
             "The server returned wrong data."},
            {"exception at 200", R::json(R"({"ExceptionDetail": {"Message": "x"}})"), false, "error domain",
             1, "x"},
            {"exception at 500", R::json(R"({"ExceptionDetail": {"Message": "x"}})", 500), false,
             "error domain", 500, "x"},
            {"html 404", R::text("<html><body>Not found</body></html>", 404), false, "error domain", 404,
             QString()},
            {"empty 503", R::text("", 503), false, "error domain", 503, QString()},
            {"exception without message", R::json(R"({"ExceptionDetail": "boom"})"), false, "error domain", 1,
             QString()},
            {"non-utf8 error body", R::text("\xff\xfe", 500), false, "error domain", 500, QString()},
        };
        for (const Case& c : cases) {
            ReplyRecorder caller;
            sendScripted(c.response, &caller);
            QTRY_COMPARE(caller.reports(), 1);
            QVERIFY2(caller.failed == 1, c.name);
            QCOMPARE(caller.error.domain(), c.domain);
            QCOMPARE(caller.error.code(), c.code);
            QCOMPARE(caller.error.hasLocalizedDescription(), !c.description.isNull());
            if (!c.description.isNull())
                QCOMPARE(caller.error.localizedDescription(), c.description);
            QCOMPARE(caller.thread, QThread::currentThread());
        }
    }

    void answersThatAreNotObjectsOrArraysArriveAsNone()
    {
        using R = FakeHttpServer::Response;
        const QList<std::string> bodies = {
            "<html>oops</html>", "42",
            "\"text\"",          "",
            "{\"a\": ",          std::string(513, '[') + std::string(513, ']')};
        for (const std::string& body : bodies) {
            ReplyRecorder caller;
            sendScripted(R::json(body), &caller);
            QTRY_COMPARE(caller.reports(), 1);
            QCOMPARE(caller.finished, 1);
            QVERIFY(!caller.value.isValid());
        }
        ReplyRecorder caller;
        sendScripted(R::json("[]"), &caller);
        QTRY_COMPARE(caller.finished, 1);
        QCOMPARE(caller.value.typeId(), QMetaType::QVariantList);
        QVERIFY(caller.value.toList().isEmpty());
    }

    void networkErrorsArriveUnchanged()
    {
        quint16 port;
        {
            FakeHttpServer gone;
            port = quint16(gone.port());
        }
        ServerConfig::setContentHost(QStringLiteral("127.0.0.1:%1").arg(port));
        ReplyRecorder caller;
        ServiceCalls::sharedManager().getServerTime(caller.reply());
        QTRY_COMPARE(caller.failed, 1);
        QCOMPARE(caller.error.domain(), HttpFetcher::NetworkErrorDomain);
        QCOMPARE(caller.error.code(), int(QNetworkReply::ConnectionRefusedError));
    }

    void hostileServers()
    {
        using R = FakeHttpServer::Response;
        HttpFetcher::setDefaultTimeout(400);
        HttpFetcher::setMaximumBodySize(4 * 1024 * 1024);
        server->on(base() + "loop.php", R::redirect("/searchcontent/loop.php"));
        R hang;
        hang.hang = true;
        server->on(base() + "hang.php", hang);
        server->on(base() + "big.php", R::json("[" + std::string(50 * 1024 * 1024, ' ') + "]"));
        for (const char* page : {"loop.php", "hang.php", "big.php"}) {
            ReplyRecorder caller;
            ServiceCalls::sharedManager().sendRequest(
                ServiceCalls::baseUrl() + page, ServiceCalls::callbackDictionaryForDelegate(caller.reply()));
            QTRY_VERIFY_WITH_TIMEOUT(caller.reports() == 1, 10000);
            QVERIFY2(caller.failed == 1, page);
            QCOMPARE(caller.error.domain(), HttpFetcher::NetworkErrorDomain);
        }
        server->release();
    }

    void aDestroyedDelegateIsNotCalledAndMissingHandlersDropResults()
    {
        FakeHttpServer::Response slow = FakeHttpServer::Response::json("{}");
        slow.delayMs = 150;
        auto* caller = new ReplyRecorder;
        int calls = 0;
        sendScripted(slow, caller);
        Reply counting(caller, [&](const QVariant&) { ++calls; });
        ServiceCalls::sharedManager().getServerTime(counting);
        delete caller;
        QTRY_COMPARE(HttpFetcher::fetchesInFlight(), 0);
        QTest::qWait(50);
        QCOMPARE(calls, 0);

        // A failure with only a finished handler, and a request without a delegate: nothing runs.
        ReplyRecorder quiet;
        int finishedCalls = 0;
        server->on(base() + "e.php", FakeHttpServer::Response::text("", 500));
        ServiceCalls::sharedManager().sendRequest(
            ServiceCalls::baseUrl() + "e.php", ServiceCalls::callbackDictionaryForDelegate(
                                                   Reply(&quiet, [&](const QVariant&) { ++finishedCalls; })));
        ServiceCalls::sharedManager().sendRequest(ServiceCalls::baseUrl() + "e.php", {});
        QTRY_COMPARE(server->requestCount(), size_t(4));
        QTRY_COMPARE(HttpFetcher::fetchesInFlight(), 0);
        QCOMPARE(finishedCalls, 0);
    }

    void channidOverwritesWhatTheServerSent()
    {
        ReplyRecorder caller;
        CallbackRecord record;
        record.channid = QStringLiteral("27");
        sendScripted(FakeHttpServer::Response::json(R"({"channid": "99", "1": {"title": "News"}})"), &caller,
                     record);
        QTRY_COMPARE(caller.finished, 1);
        QCOMPARE(caller.value.toMap().value("channid").toString(), QStringLiteral("27"));
    }

    void cacheCodesPickTheWriterOnTheCacheQueue()
    {
        const QDateTime day = QDateTime::currentDateTime();
        struct Case
        {
            std::optional<int> code;
            std::optional<QString> channid;
            std::optional<QDateTime> day;
            std::string body;
            int expectedCode; // 0: nothing written
        };
        const QList<Case> cases = {
            {1, QString("5"), day, "{\"1\":{}}", 1},
            {1, QString("5"), std::nullopt, "{\"1\":{}}", 0}, // no day: nothing written
            {1, std::nullopt, day, "{\"1\":{}}", 0},          // no channel: nothing written
            {2, std::nullopt, std::nullopt, "{\"7\":[4.5]}", 2},
            {3, std::nullopt, std::nullopt, "{\"cc\":[]}", 3},
            {4, std::nullopt, std::nullopt, "{\"a\":1}", 0},
            {2, std::nullopt, std::nullopt, "[]", 0}, // not a dictionary
            {std::nullopt, std::nullopt, std::nullopt, "{\"a\":1}", 0},
        };
        for (const Case& c : cases) {
            const qsizetype before = cache->writes().size();
            ReplyRecorder caller;
            CallbackRecord record;
            record.cacheCode = c.code;
            record.channid = c.channid;
            record.reqDate = c.day;
            sendScripted(FakeHttpServer::Response::json(c.body), &caller, record);
            QTRY_COMPARE(caller.finished, 1);
            Dispatch::cacheQueue().sync([] {});
            const QList<RecordingCache::Write> writes = cache->writes();
            if (c.expectedCode == 0) {
                QCOMPARE(writes.size(), before);
                continue;
            }
            QCOMPARE(writes.size(), before + 1);
            const RecordingCache::Write& write = writes.last();
            QCOMPARE(write.code, c.expectedCode);
            QCOMPARE(write.thread->objectName(), QStringLiteral("com.orvane.cachequeue"));
            if (c.expectedCode == 1) {
                QCOMPARE(write.channelId, QStringLiteral("5"));
                QCOMPARE(write.day, day);
                QCOMPARE(write.answer.value("channid").toString(), QStringLiteral("5"));
            }
        }
    }

    void anExceptionAnswerIsCachedAndReportedAsAnError()
    {
        ReplyRecorder caller;
        CallbackRecord record;
        record.cacheCode = 2;
        sendScripted(FakeHttpServer::Response::json(R"({"ExceptionDetail": {"Message": "later"}})"), &caller,
                     record);
        QTRY_COMPARE(caller.failed, 1);
        Dispatch::cacheQueue().sync([] {});
        QCOMPARE(cache->writes().size(), 1);
        QCOMPARE(caller.error.localizedDescription(), QStringLiteral("later"));
    }

    void anErrorStatusIsNeverCached()
    {
        ReplyRecorder caller;
        CallbackRecord record;
        record.cacheCode = 3;
        sendScripted(FakeHttpServer::Response::json(R"({"cc": []})", 500), &caller, record);
        QTRY_COMPARE(caller.failed, 1);
        Dispatch::cacheQueue().sync([] {});
        QVERIFY(cache->writes().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestServiceCalls)
#include "tst_servicecalls.moc"
