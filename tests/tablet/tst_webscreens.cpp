// The tablet's web surfaces with pages from a loopback server: the special-content overlay
// (loading, shown once, cancelled, failed, closed), the web popover's back and forward, and
// the modal browser's address field.
#include "FakeHttpServer.h"

#include "tablet/ModalWebController_iPad.h"
#include "tablet/PopoverWebController_iPad.h"
#include "tablet/SpecialContentController.h"

#include "ui/ViewTag.h"

#include <QTest>
#include <QThread>

namespace {

QUrl url(const FakeHttpServer& server, const char* path)
{
    return QUrl(QString::fromStdString(server.baseUrl()) + QString::fromLatin1(path));
}

} // namespace

class TestWebScreens : public QObject, public SpecialContentDelegate
{
    Q_OBJECT

    int m_finished = 0;

public:
    void contentControllerDidFinish() override { ++m_finished; }

private Q_SLOTS:
    void init() { m_finished = 0; }

    void specialContentShownAndClosed()
    {
        FakeHttpServer server;
        server.on("/special",
                  FakeHttpServer::Response::text(
                      R"(<html><body><h1>Extra</h1><a href="/more">more</a></body></html>)", 200));
        server.on("/more", FakeHttpServer::Response::text("<html><body>more</body></html>", 200));
        QWidget screen;
        screen.resize(1024, 768);
        screen.show();
        auto* content = new SpecialContentController(0, url(server, "/special").toString(), &screen);
        content->setFinishDelegate(this);
        content->showFromPoint({0, 0});
        QCOMPARE(content->state(), SpecialContentController::State::Loading);
        QCOMPARE(content->geometry(), screen.rect());
        QTRY_COMPARE_WITH_TIMEOUT(content->state(), SpecialContentController::State::Shown, 10000);
        QVERIFY(content->contentIsShowed());
        QTRY_VERIFY(!content->closeButton()->isHidden());
        QCOMPARE(SpecialContentController::contentFrame(screen.size()), QRect(87, 59, 850, 650));
        QCOMPARE(SpecialContentController::contentFrame(QSize(768, 1024)), QRect(59, 87, 650, 850));
        // A link inside the page loads without animating the content again.
        content->webView()->loadRequest(QNetworkRequest(url(server, "/more")));
        QTRY_VERIFY_WITH_TIMEOUT(!content->webView()->isLoading(), 10000);
        QCOMPARE(content->contentAnimations(), 1);
        content->closeButton()->click();
        QCOMPARE(content->state(), SpecialContentController::State::Closing);
        QTRY_COMPARE(m_finished, 1);
        QCOMPARE(content->state(), SpecialContentController::State::Gone);
        content->closeTouch(); // again: nothing more
        QTest::qWait(700);
        QCOMPARE(m_finished, 1);
    }

    void specialContentCancelledOrFailed()
    {
        FakeHttpServer server;
        server.on("/slow", [](const FakeHttpServer::Request&) {
            QThread::msleep(1500);
            return FakeHttpServer::Response::text("<html>late</html>", 200);
        });
        server.on("/missing", FakeHttpServer::Response::text("gone", 404));
        QWidget screen;
        screen.resize(1024, 768);
        screen.show();
        // "Отмена" before the page is there: closed, the delegate told once.
        auto* slow = new SpecialContentController(0, url(server, "/slow").toString(), &screen);
        slow->setFinishDelegate(this);
        slow->showFromPoint({0, 0});
        QVERIFY(!slow->cancelButton()->isHidden());
        slow->cancelButton()->click();
        slow->cancelButton()->click();
        QTRY_COMPARE(m_finished, 1);
        QVERIFY(!slow->contentIsShowed());
        QTest::qWait(1800); // the late page changes nothing
        QCOMPARE(slow->state(), SpecialContentController::State::Gone);
        QCOMPARE(m_finished, 1);

        // A page far too large to be a page is refused: the overlay closes as for a failure.
        server.on("/huge", FakeHttpServer::Response::text(std::string(2 * 1024 * 1024, 'x'), 200));
        auto* huge = new SpecialContentController(0, url(server, "/huge").toString(), &screen);
        huge->setFinishDelegate(this);
        huge->showFromPoint({0, 0});
        QTRY_COMPARE_WITH_TIMEOUT(m_finished, 2, 10000);
        QVERIFY(!huge->contentIsShowed());

        // A page that fails closes the overlay without a word.
        auto* missing = new SpecialContentController(0, url(server, "/missing").toString(), &screen);
        missing->setFinishDelegate(this);
        missing->showFromPoint({0, 0});
        QTRY_COMPARE_WITH_TIMEOUT(m_finished, 3, 10000);
        QVERIFY(!missing->contentIsShowed());
    }

    void popoverAndModalBrowsers()
    {
        FakeHttpServer server;
        server.on("/a",
                  FakeHttpServer::Response::text(R"(<html><body><a href="/b">b</a></body></html>)", 200));
        server.on("/b", FakeHttpServer::Response::text("<html><body>b</body></html>", 200));
        PopoverWebController_iPad popover(QNetworkRequest(url(server, "/a")));
        QTRY_VERIFY_WITH_TIMEOUT(!popover.webView()->isLoading(), 10000);
        QVERIFY(!popover.isBackEnabled() && !popover.isForwardEnabled());
        QVERIFY(!popover.isIndicatorRunning());
        popover.webView()->loadRequest(QNetworkRequest(url(server, "/b")));
        QTRY_VERIFY_WITH_TIMEOUT(!popover.webView()->isLoading(), 10000);
        QVERIFY(popover.isBackEnabled());
        popover.navigateAction(0);
        QTRY_VERIFY_WITH_TIMEOUT(!popover.webView()->isLoading(), 10000);
        QCOMPARE(popover.webView()->request().url(), url(server, "/a"));
        QVERIFY(popover.isForwardEnabled() && !popover.isBackEnabled());
        popover.navigateAction(1);
        QTRY_COMPARE_WITH_TIMEOUT(popover.webView()->request().url(), url(server, "/b"), 10000);
        QCOMPARE(ViewTag::of(popover.closeBarButton()), PopoverWebController_iPad::CloseButtonTag);
        QCOMPARE(ViewTag::of(&popover), PopoverWebController_iPad::ContentTag);

        // A link of an unknown kind fails: only the activity mark stops.
        popover.webView()->loadRequest(QNetworkRequest(QUrl(QStringLiteral("gopher://127.0.0.1/x"))));
        QTRY_VERIFY_WITH_TIMEOUT(!popover.webView()->isLoading(), 10000);
        QVERIFY(!popover.isIndicatorRunning());

        ModalWebController_iPad modal(url(server, "/a").toString());
        modal.view();
        QTRY_VERIFY_WITH_TIMEOUT(!modal.isIndicatorRunning(), 10000);
        QCOMPARE(modal.adressText(), url(server, "/a").toString());
        modal.webView()->loadRequest(QNetworkRequest(url(server, "/b")));
        QCOMPARE(modal.adressText(), url(server, "/b").toString()); // before the page arrives
        QTRY_VERIFY_WITH_TIMEOUT(!modal.isIndicatorRunning(), 10000);
        modal.segmentChanged(0);
        QTRY_COMPARE_WITH_TIMEOUT(modal.adressText(), url(server, "/a").toString(), 10000);
    }
};

QTEST_MAIN(TestWebScreens)
#include "tst_webscreens.moc"
