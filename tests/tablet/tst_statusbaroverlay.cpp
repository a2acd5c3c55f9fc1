// The status-bar overlay: an activity message replaced by a timed one, timed messages taking
// turns, hiding, and the shrunk state kept across overlays.
#include "TestHome.h"

#include "platform/Preferences.h"
#include "widgets/StatusBarOverlay.h"

#include <QTest>

class TestStatusBarOverlay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void messagesTakeTurns()
    {
        TestHome home;
        QVERIFY(!StatusBarOverlay::sharedOverlay()); // no window yet
        QWidget window;
        window.resize(1024, 768);
        window.show();
        StatusBarOverlay overlay(&window);
        QVERIFY(!overlay.isShowing());

        overlay.postMessage(QStringLiteral("Определяем канал…"));
        QVERIFY(overlay.isShowing());
        QCOMPARE(overlay.kind(), StatusBarOverlay::Kind::Activity);
        QCOMPARE(overlay.geometry(),
                 QRect(1024 - StatusBarOverlay::Width, 768 - 20, StatusBarOverlay::Width, 20));
        overlay.grab(); // paints the spinner

        // A timed message replaces the activity at once; what comes during its time waits.
        overlay.postFinishMessage(QStringLiteral("Первый городской"), 0.15);
        QCOMPARE(overlay.message(), QStringLiteral("Первый городской"));
        QCOMPARE(overlay.kind(), StatusBarOverlay::Kind::Finished);
        overlay.postMessage(QStringLiteral("Определяем канал…"));
        overlay.postMessage(QStringLiteral("Определяем канал…")); // the same activity: queued once
        overlay.postErrorMessage(QStringLiteral("Сервер не отвечает"), 0.15);
        QCOMPARE(overlay.queuedCount(), 2);
        QCOMPARE(overlay.message(), QStringLiteral("Первый городской"));
        overlay.grab();
        // The activity that a later message followed is over: the error comes next.
        QTRY_COMPARE(overlay.message(), QStringLiteral("Сервер не отвечает"));
        QCOMPARE(overlay.kind(), StatusBarOverlay::Kind::Error);
        overlay.grab();
        QTRY_VERIFY(!overlay.isShowing());
        QVERIFY(overlay.isHidden());

        // An activity waiting last shows once the timed message is done, and stays.
        overlay.postFinishMessage(QStringLiteral("Сохранено"), 0.1);
        overlay.postMessage(QStringLiteral("Определяем канал…"));
        QTRY_COMPARE(overlay.message(), QStringLiteral("Определяем канал…"));
        QTest::qWait(200);
        QVERIFY(overlay.isShowing());
        QCOMPARE(overlay.kind(), StatusBarOverlay::Kind::Activity);

        // Hiding drops what waits.
        overlay.postFinishMessage(QStringLiteral("один"), 10);
        overlay.postFinishMessage(QStringLiteral("два"), 10);
        overlay.hideOverlay();
        QCOMPARE(overlay.queuedCount(), 0);
        QVERIFY(!overlay.isShowing());
        QVERIFY(overlay.message().isEmpty());

        // The window grows: the bar stays in its corner.
        overlay.postMessage(QStringLiteral("…"));
        window.resize(1280, 800);
        QCOMPARE(overlay.geometry().bottomRight(), QPoint(1279, 799));
    }

    void aTapShrinksAndTheStateIsKept()
    {
        TestHome home;
        QWidget window;
        window.resize(800, 600);
        {
            StatusBarOverlay overlay(&window);
            overlay.postMessage(QStringLiteral("Определяем канал…"));
            QVERIFY(!overlay.isShrinked());
            QTest::mouseClick(&overlay, Qt::LeftButton, {}, QPoint(10, 10));
            QVERIFY(overlay.isShrinked());
            QCOMPARE(overlay.width(), StatusBarOverlay::ShrunkWidth);
            QCOMPARE(overlay.x(), 800 - StatusBarOverlay::ShrunkWidth);
            overlay.grab();
        }
        QVERIFY(Preferences::standard().object(StatusBarOverlay::ShrinkedKey).toBool());
        StatusBarOverlay again(&window);
        QVERIFY(again.isShrinked());
        again.postMessage(QStringLiteral("…"));
        QTest::mouseClick(&again, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!again.isShrinked());
        QCOMPARE(again.width(), StatusBarOverlay::Width);
    }
};

QTEST_MAIN(TestStatusBarOverlay)
#include "tst_statusbaroverlay.moc"
