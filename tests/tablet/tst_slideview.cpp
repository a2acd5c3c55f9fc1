// The root pane's strip of widget channels: pages from now-data, paging, shows moving on as
// they end, removed channels, the offline message, and turning pages by animation and by hand.
#include "tablet/SlideView_iPad.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

QVariantMap entry(const QString& title, qint64 start, qint64 end, const QString& id)
{
    return {{"t", title}, {"ts", start}, {"tf", end}, {"pid", id}};
}

} // namespace

class TestSlideView : public QObject
{
    Q_OBJECT

    const qint64 t0 = 1765180800;

    QVariantMap answer(const QList<int>& ids) const
    {
        QVariantMap map{{"c", int(ids.size())}};
        for (int id : ids) {
            QVariantMap first =
                entry(QStringLiteral("Первая %1").arg(id), t0, t0 + 1800, QString::number(id * 10));
            first.insert("cl", QStringLiteral("Канал %1").arg(id));
            first.insert("oim", id % 2);
            map.insert(QString::number(id),
                       QVariantList{first, entry(QStringLiteral("Вторая %1").arg(id), t0 + 1800, t0 + 3600,
                                                 QString::number(id * 10 + 1))});
        }
        return map;
    }

private Q_SLOTS:
    void pagesAndPaging()
    {
        SlideView_iPad view;
        view.widgetInit();
        view.addChannelsWithId({5, 3, 9});
        QVERIFY(!view.isAutoUpdating()); // nothing to show yet
        view.onGetShowsDone(answer({9, 3, 5}));
        QCOMPARE(view.pages().size(), 3);
        QVERIFY(view.isAutoUpdating());
        // Pages follow the order of the channel ids, not the answer's.
        QCOMPARE(view.getCurrentChannId(), 5);
        QCOMPARE(view.getCurrentChannName(), QStringLiteral("Канал 5"));
        QCOMPARE(view.getCurrentShowName(), QStringLiteral("Первая 5"));
        QVERIFY(view.getCurrentIsScreensSign());
        view.slideNextwithAnimation();
        QCOMPARE(view.getCurrentChannId(), 3);
        view.slideNextwithAnimation();
        view.slideNextwithAnimation(); // past the last: the first again
        QCOMPARE(view.currentShowIndex(), 0);

        // Shows move on as they end; the same channels answered again replace their shows.
        view.checkShowBounds(QDateTime::fromSecsSinceEpoch(t0 + 2000));
        QCOMPARE(view.getCurrentShowName(), QStringLiteral("Вторая 5"));
        QCOMPARE(view.getCurrentShowId(), QStringLiteral("51"));
        view.onGetShowsDone(answer({5}));
        QCOMPARE(view.pages().size(), 3);
        QCOMPARE(view.getCurrentShowName(), QStringLiteral("Первая 5"));
        view.onGetShowsDone(QVariantMap{{"nodata", 1}});
        QCOMPARE(view.pages().size(), 3);

        // Removing channels drops their pages and keeps the page shown within the list.
        view.slideNextwithAnimation();
        view.slideNextwithAnimation();
        view.removeChannelsWithId({9, 3});
        QCOMPARE(view.channelsId(), QList<int>{5});
        QCOMPARE(view.pages().size(), 1);
        QCOMPARE(view.currentShowIndex(), 0);
        view.slideNextwithAnimation(); // one channel never slides
        QCOMPARE(view.getCurrentChannId(), 5);
    }

