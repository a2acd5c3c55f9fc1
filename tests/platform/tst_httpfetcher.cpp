#include "FakeHttpServer.h"

#include "platform/HttpFetcher.h"

#include <QNetworkReply>
#include <QTest>
#include <QThread>
#include <QUrl>

namespace {

// What one fetch reported.
struct Outcome
{
    int reports = 0;
    QString kind; // "finished", "status", "error"
    int status = 0;
    QByteArray body;
    Error error;
    QThread* thread = nullptr;
};

void start(const std::string& url, QObject* delegate, Outcome* outcome)
{
    HttpFetcher* fetcher =
        HttpFetcher::httpFetcherWithRequest(QNetworkRequest(QUrl(QString::fromStdString(url))));
    fetcher->beginFetch(
        delegate,
        [outcome](HttpFetcher*, const QByteArray& body) {
            ++outcome->reports;
            outcome->kind = "finished";
            outcome->body = body;
            outcome->thread = QThread::currentThread();
        },
        [outcome](HttpFetcher*, int status, const QByteArray& body) {
            ++outcome->reports;
            outcome->kind = "status";
            outcome->status = status;
            outcome->body = body;
            outcome->thread = QThread::currentThread();
        },
        [outcome](HttpFetcher*, const Error& error) {
            ++outcome->reports;
            outcome->kind = "error";
            outcome->error = error;
            outcome->thread = QThread::currentThread();
        });
}

} // namespace

class TestHttpFetcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        HttpFetcher::setDefaultTimeout(60000);
        HttpFetcher::setMaximumBodySize(32 * 1024 * 1024);
    }

    void statusDecidesTheReport_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("kind");
        QTest::newRow("200") << 200 << "finished";
        QTest::newRow("204") << 204 << "finished";
        QTest::newRow("299") << 299 << "finished";
        QTest::newRow("304") << 304 << "status";
        QTest::newRow("404") << 404 << "status";
        QTest::newRow("500") << 500 << "status";
        QTest::newRow("503") << 503 << "status";
    }
    void statusDecidesTheReport()
    {
        QFETCH(int, status);
        QFETCH(QString, kind);
        FakeHttpServer server;
        const std::string body = status == 204 || status == 304 ? "" : "{\"x\":1}";
        server.on("/a", FakeHttpServer::Response::json(body, status));
        QObject delegate;
        Outcome outcome;
        start(server.baseUrl() + "/a", &delegate, &outcome);
        QTRY_COMPARE(outcome.reports, 1);
        QCOMPARE(outcome.kind, kind);
        QCOMPARE(outcome.body, QByteArray::fromStdString(body));
        if (kind == "status")
            QCOMPARE(outcome.status, status);
        QCOMPARE(outcome.thread, QThread::currentThread());
        QTest::qWait(50);
        QCOMPARE(outcome.reports, 1);
        QTRY_COMPARE(HttpFetcher::fetchesInFlight(), 0);
    }

    void refusedConnectionIsANetworkError()
    {
        quint16 port;
        {
            FakeHttpServer server;
            port = quint16(server.port());
        }
        QObject delegate;
        Outcome outcome;
        start("http://127.0.0.1:" + std::to_string(port) + "/a", &delegate, &outcome);
        QTRY_COMPARE(outcome.reports, 1);
        QCOMPARE(outcome.kind, QStringLiteral("error"));
        QCOMPARE(outcome.error.domain(), HttpFetcher::NetworkErrorDomain);
        QCOMPARE(outcome.error.code(), int(QNetworkReply::ConnectionRefusedError));
    }

    void reportsOnTheThreadThatStartedIt()
    {
        FakeHttpServer server;
        server.on("/a", FakeHttpServer::Response::json("[]"));
        QThread worker;
        worker.start();
        QObject delegate;
        delegate.moveToThread(&worker);
        Outcome outcome;
        const std::string url = server.baseUrl() + "/a";
        QMetaObject::invokeMethod(&delegate, [&] { start(url, &delegate, &outcome); });
        QTRY_COMPARE(outcome.reports, 1);
        QCOMPARE(outcome.thread, &worker);
        QMetaObject::invokeMethod(
            &delegate, [&] { delegate.moveToThread(QCoreApplication::instance()->thread()); },
            Qt::BlockingQueuedConnection);
        worker.quit();
        worker.wait();
    }

    void aDestroyedDelegateHearsNothing()
    {
        FakeHttpServer server;
        FakeHttpServer::Response slow = FakeHttpServer::Response::json("{}");
        slow.delayMs = 200;
        server.on("/a", slow);
        auto* delegate = new QObject;
        Outcome outcome;
        start(server.baseUrl() + "/a", delegate, &outcome);
        QTRY_COMPARE(server.requestCount(), size_t(1));
        delete delegate;
        QTRY_COMPARE(HttpFetcher::fetchesInFlight(), 0); // answered, or ended with its delegate
        QCoreApplication::processEvents();               // anything it queued is delivered
        QCOMPARE(outcome.reports, 0);
    }

    void aServerThatNeverAnswersTimesOut()
    {
        HttpFetcher::setDefaultTimeout(300);
        FakeHttpServer server;
        FakeHttpServer::Response hang;
        hang.hang = true;
        server.on("/a", hang);
        QObject delegate;
        Outcome outcome;
        start(server.baseUrl() + "/a", &delegate, &outcome);
        QTRY_COMPARE_WITH_TIMEOUT(outcome.reports, 1, 5000);
        QCOMPARE(outcome.kind, QStringLiteral("error"));
        QCOMPARE(outcome.error.code(), int(QNetworkReply::TimeoutError));
        server.release();
    }

    void aTricklingServerIsGivenUpAtTheTimeOut()
    {
        // Ten bytes a tenth of a second apart: every byte is progress, but the whole answer
        // takes a second, more than the fetch's time-out allows.
        FakeHttpServer server;
        FakeHttpServer::Response trickle = FakeHttpServer::Response::json("{\"a\": 12}");
        trickle.trickleMs = 100;
        server.on("/slow", trickle);
        HttpFetcher::setDefaultTimeout(400);
        QObject delegate;
        Outcome outcome;
        start(server.baseUrl() + "/slow", &delegate, &outcome);
        QTRY_COMPARE_WITH_TIMEOUT(outcome.reports, 1, 5000);
        QCOMPARE(outcome.kind, QStringLiteral("error"));
        QCOMPARE(outcome.error.code(), int(QNetworkReply::TimeoutError));

        // A request's own time-out comes before the default.
        HttpFetcher::setDefaultTimeout(60000);
        QNetworkRequest request(QUrl(QString::fromStdString(server.baseUrl() + "/slow")));
        request.setTransferTimeout(400);
        Outcome own;
        HttpFetcher::httpFetcherWithRequest(request)->beginFetch(
            &delegate, [&own](HttpFetcher*, const QByteArray&) { ++own.reports; }, {},
            [&own](HttpFetcher*, const Error& error) {
                ++own.reports;
                own.error = error;
            });
        QTRY_COMPARE_WITH_TIMEOUT(own.reports, 1, 5000);
        QCOMPARE(own.error.code(), int(QNetworkReply::TimeoutError));

        // Given time enough, the same answer arrives whole.
        HttpFetcher::setDefaultTimeout(5000);
        Outcome whole;
        start(server.baseUrl() + "/slow", &delegate, &whole);
        QTRY_COMPARE_WITH_TIMEOUT(whole.reports, 1, 5000);
        QCOMPARE(whole.body, QByteArray("{\"a\": 12}"));
    }

    void aBodyBeyondTheLimitFails_data()
    {
        QTest::addColumn<bool>("compressible");
        QTest::newRow("incompressible") << false;
        QTest::newRow("compression bomb") << true;
    }
    void aBodyBeyondTheLimitFails()
    {
        QFETCH(bool, compressible);
        HttpFetcher::setMaximumBodySize(1024 * 1024);
        FakeHttpServer server;
        std::string body(50 * 1024 * 1024, ' ');
        if (!compressible) {
            uint32_t state = 12345;
            for (char& c : body) {
                state = state * 1664525u + 1013904223u;
                c = char(state >> 24);
            }
        }
        // Binary content goes out uncompressed; JSON goes out compressed.
        server.on("/big", compressible
                              ? FakeHttpServer::Response::json(body)
                              : FakeHttpServer::Response::text(body, 200, "application/octet-stream"));
        QObject delegate;
        Outcome outcome;
        start(server.baseUrl() + "/big", &delegate, &outcome);
        QTRY_COMPARE_WITH_TIMEOUT(outcome.reports, 1, 20000);
        QCOMPARE(outcome.kind, QStringLiteral("error"));
        QCOMPARE(outcome.error.domain(), HttpFetcher::NetworkErrorDomain);
        if (!compressible)
            QCOMPARE(outcome.error.code(), HttpFetcher::ResponseTooLargeError);
    }

    void anEndlessRedirectChainFails()
    {
        FakeHttpServer server;
        server.on("/loop", FakeHttpServer::Response::redirect("/loop"));
        QObject delegate;
        Outcome outcome;
        start(server.baseUrl() + "/loop", &delegate, &outcome);
        QTRY_COMPARE_WITH_TIMEOUT(outcome.reports, 1, 10000);
        QCOMPARE(outcome.kind, QStringLiteral("error"));
        QCOMPARE(outcome.error.code(), int(QNetworkReply::TooManyRedirectsError));
        QVERIFY(server.requestCount() > 5);
    }

    void followsARedirectToItsAnswer()
    {
        FakeHttpServer server;
        server.on("/old", FakeHttpServer::Response::redirect("/new", 301));
        server.on("/new", FakeHttpServer::Response::json("{\"moved\":true}"));
        QObject delegate;
        Outcome outcome;
        start(server.baseUrl() + "/old", &delegate, &outcome);
        QTRY_COMPARE(outcome.reports, 1);
        QCOMPARE(outcome.kind, QStringLiteral("finished"));
        QCOMPARE(outcome.body, QByteArray("{\"moved\":true}"));
    }

    void userDataTravelsWithTheFetch()
    {
        HttpFetcher* fetcher =
            HttpFetcher::httpFetcherWithRequest(QNetworkRequest(QUrl("http://127.0.0.1:1/")));
        fetcher->setUserData(QString("record"));
        QCOMPARE(std::any_cast<QString>(fetcher->userData()), QString("record"));
        const std::any taken = fetcher->takeUserData();
        QCOMPARE(std::any_cast<QString>(taken), QString("record"));
        QVERIFY(!fetcher->userData().has_value());
        QObject delegate;
        Outcome outcome;
        fetcher->beginFetch(&delegate, nullptr, nullptr,
                            [&](HttpFetcher*, const Error&) { ++outcome.reports; });
        QTRY_COMPARE(outcome.reports, 1);
    }
};

QTEST_GUILESS_MAIN(TestHttpFetcher)
#include "tst_httpfetcher.moc"
