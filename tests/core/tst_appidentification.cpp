// The application controller with the real identification loop: silence as the microphone,
// a fake identification server naming channel 7, a fake content server describing it.
#include "FakeHttpServer.h"
#include "FakeIdentificationServer.h"
#include "NotificationRecorder.h"
#include "TestHome.h"

#include "core/AppDelegate.h"
#include "fingerprint/AudioCallback.h"
#include "fingerprint/SearchCalls.h"
#include "fingerprint/popRequest.h"
#include "model/Channel.h"
#include "platform/ServerConfig.h"
#include "platform/Services.h"

#include <QTest>
#include <QTimer>

class TestAppIdentification : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anIdentifiedChannelBecomesCurrentAndIsForgottenAgain()
    {
        // The services' owner stops and joins the identification loop's thread when the test
        // ends, before the process's statics go (as the programs do).
        Services services;
        TestHome home;
        FakeIdentificationServer identification;
        identification.script("getstationidresident.php", {FakeIdentificationServer::Response::result(7)});
        FakeHttpServer content;
        content.on("/searchcontent/get_channel_info.php",
                   FakeHttpServer::Response::json(
                       R"({"ch": "Седьмой", "icon": "/7.png", "t": 1, "ev": 55, "prg": "Кино"})"));
        ServerConfig::setContentHost(content.hostWithPort());
        ServerConfig::setIdentificationHost(identification.hostWithPort());
        AudioCallback::setInputSpec("none");
        SearchCalls::setTiming({50, 20});
        NotificationRecorder recorder({Notifications::ChannelChanged, Notifications::FpNotification,
                                       Notifications::SaveToHistory, Notifications::Idle});

        AppSeams seams;
        seams.startIdentification = [] { SearchCalls::sharedManager(); };
        AppDelegate app(seams);
        app.applicationDidFinishLaunchingWithOptions();

        QTRY_COMPARE_WITH_TIMEOUT(recorder.count("channelChanged"), 1, 10000);
        QCOMPARE(app.selectedChannel()->channelId(), QStringLiteral("7"));
        QCOMPARE(app.selectedChannel()->name(), QStringLiteral("Седьмой"));
        QCOMPARE(app.idleTimer()->interval(), 120000);
        // The same channel again and again: confirmed for the history, made current once.
        QTRY_VERIFY_WITH_TIMEOUT(recorder.count("saveToHistory") >= 1, 10000);
        QCOMPARE(recorder.count("channelChanged"), 1);
        QCOMPARE(SearchCalls::sharedManager()->audioBack()->sourceName(), std::string("silence"));

        // The server goes silent: the last channel is forgotten by the idle timer.
        identification.stop();
        // An answer that arrived before the stop may still be on its way to the main thread,
        // where it would start the idle timer over: let it land first.
        QTRY_COMPARE_WITH_TIMEOUT(popRequest::countRequest(), 0, 15000);
        QTest::qWait(300);
        app.idleTimer()->start(10);
        QTRY_COMPARE(recorder.count("idle"), 1);
        QVERIFY(!app.selectedChannel());
    }
};

QTEST_MAIN(TestAppIdentification)
#include "tst_appidentification.moc"
