// The root pane's strip of widget channels: pages from now-data, paging, shows moving on as
// they end, removed channels, and the offline message.
#include "tablet/SlideView_iPad.h"

#include <QTest>

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
};

QTEST_MAIN(TestSlideView)
#include "tst_slideview.moc"