    void offlineAndRefreshing()
    {
        SlideView_iPad view;
        view.resize(300, 140);
        view.addChannelsWithId({1});
        view.onGetShowsDone(answer({1}));
        QVERIFY(view.isAutoUpdating());
        view.setOffline(true, QStringLiteral("Нет соединения"));
        QVERIFY(!view.isAutoUpdating());
        QCOMPARE(view.offlineMessage(), QStringLiteral("Нет соединения"));
        view.setOffline(false, {});
        QVERIFY(view.isAutoUpdating());
        QVERIFY(view.offlineMessage().isEmpty());
        view.setIsAutoUpdating(false);
        QVERIFY(!view.isAutoUpdating());
        view.grab(); // paints a page

        SlideView_iPad empty;
        empty.setIsAutoUpdating(true);
        QVERIFY(!empty.isAutoUpdating()); // no channel ids: nothing to refresh
        QVERIFY(empty.getCurrentShowId().isEmpty());
        QCOMPARE(empty.getCurrentChannId(), 0);
        empty.grab();
    }

    void turningByAnimationAndByHand()
    {
        SlideView_iPad view;
        view.resize(300, 140);
        view.addChannelsWithId({1, 2, 3});
        view.onGetShowsDone(answer({1, 2, 3}));

        // The next page scrolls into view; the page index is the new one at once.
        view.slideNextwithAnimation();
        QCOMPARE(view.currentShowIndex(), 1);
        QVERIFY(view.isTurning());
        QVERIFY(view.scrollPosition() < 1.0);
        QTRY_VERIFY(!view.isTurning());
        QCOMPARE(view.scrollPosition(), 1.0);
        view.slideNextwithAnimation();
        QTRY_COMPARE(view.scrollPosition(), 2.0);
        // From the last page back to the first: a jump, not a scroll across the strip.
        view.slideNextwithAnimation();
        QCOMPARE(view.currentShowIndex(), 0);
        QVERIFY(!view.isTurning());
        QCOMPARE(view.scrollPosition(), 0.0);

        // A drag of a fifth of a page springs back; half a page turns; the ends hold.
        view.dragBy(-60);
        QCOMPARE(view.scrollPosition(), 0.2);
        view.endDrag();
        QCOMPARE(view.currentShowIndex(), 0);
        QTRY_COMPARE(view.scrollPosition(), 0.0);
        view.dragBy(-150);
        view.endDrag();
        QCOMPARE(view.currentShowIndex(), 1);
        QTRY_COMPARE(view.scrollPosition(), 1.0);
        view.dragBy(+150);
        view.endDrag();
        QCOMPARE(view.currentShowIndex(), 0);
        QTRY_COMPARE(view.scrollPosition(), 0.0);
        view.dragBy(+500);
        QCOMPARE(view.scrollPosition(), 0.0);
        view.dragBy(-5000);
        QCOMPARE(view.scrollPosition(), 2.0);
        view.endDrag();
        QCOMPARE(view.currentShowIndex(), 2);
        QCOMPARE(view.getCurrentChannId(), 3);

        // A short press is a tap; a long stroke is a drag and opens nothing.
        QSignalSpy taps(&view, &SlideView_iPad::tapped);
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(taps.size(), 1);
        QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(250, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(60, 100), view.mapToGlobal(QPointF(60, 100)),
                         Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&view, &move);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(60, 100));
        QCOMPARE(taps.size(), 1);
        QCOMPARE(view.currentShowIndex(), 2); // already at the last page

        // The share button asks its owner; the refresh button disables itself for its spin.
        QSignalSpy shares(&view, &SlideView_iPad::shareTouched);
        view.shareButton()->click();
        QCOMPARE(shares.size(), 1);
        view.setIsAutoUpdating(false);
        view.refreshButton()->click();
        QVERIFY(!view.refreshButton()->isEnabled());
        QTRY_VERIFY(view.refreshButton()->isEnabled());
        QVERIFY(view.isAutoUpdating());

        // Pages removed while turning leave the strip on a page that exists.
        view.removeChannelsWithId({2, 3});
        QCOMPARE(view.currentShowIndex(), 0);
        QCOMPARE(view.scrollPosition(), 0.0);
        view.dragBy(-200); // one page: nowhere to go
        view.endDrag();
        QCOMPARE(view.currentShowIndex(), 0);
    }
};

QTEST_MAIN(TestSlideView)
#include "tst_slideview.moc"
